#pragma once

#include <QtGlobal>

class QWidget;

// Once called modKessbar. The optional toolbar companion, a D-Bus service on the session bus, which
// the bus starts when it is not running yet. Every call is fire-and-forget: a missing companion or
// bus changes nothing for the program, and start-up does not wait for the bus; calls made before it
// answered reach the companion once it has.
inline constexpr char kToolbarService[] = "Kessbar.zntToolbarProxy";

void InitToolBar();
// Returns the handle the window was marked with, for unmarking it later.
qint32 ToolBarMarkForm(QWidget* window);
// Unmarks by the handle the window was marked with (its id may change while it lives).
void ToolBarUnMarkHandle(qint32 handle);
// The handle the companion is told: the window id cut to 32 bits.
qint32 ToolBarHandle(QWidget* window);
