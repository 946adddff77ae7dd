#pragma once

#include <QPoint>

class QKeyEvent;
class QWidget;

// The keys that open a context menu without the mouse: the Menu key and Shift+F10.
bool IsMenuKey(const QKeyEvent* event);
// Where such a menu opens, in screen coordinates: below a list's current item, else inside the
// control's top-left corner.
QPoint KeyboardMenuPosition(const QWidget* control);
