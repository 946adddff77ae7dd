// The fair peer of the start-up benchmark: a bare Qt Widgets program that shows the creator
// window's own form (its generated Ui in a QDialog, nothing else) and ends at its first
// painted frame. It loads the fonts and lays out the controls that the creator window does.
#include "FirstPaint.h"
#include "ui_frmCreator.h"

#include <QApplication>
#include <QDialog>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QDialog window;
    Ui::frmCreator form;
    form.setupUi(&window);
    const FirstPaint painted(&window, ReportPaintedAndQuit);
    window.show();
    return app.exec();
}
