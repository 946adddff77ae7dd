#pragma once

#include <QString>

#include <optional>

// A port a connection can use, 1 to 65535; nothing for any other number.
std::optional<quint16> PortNumber(qint64 value);
// The same for a port as typed or given as text; blanks around it do not count.
std::optional<quint16> PortNumber(const QString& text);
