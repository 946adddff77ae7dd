#include "CreatorWindowsSupport.h"
#include "SessionBus.h"
#include "app/ToolbarCompanion.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QtTest>

namespace {

// A stand-in companion: records every call made to it at "/".
class FakeCompanion final : public QDBusVirtualObject {
public:
    struct Call {
        QString method;
        QVariantList arguments;
    };
    QList<Call> calls;

    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
        calls.append({message.member(), message.arguments()});
        return true;
    }
    QString introspect(const QString&) const override { return {}; }
};

} // namespace

// The toolbar companion on a private session bus that this test starts.
class tst_ToolbarCompanion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void noCompanionOnTheBus();
    void everyWindowMarkedAndUnmarked();
    void windowMarkedBeforeTheBusAnswered();

private:
    QList<FakeCompanion::Call> CallsSince(qsizetype first) const {
        return m_companion.calls.mid(first);
    }

    TestHome m_home;
    MessageRecorder m_messages;
    PrivateSessionBus m_bus;
    FakeCompanion m_companion;
};

void tst_ToolbarCompanion::initTestCase() {
    QVERIFY2(m_bus.Start(), "dbus-daemon is needed for this test");
}

void tst_ToolbarCompanion::cleanupTestCase() {
    QDBusConnection::disconnectFromBus(QStringLiteral("companion"));
}

void tst_ToolbarCompanion::noCompanionOnTheBus() {
    InitToolBar();
    OpenAndCloseEveryWindow();
    QVERIFY(m_messages.Shown().isEmpty());
}

void tst_ToolbarCompanion::everyWindowMarkedAndUnmarked() {
    QDBusConnection companion =
        QDBusConnection::connectToBus(m_bus.Address(), QStringLiteral("companion"));
    QVERIFY(companion.isConnected());
    QVERIFY(companion.registerVirtualObject(QStringLiteral("/"), &m_companion));
    QVERIFY(companion.registerService(QString::fromLatin1(kToolbarService)));

    InitToolBar();
    QTRY_COMPARE(m_companion.calls.size(), 1);
    QCOMPARE(m_companion.calls.first().method, QStringLiteral("ShowToolBar"));
    QVERIFY(m_companion.calls.first().arguments.isEmpty());

    const QList<WindowSeen> windows = OpenAndCloseEveryWindow();
    QCOMPARE(windows.size(), 4);
    // Each window is marked when it opens and unmarked when it goes, with its own handle.
    QTRY_COMPARE(m_companion.calls.size(), 1 + 2 * windows.size());
    // The creator stays open while the others come and go.
    QStringList expected{QStringLiteral("MarkForm %1").arg(windows.first().handle)};
    for (const WindowSeen& window : windows.mid(1)) {
        expected << QStringLiteral("MarkForm %1").arg(window.handle)
                 << QStringLiteral("UnMarkForm %1").arg(window.handle);
    }
    expected << QStringLiteral("UnMarkForm %1").arg(windows.first().handle);
    QStringList got;
    for (const FakeCompanion::Call& call : CallsSince(1)) {
        QCOMPARE(call.arguments.size(), 1);
        QCOMPARE(call.arguments.first().metaType(), QMetaType::fromType<qint32>());
        got << call.method + QLatin1Char(' ') + QString::number(call.arguments.first().toInt());
    }
    QCOMPARE(got, expected);
    QVERIFY(m_messages.Shown().isEmpty());
}

void tst_ToolbarCompanion::windowMarkedBeforeTheBusAnswered() {
    // Start-up does not wait for the bus; the creator is marked while the search goes on.
    const qsizetype first = m_companion.calls.size();
    InitToolBar();
    QWidget window;
    const qint32 handle = ToolBarMarkForm(&window);
    QTRY_COMPARE(CallsSince(first).size(), 2);
    QCOMPARE(CallsSince(first).at(0).method, QStringLiteral("ShowToolBar"));
    QCOMPARE(CallsSince(first).at(1).method, QStringLiteral("MarkForm"));
    QCOMPARE(CallsSince(first).at(1).arguments, QVariantList{handle});
}

QTEST_MAIN(tst_ToolbarCompanion)
#include "tst_ToolbarCompanion.moc"
