#pragma once

#include <QString>

// Text, path and file helpers the whole program shares (the "zs" support library).
// Failures that the callers must see raise ComponentError.

QString TrimBlanks(const QString& text);    // once zsTrimEx: blanks (space, tab) at both ends
QString TrimPathOrURL(const QString& text); // once zsTrimEx2: blanks, line breaks and NULs
QString zsTrimCRLF(const QString& text);
// First line (up to CR LF, a lone LF or a lone CR); rest gets what follows the break.
QString zsGetLine(const QString& text, QString& rest);
QString zsGetLineOnly(const QString& text);
QString zsCutLeft(const QString& text, qsizetype count);
QString zsCutRight(const QString& text, qsizetype count);
QString zsHex1(int byte);
// One character per UTF-8 byte, and back.
QString zsUNICODEToUTF8(const QString& text);
QString zsUTF8ToUNICODE(const QString& text);
int zsGetRnd(int low, int high);

QString zsBuildFileName(const QString& folder, const QString& name);
QString zsGetFileExtension(const QString& path);
QString zsGetFilePath(const QString& path);
bool zsIsFileExist(const QString& path);
bool zsIsDirectoryExist(const QString& path);
bool zsCreateComplexDirectory(const QString& path);

namespace SpecialFolder {
constexpr int AppData = 26;
constexpr int Pictures = 39;
constexpr int Documents = 5;
} // namespace SpecialFolder
QString zsGetSpecialFolder(int code);

double zsGetFileSizeEx(const QString& path);
QString zsFormatByteSizeEx(double size);
void zsDebugPrint(const QString& text);
