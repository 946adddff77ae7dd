#pragma once

class QWidget;

// The windows are laid out in pixels for their 9 pt frame font. When the desktop's general
// font is larger, a window grows by the ratio of the two: its font, its size and the place
// and size of every control, so that the layout stays the one users know and no text clips.
// At a desktop font no larger than the frame font nothing changes.
void ScaleToDesktopFont(QWidget* window);
// A length of the window's design, in pixels, as the window is scaled.
int DesignPixels(const QWidget* window, int pixels);
