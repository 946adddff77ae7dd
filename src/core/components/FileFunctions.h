#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// Whole-file reads and writes. Every failure raises ComponentError.
// Text files are UTF-8, so every character, U+0000 included, round-trips.
namespace FileFunctions {

QByteArray ReadBinaryFile(const QString& path);
// Reads a file only when it is a regular file of at most maxBytes, and never past the size it
// had when opened; a symbolic link is not followed, and a pipe or device is never waited on.
// A file refused for what it is raises ComponentError FileRefused, naming it and why.
QByteArray ReadRegularFile(const QString& path, qint64 maxBytes);
// Writes through a temporary file and a rename, so the file appears whole or not at all,
// and only once its bytes are on the disk; the folder is synced after.
// With replaceExisting false an existing file is never touched and the call fails.
void WriteBinaryFile(const QString& path, const QByteArray& data, bool replaceExisting = true);

// For a file that can be made again: through a temporary file and a rename, so a reader sees
// the old or the whole new file, but never synced.
void WriteCacheFile(const QString& path, const QByteArray& data);

// A byte-for-byte copy, written the same way as WriteBinaryFile.
void CopyFile(const QString& source, const QString& target, bool replaceExisting = true);

QString ReadTextFile(const QString& path);
void WriteTextFile(const QString& path, const QString& text, bool replaceExisting = true);
// Appends, creating the file when missing, and syncs it (and its folder when it was empty).
void AppendTextFile(const QString& path, const QString& text);

class TempFile;

// A whole file in a folder that has no name yet. Writers of many files sync them all at once
// (SyncFileSystem) and then Place each; a file never placed leaves nothing behind.
class UnplacedFile final {
public:
    static UnplacedFile Write(const QString& folder, const QByteArray& data);
    static UnplacedFile Copy(const QString& source, const QString& folder);
    ~UnplacedFile();
    UnplacedFile(UnplacedFile&&) noexcept;
    UnplacedFile& operator=(UnplacedFile&&) noexcept;

    // Gives it its name; raises ComponentError FileExists when the name is taken.
    void Place(const QString& target);

private:
    explicit UnplacedFile(std::unique_ptr<TempFile> file);
    std::unique_ptr<TempFile> m_file;
};

// Puts every written byte of the folder's file system on the disk.
void SyncFileSystem(const QString& folder);
// Makes the names in a folder durable.
void SyncFolder(const QString& folder);

// The store's names for the same text operations.
inline QString ReadFileText(const QString& path) {
    return ReadTextFile(path);
}
inline void WriteFileText(const QString& path, const QString& text, bool replaceExisting = true) {
    WriteTextFile(path, text, replaceExisting);
}

} // namespace FileFunctions
