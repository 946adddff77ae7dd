#include "CreatorWindowsSupport.h"
#include "SessionBus.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QtTest>

// How start-up finds the toolbar companion. The silent bus comes first: the program must not
// have touched D-Bus before a real bus is started for the second test.
class tst_ToolbarStartUp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void silentBusDoesNotHoldUpStartUp();
    void busStartsTheCompanion();

private:
    TestHome m_home;
    MessageRecorder m_messages;
    QLocalServer m_silentBus;
    PrivateSessionBus m_bus;
};

void tst_ToolbarStartUp::silentBusDoesNotHoldUpStartUp() {
    // It takes connections but never answers.
    const QString path = m_home.Path() + QStringLiteral("/silent-bus");
    QVERIFY(m_silentBus.listen(path));
    qputenv("DBUS_SESSION_BUS_ADDRESS", (QStringLiteral("unix:path=") + path).toUtf8());
    QElapsedTimer clock;
    clock.start();
    InitToolBar();
    QCOMPARE_LT(clock.elapsed(), 1000);
    QCOMPARE(OpenAndCloseEveryWindow().size(), 4);
    QCOMPARE_LT(clock.elapsed(), 5000);
    QVERIFY(m_messages.Shown().isEmpty());
}

void tst_ToolbarStartUp::busStartsTheCompanion() {
    // The companion is not running, but the bus knows how to start it; the stand-in only
    // leaves a mark that it was started.
    const QString services = m_home.Path() + QStringLiteral("/services");
    const QString started = m_home.Path() + QStringLiteral("/started");
    QVERIFY(QDir().mkpath(services));
    WriteFile(services + QStringLiteral("/companion.service"),
              "[D-BUS Service]\nName=" + QByteArray(kToolbarService) + "\nExec=/usr/bin/touch " +
                  started.toUtf8() + "\n");
    const QString config = m_home.Path() + QStringLiteral("/bus.conf");
    WriteFile(config, "<busconfig><type>session</type><listen>unix:tmpdir=" +
                          m_home.Path().toUtf8() + "</listen><servicedir>" + services.toUtf8() +
                          "</servicedir><policy context=\"default\">"
                          "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                          "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>");
    QVERIFY2(m_bus.Start(config), "dbus-daemon is needed for this test");
    InitToolBar();
    QTRY_VERIFY(QFile::exists(started));
    QVERIFY(m_messages.Shown().isEmpty());
}

QTEST_MAIN(tst_ToolbarStartUp)
#include "tst_ToolbarStartUp.moc"
