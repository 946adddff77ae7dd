#include "app/SelectAllHook.h"

#include "app/FormBase.h"
#include "widgets/WindowSupport.h"

#include <QAbstractItemView>
#include <QKeyEvent>

void SelectAllHook::SetTextBox(QWidget* textBox) {
    if (m_tb)
        m_tb->removeEventFilter(this);
    m_tb = textBox;
    if (m_tb)
        m_tb->installEventFilter(this);
}

bool SelectAllHook::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_tb || !m_selectAllEnabled)
        return false;
    const bool isPress = event->type() == QEvent::KeyPress;
    if (!isPress && event->type() != QEvent::ShortcutOverride)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_A && HasExactly(key, Qt::ControlModifier)) {
        if (isPress)
            zsHighlightText(m_tb);
        key->accept();
        return isPress;
    }
    return false;
}

void ListBoxSelectRange(QAbstractItemView* list, bool select, int first, int last) {
    const int count = list ? list->model()->rowCount() : 0;
    if (count == 0 || first > last)
        return;
    first = qMax(first, 0);
    last = qMin(last, count - 1);
    const QItemSelection range(list->model()->index(first, 0), list->model()->index(last, 0));
    list->selectionModel()->select(range, select ? QItemSelectionModel::Select
                                                 : QItemSelectionModel::Deselect);
}
