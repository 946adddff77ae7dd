#include "components/FileListBox.h"

#include <QAbstractListModel>

class FileNameModel final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    const FileNameList& Names() const { return m_names; }
    void SetNames(const FileNameList& names) {
        beginResetModel();
        m_names = names;
        endResetModel();
    }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_names.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_names.size())
            return {};
        return m_names.at(index.row());
    }

private:
    FileNameList m_names;
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
