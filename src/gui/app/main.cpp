#include "app/CommandLine.h"
#include "app/FontConfigWarmUp.h"
#include "app/ToolbarCompanion.h"
#include "components/ComponentError.h"
#include "creation/frmCreator.h"
#include "service/HeadlessSend.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Messages.h"
#include "widgets/WindowSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>
#include <memory>

// Main: registers the program, gives it its icon, greets the toolbar companion and opens
// the creator window; the program ends when that window closes.
int main(int argc, char* argv[]) {
    // Before the display is opened, so that --version works without one.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const CommandLineRequest request = ParseCommandLine(arguments, out, err);
    if (request.ExitStatus)
        return *request.ExitStatus;
    if (request.Send) {
        // No display is opened: the run must work from a timer, over ssh, in a container.
        QCoreApplication app(argc, argv);
        return static_cast<int>(
            RunHeadlessSend({request.Quiet, request.ResendUnanswered}, out, err));
    }
    // Fontconfig loads while the program connects to the display.
    FontConfigWarmUp fonts;
    QApplication app(argc, argv);
    // Matches the windows to the installed menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(MARIVANE_APP_ID));
    InstallMessageBoxes();
    zsRegisterAppPath();
    zsSetApplicationIcon(QStringLiteral("A_MAIN"));
    InitToolBar();

    fonts.Wait();
    std::unique_ptr<frmCreator> creator;
    try {
        creator = std::make_unique<frmCreator>();
    } catch (const ComponentError& e) {
        ErrorBox::ShowError(e, MsgIcon::Critical, QStringLiteral("Can't start."));
        return 1;
    }
    QObject::connect(creator.get(), &QDialog::finished, &app, &QApplication::quit);
    creator->show();
    return app.exec();
}
