#include "components/ComponentError.h"

#include <cstring>

ComponentError::ComponentError(quint32 number, const QString& description)
    : m_number(number), m_description(description), m_what(description.toUtf8()) {}

void ThrowSystemError(quint32 number, const QString& what, const QString& path, int error) {
    throw ComponentError(number, what + QStringLiteral(" \"") + path + QStringLiteral("\": ") +
                                     QString::fromLocal8Bit(std::strerror(error)));
}
