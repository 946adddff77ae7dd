#include "app/modKessbar.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QWidget>

namespace {

// Set once by InitToolBar, only read afterwards; false when no companion could be reached.
bool g_toolBarProxy = false;

void CallCompanion(const char* method, const QVariantList& arguments) {
    if (!g_toolBarProxy)
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(kToolbarService), QStringLiteral("/"),
                                       QString(), QString::fromLatin1(method));
    call.setArguments(arguments);
    call.setAutoStartService(false);
    QDBusConnection::sessionBus().send(call); // no reply awaited, errors ignored
}

} // namespace

void InitToolBar() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return;
    const QDBusReply<bool> registered =
        bus.interface()->isServiceRegistered(QString::fromLatin1(kToolbarService));
    g_toolBarProxy = registered.isValid() && registered.value();
    CallCompanion("ShowToolBar", {});
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
