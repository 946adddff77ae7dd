#include "app/SessionBusProbe.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QUrl>
#include <optional>

namespace {

struct BusSocket {
    QString name;
    bool abstract = false;
};

// The unix socket of the session bus address, as the D-Bus library reads the address.
std::optional<BusSocket> SessionBusSocket() {
    QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (address.isEmpty() && !runtime.isEmpty())
        address = QStringLiteral("unix:path=") + runtime + QStringLiteral("/bus");
    for (const QString& entry : address.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (!entry.startsWith(QLatin1String("unix:")))
            continue;
        for (const QString& pair : entry.mid(5).split(QLatin1Char(','))) {
            const qsizetype equals = pair.indexOf(QLatin1Char('='));
            const QString key = pair.left(equals);
            if (equals > 0 && (key == QLatin1String("path") || key == QLatin1String("abstract")))
                return BusSocket{QUrl::fromPercentEncoding(pair.mid(equals + 1).toUtf8()),
                                 key == QLatin1String("abstract")};
        }
    }
    return std::nullopt;
}

} // namespace

bool SessionBusAnswers(int timeoutMs) {
    const std::optional<BusSocket> bus = SessionBusSocket();
    if (!bus)
        return true;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket probe;
    if (bus->abstract)
        probe.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    probe.connectToServer(bus->name);
    if (!probe.waitForConnected(static_cast<int>(deadline.remainingTime())))
        return false;
    // A NUL byte, then the question for the ways to authenticate, which a bus answers at once.
    probe.write(QByteArray("\0AUTH\r\n", 7));
    return probe.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
}

bool SessionBusAnswersOnce() {
    static const bool answers = SessionBusAnswers(250);
    return answers;
}
