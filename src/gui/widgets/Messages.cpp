#include "widgets/Messages.h"

#include "components/AppTitle.h"

#include <QTextStream>

namespace {

constexpr qsizetype kMaxShownCharacters = 2000;

// Without a window layer (tools, benchmarks) messages go to stderr and take the safe answer.
MsgResult DefaultHandler(const MessageRequest& request) {
    QTextStream err(stderr);
    err << request.title << ": " << request.text;
    if (!request.details.isEmpty())
        err << " (" << request.details << ")";
    err << Qt::endl;
    switch (request.buttons) {
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel:
        return MsgResult::Cancel;
    case MsgButtons::AbortRetryIgnore:
        return MsgResult::Abort;
    case MsgButtons::Ok:
        break;
    }
    return MsgResult::Ok;
}

Messages::Handler& CurrentHandler() {
    static Messages::Handler handler = DefaultHandler;
    return handler;
}

} // namespace

namespace Messages {

Handler SetHandler(Handler handler) {
    Handler previous = CurrentHandler();
    CurrentHandler() = handler ? std::move(handler) : Handler(DefaultHandler);
    return previous;
}

MsgResult Show(const MessageRequest& request) {
    // Texts may carry what a server answered; a box stays readable whatever came.
    MessageRequest shown = request;
    for (QString* text : {&shown.text, &shown.details}) {
        if (text->size() > kMaxShownCharacters)
            *text = text->left(kMaxShownCharacters) + QStringLiteral("...");
    }
    return CurrentHandler()(shown);
}

MsgResult MsgBox(const QString& text, MsgIcon icon, MsgButtons buttons) {
    MessageRequest request;
    request.title = QString::fromLatin1(kAppTitle);
    request.text = text;
    request.icon = icon;
    request.buttons = buttons;
    return Show(request);
}

} // namespace Messages

namespace ErrorBox {

void Show(const Failure& failure, MsgIcon icon) {
    MessageRequest request;
    request.title = QString::fromLatin1(kAppTitle);
    request.text = failure.Message;
    request.icon = icon;
    request.details = failure.Details;
    Messages::Show(request);
}

bool Report(const Problem& problem) {
    if (problem)
        Show(*problem);
    return problem.has_value();
}

void ShowError(const ComponentError& error, MsgIcon icon, const QString& message) {
    Show(FailureOf(error, message), icon);
}

void ShowRequestError(const HTTPRequest& request, MsgIcon icon, const QString& message) {
    Show(RequestFailure(request, message), icon);
}

} // namespace ErrorBox
