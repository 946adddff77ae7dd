#include "components/ComponentError.h"

ComponentError::ComponentError(quint32 number, const QString& description)
    : m_number(number), m_description(description), m_what(description.toUtf8()) {}
