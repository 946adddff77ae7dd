#include "FakeService.h"
#include "TestSupport.h"

#include "components/HTTPRequest.h"
#include "components/ProxySettings.h"
#include "service/modUpload.h"
#include "store/modStorage.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QtTest>

namespace {

// Cancels the transfer at its first progress report.
class CancellingCallback final : public IHTTPRequestCallback {
public:
    int Reports = 0;
    void BlockSent(qint64, qint64, qint64, bool& Cancel) override {
        ++Reports;
        Cancel = true;
    }
    void BlockReceived(const QByteArray&, bool&, qint64, qint64, bool& Cancel) override {
        ++Reports;
        Cancel = true;
    }
};

QByteArray EveryByte() {
    QByteArray data;
    for (int round = 0; round < 3; ++round)
        for (int value = 0; value < 256; ++value)
            data.append(static_cast<char>(value));
    return data;
}

Post FilePost(const QString& group = QStringLiteral("blog.example")) {
    Post post;
    post.Group = group;
    post.Caption = QStringLiteral("A caption");
    post.Tags = QStringLiteral("sea, sun");
    post.Picture = EveryByte();
    return post;
}

// A post with a place in the data folder, where its send marker goes.
Post StoredFilePost() {
    Post post = FilePost();
    post.Base = GetDataPath() + QStringLiteral("/2020-01-01 00-00-00 0000");
    QFile::remove(SendMarkerPath(post.InfoPath()));
    return post;
}

// Sends as the send window does, which shows a refusal; true when accepted.
bool Send(const UploadAccount& account, const Post& post, IHTTPRequestCallback* callback,
          int timeoutMs, PostState state = PostState::PublishNow) {
    return Shown(SendPost(account, post, state, callback, timeoutMs)).Accepted();
}

const UploadAccount kAccount{QStringLiteral("me@example.org"), QStringLiteral("secret"),
                             QStringLiteral("2011-05-01 10:00")};

} // namespace

class tst_modUpload : public QObject {
    Q_OBJECT
    TestHome m_home;
    MessageRecorder m_messages;
    FakeService m_service;

