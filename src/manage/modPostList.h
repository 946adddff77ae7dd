#pragma once

#include <QString>
#include <QStringList>

// The manage mode's view of the data folder: which files stand for waiting posts, their
// total size, and removing a post by the name of its picture file.

// Bare names of the files ending in ".Picture" (any letter case) in a folder, in ascending
// order, letter case ignored. Raises ComponentError when the folder cannot be read.
QStringList ListPostPictures(const QString& folder);
// The ".Info" beside a picture file: a final ".picture" in any letter case becomes
// ".Info". Empty when the name does not end so.
QString InfoPathFor(const QString& picturePath);
// Removes a post's ".Info", then its picture file. When the ".Info" cannot be removed the
// picture stays too, so the post is kept whole rather than left half-deleted.
// Failures are not reported.
void DeletePostFiles(const QString& picturePath);
// Sum of the sizes of the named files of a folder; a file whose size cannot be read adds
// nothing.
double TotalFileSize(const QString& folder, const QStringList& names);
