// A send run in a process of its own, so a test can kill it in the middle of an upload.
// Messages go to stdout; a post that may have been published already is skipped ("No").
#include "TestSupport.h"
#include "service/frmSender.h"
#include "widgets/Messages.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Messages::SetHandler([](const MessageRequest& request) {
        std::printf("message: %s\n", qPrintable(request.text));
        std::fflush(stdout);
        return request.buttons == MsgButtons::YesNoCancel ? MsgResult::No : MsgResult::Ok;
    });
    frmSender window;
    Control<QLineEdit>(window, "txtEMail")->setText(QStringLiteral("me@example.org"));
    Control<QLineEdit>(window, "txtPassword")->setText(QStringLiteral("pw"));
    window.show();
    QTimer::singleShot(0, &window, [&window] {
        std::puts("sending");
        std::fflush(stdout);
        Control<QPushButton>(window, "cmdSendPosts")->click();
        QApplication::quit();
    });
    return QApplication::exec();
}