    QJsonObject OnlyRequest() {
        const QJsonArray requests = m_service.Requests();
        if (requests.size() != 1)
            qWarning() << "requests:" << requests.size();
        return requests.isEmpty() ? QJsonObject() : requests.first().toObject();
    }
    QByteArray Links() { return ReadFile(m_home.DataFolder() + QStringLiteral("/Links.LST")); }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_service.Started());
        GetDataPath();
    }
    void init() {
        m_service.UseAsApi();
        m_service.Script({});
        m_messages.Clear();
        QFile::remove(m_home.DataFolder() + QStringLiteral("/Links.LST"));
        ProxySettings().Save();
    }

    void fieldsInOrder_data() {
        QTest::addColumn<int>("stateCode");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QStringList>("tail"); // fields after "tags", as name=value
        QTest::addColumn<QStringList>("messages");
        const QStringList none;
        QTest::newRow("publish now")
            << 0 << "g" << QStringList{"group=g", "state=published"} << none;
        QTest::newRow("queue") << 1 << "g" << QStringList{"group=g", "state=queue"} << none;
        QTest::newRow("publish on")
            << 2 << "g" << QStringList{"group=g", "state=queue", "publish-on=2011-05-01 10:00"}
            << none;
        QTest::newRow("draft") << 3 << "g" << QStringList{"group=g", "state=draft"} << none;
        QTest::newRow("submission")
            << 4 << "g" << QStringList{"group=g", "state=submission"} << none;
        QTest::newRow("private") << 5 << "g" << QStringList{"group=g", "private=1"} << none;
        QTest::newRow("empty group") << 0 << "" << QStringList{"state=published"} << none;
    }
    void fieldsInOrder() {
        QFETCH(int, stateCode);
        QFETCH(QString, group);
        QFETCH(QStringList, tail);
        QFETCH(QStringList, messages);
        QVERIFY(Send(kAccount, FilePost(group), nullptr, 5000, PostStateAt(stateCode)));
        QCOMPARE(m_messages.Texts(), messages);

        const QJsonObject request = OnlyRequest();
        QCOMPARE(request.value("path").toString(), QStringLiteral("/api/write"));
        QCOMPARE(request.value("method").toString(), QStringLiteral("POST"));
        const QList<FakeService::Field> fields = FakeService::Fields(request);
        QStringList got;
        for (const FakeService::Field& field : fields)
            got.append(field.Name + QLatin1Char('=') +
                       (field.Name == "data" ? QStringLiteral("<bytes>")
                                             : QString::fromUtf8(field.Value)));
        const QString agent = request.value("headers").toObject().value("user-agent").toString();
        QVERIFY(agent.startsWith(QStringLiteral("Marivane/")));
        QStringList expected{"email=me@example.org", "password=secret", "type=photo",
                             "caption=A caption",    "data=<bytes>",    "generator=" + agent,
                             "tags=sea, sun"};
        expected += tail;
        QCOMPARE(got, expected);
    }

    void pictureArrivesByteExact() {
        QVERIFY(Send(kAccount, FilePost(), nullptr, 5000));
        const QList<FakeService::Field> fields = FakeService::Fields(OnlyRequest());
        QCOMPARE(fields.at(4).Name, QStringLiteral("data"));
        QCOMPARE(fields.at(4).Value, EveryByte());
        QVERIFY(!FakeService::FieldNames(OnlyRequest()).contains(QStringLiteral("source")));
    }

    void urlPostSendsSource() {
        Post post = FilePost();
        post.PictureURL = QStringLiteral("http://pics.example/a.jpg");
        QVERIFY(Send(kAccount, post, nullptr, 5000));
        const QList<FakeService::Field> fields = FakeService::Fields(OnlyRequest());
        QCOMPARE(fields.at(4).Name, QStringLiteral("source"));
        QCOMPARE(fields.at(4).Value, QByteArray("http://pics.example/a.jpg"));
        QVERIFY(!FakeService::FieldNames(OnlyRequest()).contains(QStringLiteral("data")));
    }

    void convertedAndUnconvertedText() {
        Post post = FilePost(QStringLiteral("bl\u00f6g"));
        post.Caption = QStringLiteral("Caf\u00e9 \u2615\r\n\u6771\u4eac");
        post.Tags = QStringLiteral("\u00fcber");
        const UploadAccount account{QStringLiteral("j\u00e9r\u00f4me@example.org"),
                                    QStringLiteral("p\u00e4ss"), QString()};
        QVERIFY(Send(account, post, nullptr, 5000));
        const QList<FakeService::Field> fields = FakeService::Fields(OnlyRequest());
        QCOMPARE(fields.at(0).Value, QByteArray("j\xe9r\xf4me@example.org"));
        QCOMPARE(fields.at(1).Value, QByteArray("p\xe4ss"));
        QCOMPARE(fields.at(3).Value, post.Caption.toUtf8());
        QCOMPARE(fields.at(6).Value, post.Tags.toUtf8());
        QCOMPARE(fields.at(7).Value, QByteArray("bl\xf6g"));
    }

    void answers_data() {
        QTest::addColumn<QJsonObject>("answer");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("links");
        QTest::newRow("created") << FakeService::Answer(201, "123") << true << QString()
                                 << QByteArray("http://blog.example/post/123\r\n");
        QTest::newRow("id without its blanks")
            << FakeService::Answer(201, " 77\r\n") << true << QString()
            << QByteArray("http://blog.example/post/77\r\n");
        QTest::newRow("created without an id: no made-up link")
            << FakeService::Answer(201, "<p>done</p>") << true << QString() << QByteArray();
        QTest::newRow("ok is not created")
            << FakeService::Answer(200, "Fine") << false << "Can't send post. Fine" << QByteArray();
        QTest::newRow("bad request") << FakeService::Answer(400, "Invalid \u00e9mail") << false
                                     << "Can't send post. Invalid \u00e9mail" << QByteArray();
        QTest::newRow("server error page")
            << FakeService::Answer(500, "<html>\r\n<body>Oops</body>\r\n</html>") << false
            << "Can't send post. " << QByteArray();
        QJsonObject redirect = FakeService::Answer(302, "");
        redirect["headers"] = QJsonObject{{"Location", "/elsewhere"}};
        QTest::newRow("redirect not followed")
            << redirect << false << "Can't send post. " << QByteArray();
    }
    void answers() {
        QFETCH(QJsonObject, answer);
        QFETCH(bool, accepted);
        QFETCH(QString, message);
        QFETCH(QByteArray, links);
        m_service.Script({answer}, FakeService::Answer(201, "second"));
        const Post post = StoredFilePost();
        QCOMPARE(Send(kAccount, post, nullptr, 5000), accepted);
        QCOMPARE(m_service.Requests().size(), 1);
        QCOMPARE(Links(), links);
        // A refusal is a clear answer; an accepted post's marker goes with the post.
        QCOMPARE(PostSendingSince(post.InfoPath()).has_value(), accepted);
        if (accepted) {
            QVERIFY(m_messages.Shown().isEmpty());
        } else {
            QCOMPARE(m_messages.Texts(), QStringList{message});
            QCOMPARE(m_messages.Shown().first().icon, MsgIcon::Critical);
            QCOMPARE(m_messages.Shown().first().details,
                     QStringLiteral("HTTP status %1").arg(answer.value("status").toInt()));
        }
    }

    // Without an answer the post stays; its marker stays too once the whole body went out,
    // since the service may have published it.
    void noAnswer_data() {
        QTest::addColumn<QByteArray>("endpoint");
        QTest::addColumn<QJsonObject>("answer");
        QTest::addColumn<bool>("marked");
        QTest::newRow("refused") << "127.0.0.1:" + QByteArray::number(ClosedPort()) << QJsonObject()
                                 << false;
        QTest::newRow("dropped mid-upload")
            << QByteArray() << QJsonObject{{"mode", "drop"}, {"after", 2000}} << false;
        QTest::newRow("stalls past the timeout")
            << QByteArray() << QJsonObject{{"mode", "stall"}, {"seconds", 3}} << true;
        QTest::newRow("closed after the whole body")
            << QByteArray() << QJsonObject{{"mode", "close_after_body"}} << true;
        QTest::newRow("trickles past the deadline")
            << QByteArray() << QJsonObject{{"mode", "trickle"}, {"size", 20}, {"delay", 0.2}}
            << true;
        QTest::newRow("announced far longer than an id")
            << QByteArray() << QJsonObject{{"mode", "huge"}} << true;
        QTest::newRow("far longer than an id, unannounced")
            << QByteArray() << QJsonObject{{"mode", "huge"}, {"announce", false}} << true;
    }
    void noAnswer() {
        QFETCH(QByteArray, endpoint);
        QFETCH(QJsonObject, answer);
        QFETCH(bool, marked);
        if (!endpoint.isEmpty())
            qputenv("MARIVANE_API_ENDPOINT", endpoint);
        if (!answer.isEmpty())
            m_service.Script({}, answer);
        Post post = StoredFilePost();
        post.Picture = QByteArray(4 << 20, 'x'); // more than the socket buffers take at once
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!Send(kAccount, post, nullptr, 700));
        // A flood of an answer loads a busy machine, but read whole it took over a minute.
        QVERIFY(timer.elapsed() < (answer.value("mode") == QStringLiteral("huge") ? 10000 : 2800));
        QCOMPARE(m_messages.Texts(), QStringList{QStringLiteral("Can't send post.")});
        QVERIFY(m_messages.Shown().first().details.startsWith(QStringLiteral("Error ")));
        QCOMPARE(Links(), QByteArray());
        QCOMPARE(PostSendingSince(post.InfoPath()).has_value(), marked);
        // The network layer never sends the body a second time on its own.
        if (endpoint.isEmpty())
            QTRY_COMPARE(m_service.Requests().size(), 1);
    }

    void cancelledByCallback() {
        m_service.Script({}, QJsonObject{{"mode", "slowread"}, {"chunk", 65536}, {"delay", 0.05}});
        Post post = FilePost();
        post.Picture = QByteArray(16 << 20, 'x');
        CancellingCallback callback;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!Send(kAccount, post, &callback, 60000));
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(callback.Reports, 1);
        QCOMPARE(m_messages.Texts(), QStringList{QStringLiteral("Can't send post.")});
        QCOMPARE(
            m_messages.Shown().first().details,
            QStringLiteral("Error %1: The transfer was cancelled.").arg(HTTPRequest::kCancelled));
        // The service notes the cut request in its own time; not in the next test's record.
        QTRY_COMPARE(m_service.Requests().size(), 1);
    }

    void goesThroughTheProxy() {
        // The service's host is never resolved: the proxy gets the whole URL.
        qputenv("MARIVANE_API_ENDPOINT", "marivane.test:80");
        ProxySettings proxy;
        proxy.Type = ProxySettings::Kind::Http;
        proxy.Host = QStringLiteral("127.0.0.1");
        proxy.Port = m_service.Port();
        QVERIFY(proxy.Save());
        m_service.Script({FakeService::Answer(201, "9")});
        QVERIFY(Send(kAccount, FilePost(), nullptr, 5000));
        const QString target = OnlyRequest().value("path").toString();
        QVERIFY2(target.startsWith(QStringLiteral("http://marivane.test")), qPrintable(target));
        QVERIFY(target.endsWith(QStringLiteral("/api/write")));
        QCOMPARE(FakeService::Fields(OnlyRequest()).at(4).Value, EveryByte());
    }
};

QTEST_GUILESS_MAIN(tst_modUpload)
#include "tst_modUpload.moc"
