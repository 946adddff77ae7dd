#pragma once

#include <functional>

class QKeyEvent;
class QWidget;

// Lets a window see every key press before the focused control does; `preview` returns true
// to consume the key. Install once the controls exist.
void InstallKeyPreview(QWidget* window, std::function<bool(QKeyEvent*)> preview);
// The keys of every main window, whichever control has the focus: Shift+F1 the about box,
// Esc closes the window.
bool MainWindowKeys(QWidget* window, QKeyEvent* event);
