#pragma once

#include <QString>

// The version the program was built as, such as "1.0".
QString ProgramVersion();
