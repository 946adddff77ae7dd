#include "app/LauncherEntry.h"

#include "app/SessionBusProbe.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QVariantMap>

namespace {

// The entry is the one of the desktop file the program declared itself to be.
void SendUpdate(const QVariantMap& properties) {
    const QString desktopId = QGuiApplication::desktopFileName();
    // A bus that never answers would hold the send run up at its first signal.
    if (desktopId.isEmpty() || !SessionBusAnswersOnce())
        return;
    QDBusMessage update = QDBusMessage::createSignal(
        QStringLiteral("/com/canonical/unity/launcherentry/marivane"),
        QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    const QString app = QStringLiteral("application://") + desktopId + QStringLiteral(".desktop");
    update.setArguments({app, properties});
    QDBusConnection::sessionBus().send(update); // without a bus it goes nowhere
}

} // namespace

LauncherEntry::~LauncherEntry() {
    Hide();
}

void LauncherEntry::Show(double progress, qint64 count) {
    const int percent = qBound(0, static_cast<int>(progress * 100), 100);
    count = qMax<qint64>(count, -1);
    if (percent == m_percent && count == m_count)
        return;
    m_percent = percent;
    m_count = count;
    SendUpdate({{QStringLiteral("progress"), percent / 100.0},
                {QStringLiteral("progress-visible"), true},
                {QStringLiteral("count"), qMax<qint64>(count, 0)},
                {QStringLiteral("count-visible"), count >= 0}});
}

void LauncherEntry::Hide() {
    if (m_percent < 0)
        return;
    m_percent = -1;
    m_count = -1;
    SendUpdate(
        {{QStringLiteral("progress-visible"), false}, {QStringLiteral("count-visible"), false}});
}
