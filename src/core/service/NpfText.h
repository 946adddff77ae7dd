#pragma once

#include <QJsonArray>
#include <QString>

// The most code points one NPF text block may hold.
inline constexpr int kNpfTextBlockLimit = 4096;

// The caption as NPF text blocks, in order: one per line or paragraph of its HTML, with bold,
// italic and links as formatting ranges; an over-long line split at a blank where it can be.
QJsonArray NpfTextBlocks(const QString& caption);

// The tags as the current API's comma-separated "tags" string.
QString NpfTags(const QString& tags);
