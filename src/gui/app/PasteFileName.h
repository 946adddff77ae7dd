#pragma once

#include <QString>

class QLineEdit;

// Once the module modMain. Puts the path of an existing file into a box, caret at its end. The text
// is trimmed in place; false (box untouched) when it names no existing file.
bool PasteFileName(QString& text, QLineEdit* box);
