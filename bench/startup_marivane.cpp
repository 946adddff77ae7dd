// Starts like the program does (main.cpp) and ends as soon as the creator window's first
// frame is painted, printing the monotonic clock at that moment for startup.sh.
#include "FirstPaint.h"
#include "app/FontConfigWarmUp.h"
#include "app/ToolbarCompanion.h"
#include "creation/frmCreator.h"
#include "widgets/MessageBoxes.h"
#include "widgets/WindowSupport.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Fontconfig loads while the program connects to the display.
    FontConfigWarmUp fonts;
    QApplication app(argc, argv);
    InstallMessageBoxes();
    zsRegisterAppPath();
    zsSetApplicationIcon(QStringLiteral("A_MAIN"));
    InitToolBar();

    fonts.Wait();
    frmCreator creator;
    const FirstPaint painted(&creator, ReportPaintedAndQuit);
    creator.show();
    return app.exec();
}
