#pragma once

#include <QList>
#include <QString>

class QObject;
class QPainter;
class QWidget;

// The window side of the support library.
void zsCenterFormEx(QWidget* window);
// The windows' font: Tahoma 9, or a face of about its width.
void zsSetFrameFont(QWidget* window);
void zsSetWindowResIconAll(QWidget* window, const QString& resourceName);
// The program has no hidden owner window; the application object stands in for it.
void zsSetApplicationIcon(const QString& resourceName);
void zsRegisterAppPath();
void PaintWindowBackground(QWidget* window, QPainter& painter); // once zsPaintDesktop2
// Selects the whole text of a line or multi-line text box.
void zsHighlightText(QWidget* textBox);
// From now on, while `owner` lives, each of these boxes has its whole text selected whenever
// it takes the focus.
void HighlightOnFocus(QObject* owner, const QList<QWidget*>& textBoxes);
// Asks the window to close once the current event is handled, also from its load handler.
void zsUnloadForm(QWidget* window);

// Text of a line or multi-line box with CR LF line breaks, as posts and settings keep it.
QString GetBoxText(const QWidget* textBox);
void SetBoxText(QWidget* textBox, const QString& text);
