#pragma once

#include <QByteArray>
#include <QString>

// Where prepared posts wait: pairs of files "<base>.Info" and "<base>.Picture" in the
// data folder. This is the only place that knows the folder, the naming and the formats.

inline constexpr char kUrlMarkerLine[] = "{07460945-55B8-4ac3-8811-76B4CEA99932}\r\n";

// The data folder, created (private to its owner) when missing.
// Raises ComponentError 0x80040001 "Can't create data folder." when it cannot be created.
QString GetDataPath();
// The next base name for a new post, from the time and the post counter, which it advances.
// SavePost moves on to the next one when a stored post holds the name.
QString MakePostFileName();
// Stores a post; false (and nothing left behind) when it could not be stored whole.
bool SavePost(const QString& group, const QString& caption, const QString& tags,
              const QString& pictureFile, const QString& pictureURL);
// Reads a post from either file of its pair. Shows its own message and returns false on
// failure. The picture content is read only when asked for.
bool LoadPost(const QString& fileName, QString& group, QString& caption, QString& tags,
              QByteArray* pictureData = nullptr);
// Removes the ".Info" first, so a half-deleted post is a lone ".Picture" the manager shows.
// True when the named file is gone afterwards.
bool DeletePost(const QString& fileName);
// The URL of a URL post's ".Picture" file, or empty; a read failure raises ComponentError.
QString ReadPictureURL(const QString& path);
QString PictureURLFromData(const QByteArray& data);

// The per-run counter of post names; only tests set it.
void SetPostCounter(qint32 value);
