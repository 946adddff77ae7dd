#pragma once

#include "components/FolderListing.h"

#include <QList>
#include <QString>
#include <QtGlobal>

// When a folder's entries last changed, as far as the file system tells: any file added,
// removed or renamed there moves its modification and change times.
struct FolderStamp {
    quint64 Device = 0;
    quint64 Inode = 0;
    qint64 ModifiedSeconds = 0;
    qint64 ModifiedNanoseconds = 0;
    qint64 ChangedSeconds = 0;
    qint64 ChangedNanoseconds = 0;

    bool operator==(const FolderStamp&) const = default;
};

// The kinds of post files a reading of the data folder holds, as bits.
namespace PostFiles {
constexpr unsigned Pictures = 1;
constexpr unsigned Infos = 2;
constexpr unsigned Markers = 4;
} // namespace PostFiles

// One reading of the data folder: its post pictures, ".Info" files and send markers, names in
// SortFileNames order, and each picture's size in bytes where known, else -1. Only the kinds
// in Listed were read; a window's opening sorts only the names it shows.
struct FolderContents {
    unsigned Listed = 0;
    FileNameList Pictures;
    FileNameList Infos;
    FileNameList Markers;
    QList<qint64> PictureSizes;
    // Some sizes were counted at an earlier opening: a file rewritten in place since then
    // changed its size without touching the folder.
    bool SizesFromIndex = false;
    FolderStamp Stamp;
    // The folder had been quiet long enough when it was read that a later change moves its
    // stamp, so this reading can stand for it while the stamp holds.
    bool Indexable = false;
};

// Reads the `wanted` post files of a folder (PostFiles bits). Reading tens of thousands of
// entries takes tens of milliseconds, so the reading is kept in an index in the user's cache
// folder and used again while the folder's stamp holds; sizes known for pictures that are
// still there are carried over when it does not. Raises ComponentError when the folder cannot
// be read.
FolderContents ReadFolderContents(const QString& folder, unsigned wanted);

// Keeps sizes counted later for the next opening, while the folder is as it was read. The
// index is written beside the caller, like a reading's.
void RecordPictureSizes(const QString& folder, const FolderContents& contents);
