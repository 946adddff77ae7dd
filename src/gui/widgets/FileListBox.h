#pragma once

#include "components/FolderListing.h"

#include <QListView>

class FileNameModel;

// A list of file names over a plain model of one name buffer: with thousands of waiting posts
// an item object, or even a string, per line made the manage and send windows slow to open.
class FileListBox final : public QListView {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    void SetNames(const FileNameList& names);
    const FileNameList& Names() const;
    // Text shown after a line's name until the names are set again; text() leaves it out.
    void SetRowSuffix(int row, const QString& suffix);
    int count() const;
    QString text(int row) const;
    // The focused line, or -1.
    int currentRow() const;
    // Makes the line focused and the only one selected.
    void setCurrentRow(int row);
    bool isRowSelected(int row) const;
    QRect rowRect(int row) const;

private:
    FileNameModel* m_names;
};
