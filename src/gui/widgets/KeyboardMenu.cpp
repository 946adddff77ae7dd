#include "widgets/KeyboardMenu.h"

#include "app/FormBase.h"

#include <QAbstractItemView>
#include <QKeyEvent>

bool IsMenuKey(const QKeyEvent* event) {
    return (event->key() == Qt::Key_Menu && HasExactly(event, Qt::NoModifier)) ||
           (event->key() == Qt::Key_F10 && HasExactly(event, Qt::ShiftModifier));
}

QPoint KeyboardMenuPosition(const QWidget* control) {
    if (const auto* list = qobject_cast<const QAbstractItemView*>(control)) {
        const QRect item = list->visualRect(list->currentIndex());
        if (item.isValid())
            return list->viewport()->mapToGlobal(item.bottomLeft());
    }
    return control->mapToGlobal(QPoint(4, 4));
}
