#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QVariantMap>

class QDBusMessage;

// A private session bus for the test: a dbus-daemon of its own, made the session bus of the
// process. Start it before anything uses the session bus.
class PrivateSessionBus final {
public:
    PrivateSessionBus() = default;
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // With a configuration file, the daemon reads it instead of the usual session one.
    bool Start(const QString& configFile = QString());
    const QString& Address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

// Listens on a bus, as a dock does, to the launcher-entry signals the program sends.
class LauncherSignals final : public QObject {
    Q_OBJECT
public:
    struct Update {
        QString app;
        bool progressVisible = false;
        double progress = 0;
        bool countVisible = false;
        qint64 count = 0;
    };

    explicit LauncherSignals(const QString& busAddress);
    ~LauncherSignals() override;
    bool Listening() const { return m_listening; }
    // The entry was shown and is hidden again.
    bool Ended() const { return !updates.isEmpty() && !updates.last().progressVisible; }
    // Every update of the ended run was for this application's entry, showed progress going
    // forward only, and only the last one hid it.
    bool ShownInOrder(const QString& app) const;

    QList<Update> updates;

private Q_SLOTS:
    void Received(const QDBusMessage& message);

private:
    QString m_name;
    bool m_listening = false;
};

// Stands in for the desktop's notification service on a bus and keeps what it was asked to show.
class NotificationService final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notification {
        QString app;
        QString icon;
        QString summary;
        QString body;
        QVariantMap hints;
    };

    explicit NotificationService(const QString& busAddress);
    ~NotificationService() override;
    bool Registered() const { return m_registered; }

    QList<Notification> shown;

public Q_SLOTS:
    uint Notify(const QString& app, uint replacesId, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints,
                int timeout);

private:
    QString m_name;
    bool m_registered = false;
};
