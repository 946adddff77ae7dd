#pragma once

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <QWindow>

// Drags `data` from outside the program onto the middle of `target` as a desktop does,
// through the target's window: enter, move, and the drop when the drag was accepted.
// Returns how the drop was taken: IgnoreAction when it was refused.
inline Qt::DropAction DropOn(QWidget* target, const QMimeData& data) {
    QWidget* window = target->window();
    QWindow* handle = window->windowHandle();
    if (!handle)
        return Qt::IgnoreAction;
    const QPoint at = target->mapTo(window, target->rect().center());
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &enter);
    QDragMoveEvent move(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &move);
    if (!move.isAccepted()) {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(handle, &leave);
        return Qt::IgnoreAction;
    }
    QDropEvent drop(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

// What a file manager drags: the files as file:// URLs. Entries with a scheme stay as they are.
inline void SetDraggedPaths(QMimeData& data, const QStringList& paths) {
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(path.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(path) : QUrl(path));
    data.setUrls(urls);
}
