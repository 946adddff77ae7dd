#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and writes. Every failure raises ComponentError.
// Text files are UTF-8, so every character, U+0000 included, round-trips.
namespace FileFunctions {

QByteArray ReadBinaryFile(const QString& path);
// Writes through a temporary file and a rename, so the file appears whole or not at all.
// With replaceExisting false an existing file is never touched and the call fails.
void WriteBinaryFile(const QString& path, const QByteArray& data, bool replaceExisting = true);

// A byte-for-byte copy, written the same way as WriteBinaryFile.
void CopyFile(const QString& source, const QString& target, bool replaceExisting = true);

QString ReadTextFile(const QString& path);
void WriteTextFile(const QString& path, const QString& text, bool replaceExisting = true);
void AppendTextFile(const QString& path, const QString& text);

// The store's names for the same text operations.
inline QString ReadFileText(const QString& path) {
    return ReadTextFile(path);
}
inline void WriteFileText(const QString& path, const QString& text, bool replaceExisting = true) {
    WriteTextFile(path, text, replaceExisting);
}

} // namespace FileFunctions
