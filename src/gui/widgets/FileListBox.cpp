#include "widgets/FileListBox.h"

#include <QHash>

#include <QAbstractListModel>

class FileNameModel final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    const FileNameList& Names() const { return m_names; }
    void SetNames(const FileNameList& names) {
        beginResetModel();
        m_names = names;
        m_suffixes.clear();
        endResetModel();
    }
    void SetSuffix(int row, const QString& suffix) {
        if (suffix.isEmpty())
            m_suffixes.remove(row);
        else
            m_suffixes.insert(row, suffix);
        Q_EMIT dataChanged(index(row), index(row), {Qt::DisplayRole});
    }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_names.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_names.size())
            return {};
        const QString name = m_names.at(index.row());
        return m_suffixes.isEmpty() ? name : name + m_suffixes.value(index.row());
    }

private:
    FileNameList m_names;
    QHash<int, QString> m_suffixes; // shown after a name, not part of it
};

FileListBox::FileListBox(QWidget* parent) : QListView(parent), m_names(new FileNameModel(this)) {
    setModel(m_names);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
}

void FileListBox::SetNames(const FileNameList& names) {
    m_names->SetNames(names);
}

const FileNameList& FileListBox::Names() const {
    return m_names->Names();
}

void FileListBox::SetRowSuffix(int row, const QString& suffix) {
    m_names->SetSuffix(row, suffix);
}

int FileListBox::count() const {
    return m_names->rowCount({});
}

QString FileListBox::text(int row) const {
    return m_names->Names().at(row);
}

int FileListBox::currentRow() const {
    return currentIndex().row();
}

void FileListBox::setCurrentRow(int row) {
    selectionModel()->setCurrentIndex(m_names->index(row), QItemSelectionModel::ClearAndSelect);
}

bool FileListBox::isRowSelected(int row) const {
    return selectionModel()->isRowSelected(row);
}

QRect FileListBox::rowRect(int row) const {
    return visualRect(m_names->index(row));
}
