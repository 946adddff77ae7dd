#pragma once

#include "components/Failure.h"

#include <QString>
#include <QStringList>

// A list of texts the user typed before, oldest first, without duplicates (letter case
// ignored), kept in its own NUL-separated UTF-8 file in the data folder.
class CHistory final {
public:
    void InitFileName(const QString& DataPath, const QString& OnlyFileName);
    const QString& FileName() const { return m_fileName; }

    Problem LoadHistory();
    Problem SaveHistory() const;
    void Add(const QString& Text);
    qint32 Count() const { return static_cast<qint32>(m_entries.size()); }
    const QStringList& Entries() const { return m_entries; }
    // Raises ComponentError for an index outside 0 .. Count() - 1.
    QString Item(qint32 Index) const;

private:
    QStringList m_entries;
    QString m_fileName;
};
