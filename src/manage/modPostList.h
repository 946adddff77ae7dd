#pragma once

#include "components/FolderListing.h"

#include <QString>

#include <functional>

// The manage mode's view of the data folder: which files stand for waiting posts, their
// total size, and removing a post by the name of its picture file.

// Bare names of the files ending in ".Picture" (any letter case) in a folder, in ascending
// order, letter case ignored. Raises ComponentError when the folder cannot be read.
FileNameList ListPostPictures(const QString& folder);
// The ".Info" beside a picture file: a final ".picture" in any letter case becomes
// ".Info". Empty when the name does not end so.
QString InfoPathFor(const QString& picturePath);
// Removes a post's ".Info", then its picture file. When the ".Info" cannot be removed the
// picture stays too, so the post is kept whole rather than left half-deleted.
// Failures are not reported.
void DeletePostFiles(const QString& picturePath);
// Rows of a picture listing whose post has a send marker: its upload ended without an
// answer, so it may be on the blog already. A folder that cannot be read marks nothing.
QList<int> PostsWithSendMarker(const QString& folder, const FileNameList& pictures);
// Sum of the sizes of the named files of a folder; a file whose size cannot be read adds
// nothing. When `stopped` answers true the sum ends early, unfinished.
double TotalFileSize(const QString& folder, const FileNameList& names,
                     const std::function<bool()>& stopped = {});
