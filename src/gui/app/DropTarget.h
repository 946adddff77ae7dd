#pragma once

#include <functional>

class QMimeData;
class QWidget;

// Drags from outside the program that a window takes over from its controls, wherever the
// pointer is on it: `handles` says which. Other drags go to the control under the pointer, as
// they always did. `accept` says whether the window takes what is dragged, and with `take`
// takes it; a refused drag is shown as such while it moves, and its drop is not accepted.
void InstallDropTarget(QWidget* window, std::function<bool(const QMimeData*)> handles,
                       std::function<bool(const QMimeData*, bool take)> accept);
