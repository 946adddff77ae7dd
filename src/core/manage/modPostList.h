#pragma once

#include "components/FolderListing.h"

#include <QList>
#include <QString>

#include <functional>

// Counts the sizes of a folder's named files that `sizes` (one per name) does not know yet
// (-1); a file whose size cannot be read stays -1. When `stopped` answers true the count ends
// early, unfinished. Answers how many sizes it filled in.
qsizetype CountFileSizes(const QString& folder, const FileNameList& names, QList<qint64>& sizes,
                         const std::function<bool()>& stopped = {});
// The sum of the known sizes.
double SumOfSizes(const QList<qint64>& sizes);
