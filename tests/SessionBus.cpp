#include "SessionBus.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>

PrivateSessionBus::~PrivateSessionBus() {
    m_daemon.kill();
    m_daemon.waitForFinished();
}

bool PrivateSessionBus::Start(const QString& configFile) {
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {configFile.isEmpty() ? QStringLiteral("--session")
                                         : QStringLiteral("--config-file=") + configFile,
                    QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!m_daemon.waitForStarted() || !m_daemon.waitForReadyRead(10000))
        return false;
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    if (m_address.isEmpty())
        return false;
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
    return QDBusConnection::sessionBus().isConnected();
}

LauncherSignals::LauncherSignals(const QString& busAddress)
    : m_name(QStringLiteral("launcher-listener")) {
    QDBusConnection bus = QDBusConnection::connectToBus(busAddress, m_name);
    m_listening =
        bus.connect(QString(), QString(), QStringLiteral("com.canonical.Unity.LauncherEntry"),
                    QStringLiteral("Update"), this, SLOT(Received(QDBusMessage)));
}

LauncherSignals::~LauncherSignals() {
    QDBusConnection::disconnectFromBus(m_name);
}

void LauncherSignals::Received(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() != 2)
        return;
    Update update;
    update.app = arguments.at(0).toString();
    QVariantMap properties;
    arguments.at(1).value<QDBusArgument>() >> properties;
    update.progressVisible = properties.value(QStringLiteral("progress-visible")).toBool();
    update.progress = properties.value(QStringLiteral("progress")).toDouble();
    update.countVisible = properties.value(QStringLiteral("count-visible")).toBool();
    update.count = properties.value(QStringLiteral("count")).toLongLong();
    updates.append(update);
}

bool LauncherSignals::ShownInOrder(const QString& app) const {
    if (!Ended() || updates.size() < 2)
        return false;
    double progress = 0;
    for (qsizetype i = 0; i < updates.size(); ++i) {
        const Update& update = updates.at(i);
        const bool last = i == updates.size() - 1;
        if (update.app != app || update.progressVisible == last)
            return false;
        if (!last && (update.progress < progress || update.progress > 1))
            return false;
        progress = update.progress;
    }
    return true;
}

NotificationService::NotificationService(const QString& busAddress)
    : m_name(QStringLiteral("notification-service")) {
    QDBusConnection bus = QDBusConnection::connectToBus(busAddress, m_name);
    m_registered = bus.registerService(QStringLiteral("org.freedesktop.Notifications")) &&
                   bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                      QDBusConnection::ExportAllSlots);
}

NotificationService::~NotificationService() {
    QDBusConnection::disconnectFromBus(m_name);
}

uint NotificationService::Notify(const QString& app, uint, const QString& icon,
                                 const QString& summary, const QString& body, const QStringList&,
                                 const QVariantMap& hints, int) {
    shown.append({app, icon, summary, body, hints});
    return static_cast<uint>(shown.size());
}
