#pragma once

#include <QListView>
#include <QStringList>

class QStringListModel;

// A list of file names, shown by a plain string model: with thousands of waiting posts an
// item object per line made the manage and send windows slow to open.
class FileListBox final : public QListView {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    void SetNames(const QStringList& names);
    QStringList Names() const;
    int count() const;
    QString text(int row) const;
    // The focused line, or -1.
    int currentRow() const;
    // Makes the line focused and the only one selected.
    void setCurrentRow(int row);
    bool isRowSelected(int row) const;
    QRect rowRect(int row) const;

private:
    QStringListModel* m_names;
};
