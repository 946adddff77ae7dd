#include "components/PortNumber.h"

std::optional<quint16> PortNumber(qint64 value) {
    if (value < 1 || value > 65535)
        return std::nullopt;
    return static_cast<quint16>(value);
}

std::optional<quint16> PortNumber(const QString& text) {
    bool ok = false;
    const uint value = text.trimmed().toUInt(&ok);
    return ok ? PortNumber(static_cast<qint64>(value)) : std::nullopt;
}
