#include "CreatorWindowsSupport.h"

#include <QtTest>

// No session bus at all: every window still opens and closes, and nothing is reported.
class tst_ToolbarAbsent : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void everyWindowOpensAndCloses();

private:
    TestHome m_home;
    MessageRecorder m_messages;
};

void tst_ToolbarAbsent::initTestCase() {
    qputenv("DBUS_SESSION_BUS_ADDRESS",
            (QStringLiteral("unix:path=") + m_home.Path() + QStringLiteral("/no-bus")).toUtf8());
    InitToolBar();
}

void tst_ToolbarAbsent::everyWindowOpensAndCloses() {
    const QList<WindowSeen> windows = OpenAndCloseEveryWindow();
    QStringList names;
    for (const WindowSeen& window : windows)
        names << window.name;
    QCOMPARE(names, (QStringList{"frmCreator", "frmLinks", "frmEditGroups", "frmHistory"}));
    QVERIFY(m_messages.Shown().isEmpty());
    QVERIFY(QFile::exists(m_home.Path() + QStringLiteral("/config/Velmora/Marivane.ini")));
}

QTEST_MAIN(tst_ToolbarAbsent)
#include "tst_ToolbarAbsent.moc"
