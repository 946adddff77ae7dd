#include "app/DesktopNotification.h"

#include "app/SessionBusProbe.h"
#include "components/AppTitle.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

void AnnounceRunEnd(QWidget* window, const QString& text) {
    if (!window || window->isActiveWindow())
        return;
    QApplication::alert(window);
    if (!SessionBusAnswersOnce())
        return;
    const QString app = MakeWindowTitle(QString());
    // The icon and the entry by the application id, under which the icons are installed.
    const QString id = QGuiApplication::desktopFileName();
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), id}};
    notify.setArguments({app, 0U, id, app, text, QStringList(), hints, -1});
    // Sent without waiting: no service means an error answer that nobody reads.
    notify.setAutoStartService(false);
    QDBusConnection::sessionBus().send(notify);
}

RunAnnouncement::RunAnnouncement(QWidget* window) : m_window(window) {
    m_previous = Messages::SetHandler([this](const MessageRequest& request) {
        if (request.icon == MsgIcon::Critical && !m_errorAnnounced) {
            m_errorAnnounced = true;
            AnnounceRunEnd(m_window, request.text.section(QLatin1Char('\n'), 0, 0).trimmed());
        }
        return m_previous(request);
    });
}

RunAnnouncement::~RunAnnouncement() {
    Messages::SetHandler(m_previous);
}

void RunAnnouncement::Finish(const QString& text) {
    if (!m_errorAnnounced)
        AnnounceRunEnd(m_window, text);
}
