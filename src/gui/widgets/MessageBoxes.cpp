#include "widgets/MessageBoxes.h"

#include "widgets/Messages.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>

namespace {

QMessageBox::Icon ToIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

MsgResult ShowBox(const MessageRequest& request) {
    QMessageBox box(ToIcon(request.icon), request.title, request.text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    if (request.text.isEmpty())
        box.setText(request.details);
    else if (!request.details.isEmpty())
        box.setInformativeText(request.details);
    // What a server answered is never taken for markup.
    box.setTextFormat(Qt::PlainText);
    for (QLabel* label : box.findChildren<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        label->setTextFormat(Qt::PlainText);
    switch (request.buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case MsgButtons::AbortRetryIgnore:
        box.setStandardButtons(QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
        box.setDefaultButton(QMessageBox::Abort);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    case QMessageBox::Abort:
        return MsgResult::Abort;
    case QMessageBox::Retry:
        return MsgResult::Retry;
    case QMessageBox::Ignore:
        return MsgResult::Ignore;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    default:
        break;
    }
    // The close box of a question counts as its escape answer.
    if ((request.buttons == MsgButtons::OkCancel &&
         box.clickedButton() != box.button(QMessageBox::Ok)) ||
        request.buttons == MsgButtons::YesNoCancel)
        return MsgResult::Cancel;
    return MsgResult::Ok;
}

} // namespace

void InstallMessageBoxes() {
    Messages::SetHandler(ShowBox);
}
