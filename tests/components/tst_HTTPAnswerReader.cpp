#include "components/HTTPAnswerReader.h"

#include <QTest>

namespace {

using State = HTTPAnswerReader::State;

struct Read {
    State state;
    int status;
    QByteArray body;
};

// Feeds the answer in pieces of `step` bytes (0: whole), then ends the stream when asked.
Read ReadAnswer(const QByteArray& answer, qsizetype step, bool close) {
    HTTPAnswerReader reader;
    QByteArray body;
    const qsizetype size = step == 0 ? answer.size() : step;
    for (qsizetype at = 0; at < answer.size(); at += size)
        body += reader.Feed(answer.mid(at, size));
    if (close)
        reader.EndOfStream();
    return {reader.Current(), reader.Status(), body};
}

} // namespace

class tst_HTTPAnswerReader : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void framings_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("close"); // the connection ends after the bytes
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        const auto done = static_cast<int>(State::Done);
        const auto failed = static_cast<int>(State::Failed);
        const auto body = static_cast<int>(State::Body);
        QTest::newRow("length, with bytes after it")
            << QByteArray("HTTP/1.1 201 Created\r\nContent-Length: 5\r\n\r\nhelloXX") << false
            << done << 201 << QByteArray("hello");
        QTest::newRow("bare line feeds, interim answer first")
            << QByteArray("HTTP/1.1 100 Continue\n\nHTTP/1.1 200 OK\ncontent-length: 2\n\nok")
            << false << done << 200 << QByteArray("ok");
        QTest::newRow("chunks, extension and trailer")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                          "4;x=y\r\nWiki\r\n5\r\npedia\r\n0\r\nT: 1\r\n\r\n")
            << false << done << 200 << QByteArray("Wikipedia");
        QTest::newRow("to the end of the connection")
            << QByteArray("HTTP/1.0 200 OK\r\n\r\nall of it") << true << done << 200
            << QByteArray("all of it");
        QTest::newRow("no content") << QByteArray("HTTP/1.1 204 No Content\r\n\r\n") << false
                                    << done << 204 << QByteArray();
        QTest::newRow("length cut short")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nhalf") << true << failed
            << 200 << QByteArray("half");
        QTest::newRow("lengths that disagree")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nContent-Length: 3\r\n\r\nok")
            << false << failed << 200 << QByteArray();
        QTest::newRow("signed length")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n") << false << failed << 200
            << QByteArray();
        QTest::newRow("chunk size not hex")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n") << false
            << failed << 200 << QByteArray();
        QTest::newRow("not HTTP") << QByteArray("SSH-2.0-OpenSSH\r\n\r\n") << false << failed << 0
                                  << QByteArray();
        QTest::newRow("head never ends")
            << QByteArray("HTTP/1.1 200 OK\r\nX: ") + QByteArray(70000, 'x') << false << failed << 0
            << QByteArray();
        QTest::newRow("chunk line never ends")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n") +
                   QByteArray(9000, '0')
            << false << failed << 200 << QByteArray();
        QTest::newRow("body still coming")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nhalf") << false << body
            << 200 << QByteArray("half");
    }

    // However the bytes are split, the answer reads the same.
    void framings() {
        QFETCH(QByteArray, answer);
        QFETCH(bool, close);
        QFETCH(int, state);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        for (const qsizetype step : {0, 1, 7}) {
            const Read read = ReadAnswer(answer, step, close);
            QCOMPARE(static_cast<int>(read.state), state);
            QCOMPARE(read.status, status);
            QCOMPARE(read.body, body);
        }
    }
};

QTEST_GUILESS_MAIN(tst_HTTPAnswerReader)
#include "tst_HTTPAnswerReader.moc"
