#include "components/FileListBox.h"

#include <QStringListModel>

FileListBox::FileListBox(QWidget* parent) : QListView(parent), m_names(new QStringListModel(this)) {
    setModel(m_names);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
}

void FileListBox::SetNames(const QStringList& names) {
    m_names->setStringList(names);
}

QStringList FileListBox::Names() const {
    return m_names->stringList();
}

int FileListBox::count() const {
    return m_names->rowCount();
}

QString FileListBox::text(int row) const {
    return m_names->index(row).data().toString();
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
