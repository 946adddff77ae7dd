#include "app/DropTarget.h"

#include "app/WindowEvents.h"

#include <QApplication>
#include <QDropEvent>
#include <QWidget>

void InstallDropTarget(QWidget* window, std::function<bool(const QMimeData*)> handles,
                       std::function<bool(const QMimeData*, bool take)> accept) {
    window->setAcceptDrops(true);
    const QList<QEvent::Type> types{QEvent::DragEnter, QEvent::DragMove, QEvent::Drop};
    WindowEvents::Watch(window, types,
                        [window, handles = std::move(handles),
                         accept = std::move(accept)](QWidget*, QEvent* event) {
                            auto* drop = static_cast<QDropEvent*>(event);
                            // Drags inside the program (text moved between boxes) stay the
                            // controls' business.
                            if (drop->source() || !handles(drop->mimeData()))
                                return false;
                            const Qt::DropActions possible = drop->possibleActions();
                            // Never a move: the file manager would delete what was dropped.
                            const Qt::DropAction action =
                                possible.testFlag(Qt::CopyAction)   ? Qt::CopyAction
                                : possible.testFlag(Qt::LinkAction) ? Qt::LinkAction
                                                                    : Qt::IgnoreAction;
                            // A window behind a modal one takes nothing.
                            const QWidget* modal = QApplication::activeModalWidget();
                            if (action != Qt::IgnoreAction && (!modal || modal == window) &&
                                accept(drop->mimeData(), event->type() == QEvent::Drop)) {
                                drop->setDropAction(action);
                                drop->accept();
                            } else {
                                drop->ignore();
                            }
                            return true;
                        });
}
