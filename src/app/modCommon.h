#pragma once

#include <QString>

// The application title; windows show it without the family prefix.
inline constexpr char kAppTitle[] = "Zentil - Marivane";
inline constexpr char kTitlePrefix[] = "Zentil - ";

// "Marivane", or "Marivane :: " + mode.
QString MakeWindowTitle(const QString& mode);

// The URL-form test: a scheme of two or more characters, a colon, then anything.
bool PathIsURL(const QString& text);
// Whether a text is a usable picture URL.
bool MyPathIsURL(const QString& text);
// A one-line reply of the service, decoded from UTF-8 (one character per byte);
// empty for anything with a line break.
QString DecodeServerText(const QString& text);
