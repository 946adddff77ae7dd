#include "app/ToolbarCompanion.h"

#include "app/SessionBusProbe.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <mutex>

namespace {

// Whether the companion runs on the session bus, or the bus can start it: unknown until the
// search beside start-up has ended, and then fixed.
enum class Companion { Unknown, Reachable, Absent };
std::mutex g_lock;
Companion g_companion = Companion::Unknown;
// Calls made while the search went on; the companion gets them once it is found. Start-up
// does not wait for the bus: it is no part of the first frame.
QList<QDBusMessage> g_waiting;

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

QDBusMessage CompanionCall(const char* method, const QVariantList& arguments) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(kToolbarService), QStringLiteral("/"),
                                       QString(), QString::fromLatin1(method));
    call.setArguments(arguments);
    // Auto-start: the bus starts a companion that is not running yet and hands it the call.
    call.setAutoStartService(true);
    return call;
}

void CallCompanion(const char* method, const QVariantList& arguments) {
    const std::lock_guard lock(g_lock);
    if (g_companion == Companion::Unknown)
        g_waiting.append(CompanionCall(method, arguments));
    else if (g_companion == Companion::Reachable)
        QDBusConnection::sessionBus().send(CompanionCall(method, arguments)); // errors ignored
}

void SearchEnded(bool reachable) {
    const std::lock_guard lock(g_lock);
    g_companion = reachable ? Companion::Reachable : Companion::Absent;
    if (reachable) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.send(CompanionCall("ShowToolBar", {}));
        for (const QDBusMessage& call : std::as_const(g_waiting))
            bus.send(call);
    }
    g_waiting.clear();
}

} // namespace

void InitToolBar() {
    {
        const std::lock_guard lock(g_lock);
        g_companion = Companion::Unknown;
    }
    // Connecting waits for the bus, which may never answer; that waiting happens beside
    // start-up.
    QThread* search = QThread::create([] {
        bool reachable = false;
        if (SessionBusAnswers(kBusQuestionMs)) {
            QDBusConnection bus = QDBusConnection::sessionBus();
            reachable = bus.isConnected() && CompanionReachable(bus);
        }
        SearchEnded(reachable);
    });
    QObject::connect(search, &QThread::finished, search, &QObject::deleteLater);
    static const bool waitAtEnd = (qAddPostRoutine(WaitForSearch), true);
    Q_UNUSED(waitAtEnd);
    g_search = search;
    search->start();
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
