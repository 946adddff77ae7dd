#include "app/modKessbar.h"

#include "app/SessionBusProbe.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <atomic>

namespace {

// Set once the companion was found on the session bus, or the bus can start it; only read
// afterwards. False while the bus has not answered.
std::atomic<bool> g_toolBarProxy = false;

// Start-up waits this long for the bus at most; a question to the bus, asked beside start-up,
// may take longer.
constexpr int kStartUpWaitMs = 250;
constexpr int kBusQuestionMs = 1000;

// Looks for the companion beside start-up; gone once it is done.
QPointer<QThread> g_search;

// A search still running when the program ends gets a moment to finish first, so that it
// does not use parts of the program that are being taken down.
void WaitForSearch() {
    if (g_search)
        g_search->wait(QDeadlineTimer(3 * kBusQuestionMs));
}

QDBusMessage AskBus(QDBusConnection& bus, const char* method, const QVariantList& arguments) {
    QDBusMessage question = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QString::fromLatin1(method));
    question.setArguments(arguments);
    return bus.call(question, QDBus::Block, kBusQuestionMs);
}

// The companion runs already, or the bus starts it when called (D-Bus activation).
bool CompanionReachable(QDBusConnection& bus) {
    const QString name = QString::fromLatin1(kToolbarService);
    const QDBusMessage owned = AskBus(bus, "NameHasOwner", {name});
    if (owned.type() == QDBusMessage::ReplyMessage && owned.arguments().value(0).toBool())
        return true;
    const QDBusMessage activatable = AskBus(bus, "ListActivatableNames", {});
    return activatable.type() == QDBusMessage::ReplyMessage &&
           activatable.arguments().value(0).toStringList().contains(name);
}

void CallCompanion(const char* method, const QVariantList& arguments) {
    if (!g_toolBarProxy)
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(kToolbarService), QStringLiteral("/"),
                                       QString(), QString::fromLatin1(method));
    call.setArguments(arguments);
    // Auto-start: the bus starts a companion that is not running yet and hands it the call.
    call.setAutoStartService(true);
    QDBusConnection::sessionBus().send(call); // no reply awaited, errors ignored
}

} // namespace

void InitToolBar() {
    // Connecting waits for the bus, which may never answer; that waiting happens beside
    // start-up, which goes on after a moment whatever the bus does.
    QThread* search = QThread::create([] {
        if (!SessionBusAnswers(kBusQuestionMs))
            return;
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected() || !CompanionReachable(bus))
            return;
        g_toolBarProxy = true;
        CallCompanion("ShowToolBar", {});
    });
    QObject::connect(search, &QThread::finished, search, &QObject::deleteLater);
    static const bool waitAtEnd = (qAddPostRoutine(WaitForSearch), true);
    Q_UNUSED(waitAtEnd);
    g_search = search;
    search->start();
    search->wait(QDeadlineTimer(kStartUpWaitMs));
}

qint32 ToolBarHandle(QWidget* window) {
    return static_cast<qint32>(static_cast<quint32>(window->winId() & 0xFFFFFFFFu));
}

qint32 ToolBarMarkForm(QWidget* window) {
    const qint32 handle = ToolBarHandle(window);
    CallCompanion("MarkForm", {handle});
    return handle;
}

void ToolBarUnMarkHandle(qint32 handle) {
    CallCompanion("UnMarkForm", {handle});
}
