// A send run in a process of its own, so a test can kill it in the middle of an upload.
#include "service/frmSender.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    frmSender window;
    window.txtEMail->setText(QStringLiteral("me@example.org"));
    window.txtPassword->setText(QStringLiteral("pw"));
    window.show();
    QTimer::singleShot(0, &window, [&window] {
        std::puts("sending");
        std::fflush(stdout);
        window.cmdSendPosts->click();
        QApplication::quit();
    });
    return QApplication::exec();
}
