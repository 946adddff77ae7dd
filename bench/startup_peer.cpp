// The peer of the start-up benchmark: a minimal Qt Widgets program that shows one empty
// window of the creator window's size and ends at its first painted frame.
#include "FirstPaint.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(385, 277);
    const FirstPaint painted(&window, ReportPaintedAndQuit);
    window.show();
    return app.exec();
}
