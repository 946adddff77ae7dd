#pragma once

#include "components/FolderListing.h"

#include <QString>

#include <functional>

// Sum of the sizes of the named files of a folder; a file whose size cannot be read adds
// nothing. When `stopped` answers true the sum ends early, unfinished.
double TotalFileSize(const QString& folder, const FileNameList& names,
                     const std::function<bool()>& stopped = {});
