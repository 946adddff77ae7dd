#pragma once

#include <QString>

// Tags made from a caption: the first line, cleaned of characters the service treats
// specially, quoted as one item when it holds commas.

// Removes "#" and double quotes; "\", "/" and "|" become "-".
QString CleanTagText(const QString& text);
// The tags the "Auto" box puts in place of the typed ones.
QString TagsFromCaption(const QString& caption);
