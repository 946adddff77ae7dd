#include "CreatorWindowsSupport.h"
#include "SessionBus.h"

#include <QDir>
#include <QtTest>

// The companion is not running, but the session bus knows how to start it: the program has
// the bus start it.
class tst_ToolbarActivation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void busStartsTheCompanion();

private:
    TestHome m_home;
    MessageRecorder m_messages;
    PrivateSessionBus m_bus;
};

void tst_ToolbarActivation::busStartsTheCompanion() {
    const QString services = m_home.Path() + QStringLiteral("/services");
    const QString started = m_home.Path() + QStringLiteral("/started");
    QVERIFY(QDir().mkpath(services));
    // The stand-in only leaves a mark that it was started.
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

QTEST_MAIN(tst_ToolbarActivation)
#include "tst_ToolbarActivation.moc"
