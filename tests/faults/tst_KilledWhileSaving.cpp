// The program killed in the middle of storing posts: the send mode, which lists ".Info"
// files, must never find half a post, and no stored post may be damaged.
#include "PostFolderCheck.h"
#include "TestSupport.h"
#include "store/modStorage.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>

class tst_KilledWhileSaving : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void killedRepeatedly();

private:
    TestHome m_home;
    QTemporaryDir m_pictures;
    QString m_picture;
    ExpectedPost m_expected;
};

void tst_KilledWhileSaving::initTestCase() {
    // The largest a post may hold: a kill often lands inside a write.
    const QByteArray bytes = RandomBytes(kMaxPictureBytes, 815);
    m_picture = m_pictures.filePath(QStringLiteral("picture.jpg"));
    WriteFile(m_picture, bytes);
    m_expected = {QStringLiteral("fault.example.com"), QStringLiteral("sea, sand"),
                  QStringLiteral("Line one\r\nLine two"), bytes};
}

void tst_KilledWhileSaving::killedRepeatedly() {
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("kill delays seeded with %u", seed);
    QRandomGenerator delays(seed);
    int started = 0;
    for (int round = 0; round < 20; ++round) {
        QProcess child;
        child.start(QStringLiteral(FAULT_CHILD), {QStringLiteral("loop"), m_picture});
        QVERIFY(child.waitForStarted());
        // Kill only once the child is past its start-up and inside its saving loop.
        QVERIFY(child.waitForReadyRead(30000));
        QThread::usleep(delays.bounded(60000));
        child.kill();
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        ++started;
    }

    const PostFolderState state = CheckPostFolder(m_home.DataFolder(), m_expected);
    QVERIFY2(state.problems.isEmpty(), qPrintable(state.problems.join(QLatin1Char('\n'))));
    qInfo("%d whole posts, %d lone pictures, %d cut-short temporary files", state.posts,
          state.lonePictures, int(state.leftovers.size()));
    QVERIFY(state.posts >= started);
    // A write cut short leaves only a hidden temporary file, which no listing of posts sees.
    for (const QString& name : state.leftovers)
        QVERIFY2(!name.endsWith(QStringLiteral(".Info")) &&
                     !name.endsWith(QStringLiteral(".Picture")),
                 qPrintable(name));
    const QStringList listed = m_home.DataFiles({QStringLiteral("*.Info")});
    QCOMPARE(listed.size(), state.posts);
}

QTEST_GUILESS_MAIN(tst_KilledWhileSaving)
#include "tst_KilledWhileSaving.moc"
