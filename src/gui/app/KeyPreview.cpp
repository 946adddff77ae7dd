#include "app/KeyPreview.h"

#include "app/FormBase.h"
#include "app/WindowEvents.h"
#include "widgets/FormFunctions.h"

#include <QApplication>
#include <QKeyEvent>

void InstallKeyPreview(QWidget* window, std::function<bool(QKeyEvent*)> preview) {
    WindowEvents::Watch(window, {QEvent::KeyPress},
                        [window, preview = std::move(preview)](QWidget* widget, QEvent* event) {
                            QWidget* focus = QApplication::focusWidget();
                            if (widget != (focus && focus->window() == window ? focus : window))
                                return false;
                            return preview(static_cast<QKeyEvent*>(event));
                        });
}

bool MainWindowKeys(QWidget* window, QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && HasExactly(event, Qt::ShiftModifier)) {
        FormFunctions::AboutBox(window, QString(), FormBase::Credit());
        return true;
    }
    if (event->key() == Qt::Key_Escape && HasExactly(event, Qt::NoModifier)) {
        window->close();
        return true;
    }
    return false;
}
