#pragma once

#include <QString>

// The picture files the program takes: the folder batch lists them, the creator's file
// dialog offers them.

// True for any of the picture extensions, in any letter case.
bool IsPictureFile(const QString& name);
// The creator's file dialog filter, "Picture files|*.JPG;...|All files|*.*".
QString PictureFileFilter();
