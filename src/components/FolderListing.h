#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringList>

// Listing the files of a folder, and the order in which the windows show file names.

// Names of the regular files of a folder (hidden ones included) that `accept` takes, in the
// order the file system gives them. Pipes and devices are left out: reading one would hang.
// Raises ComponentError when the folder cannot be read.
QStringList ListFileNames(const QString& folder, bool (*accept)(const QString& name));

// Names of the regular files of a folder that end with `suffix` (any letter case), already in
// SortFileNames order. Raises ComponentError when the folder cannot be read.
QStringList ListFileNamesEndingWith(const QString& folder, QLatin1StringView suffix);

// Puts file names in ascending order, letter case ignored; names equal but for their letter
// case keep one fixed order among themselves.
void SortFileNames(QStringList& names);
