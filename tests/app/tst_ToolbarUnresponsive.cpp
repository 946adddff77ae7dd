#include "CreatorWindowsSupport.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QtTest>

// A session bus that takes connections but never answers: start-up goes on at once, and
// every window opens and closes without waiting for it.
class tst_ToolbarUnresponsive : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void startUpDoesNotWait();

private:
    TestHome m_home;
    MessageRecorder m_messages;
    QLocalServer m_silentBus;
};

void tst_ToolbarUnresponsive::initTestCase() {
    const QString path = m_home.Path() + QStringLiteral("/silent-bus");
    QVERIFY(m_silentBus.listen(path));
    qputenv("DBUS_SESSION_BUS_ADDRESS", (QStringLiteral("unix:path=") + path).toUtf8());
}

void tst_ToolbarUnresponsive::startUpDoesNotWait() {
    QElapsedTimer clock;
    clock.start();
    InitToolBar();
    QCOMPARE_LT(clock.elapsed(), 1000);
    QCOMPARE(OpenAndCloseEveryWindow().size(), 4);
    QCOMPARE_LT(clock.elapsed(), 5000);
    QVERIFY(m_messages.Shown().isEmpty());
}

QTEST_MAIN(tst_ToolbarUnresponsive)
#include "tst_ToolbarUnresponsive.moc"
