#pragma once

#include <QString>

#include "components/AppTitle.h"

// The URL-form test: a scheme of two or more characters, a colon, then anything.
bool HasURLForm(const QString& text); // once PathIsURL
// Whether a text is a usable picture URL.
bool IsPictureURL(const QString& text); // once MyPathIsURL
// A one-line reply of the service, decoded from UTF-8 (one character per byte);
// empty for anything with a line break.
QString DecodeServerText(const QString& text);
