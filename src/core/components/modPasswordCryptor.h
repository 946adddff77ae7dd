#pragma once

#include <QString>

// Keeps a remembered password from a casual look at the settings file; no real secrecy.
// A password with a character outside ISO-8859-1 cannot be kept in this form and
// scrambles to the empty text, so it is not remembered rather than stored damaged.
QString EncryptPassword(const QString& password);
// Empty for anything that is not a valid scrambled form.
QString DecryptPassword(const QString& text);
