#pragma once

#include <QString>

// The application title; windows show it without the family prefix.
inline constexpr char kAppTitle[] = "Zentil - Marivane";
inline constexpr char kTitlePrefix[] = "Zentil - ";

// "Marivane", or "Marivane :: " + mode.
QString MakeWindowTitle(const QString& mode);
