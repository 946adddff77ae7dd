#include "FakeService.h"
#include "TestSupport.h"

#include "store/modStorage.h"

#include <QDir>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

// A send run killed during an upload leaves every post stored and loadable.
class tst_SendInterrupted : public QObject {
    Q_OBJECT
    TestHome m_home;
    MessageRecorder m_messages;
    FakeService m_service;

private Q_SLOTS:
    void killedDuringUpload() {
        QVERIFY(m_service.Started());
        m_service.UseAsApi();
        m_service.Script({}, QJsonObject{{"mode", "slowread"}, {"chunk", 65536}, {"delay", 0.1}});
        const QByteArray picture(8 << 20, '\x89');
        const QString pictureFile = m_home.Path() + QStringLiteral("/big.png");
        WriteFile(pictureFile, picture);
        for (int i = 0; i < 3; ++i)
            QVERIFY(SavePost(QStringLiteral("g"), QStringLiteral("c%1").arg(i), QStringLiteral("t"),
                             pictureFile, QString()));
        const QStringList before = QDir(m_home.DataFolder()).entryList(QDir::Files, QDir::Name);

        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QStringLiteral(SEND_CHILD),
                    {QStringLiteral("-platform"), QStringLiteral("offscreen")});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(20000));
        QCOMPARE(child.readAll().trimmed(), QByteArray("sending"));
        QTest::qWait(800); // well inside the first upload, which takes seconds
        QCOMPARE(child.state(), QProcess::Running);
        child.kill();
        QVERIFY(child.waitForFinished());

        QCOMPARE(QDir(m_home.DataFolder()).entryList(QDir::Files, QDir::Name), before);
        for (const QString& name : QDir(m_home.DataFolder()).entryList({"*.Info"}, QDir::Files)) {
            QString group, caption, tags;
            QByteArray data;
            QVERIFY(LoadPost(m_home.DataFolder() + QLatin1Char('/') + name, group, caption, tags,
                             &data));
            QCOMPARE(data, picture);
        }
        QVERIFY(m_messages.Shown().isEmpty());
        // The service drains what the kernel had buffered before it sees the break.
        QTRY_COMPARE_WITH_TIMEOUT(m_service.Requests().size(), 1, 30000);
        QVERIFY(!m_service.Requests().first().toObject().value("complete").toBool());
    }
};

QTEST_GUILESS_MAIN(tst_SendInterrupted)
#include "tst_SendInterrupted.moc"
