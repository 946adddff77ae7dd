#pragma once

#include "components/Failure.h"

#include <QString>
#include <functional>

class ComponentError;
class HTTPRequest;

// Icons by their system codes.
enum class MsgIcon { Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
enum class MsgButtons { Ok, OkCancel, AbortRetryIgnore, YesNoCancel };
enum class MsgResult { Ok, Cancel, Abort, Retry, Ignore, Yes, No };

struct MessageRequest {
    QString title;
    QString text;
    MsgIcon icon = MsgIcon::Information;
    MsgButtons buttons = MsgButtons::Ok;
    // For error boxes: what the failed operation reported.
    QString details;
};

// Every message box and error box of the program goes through here, so tests can read
// and answer them without a person. The window layer installs the real dialogs.
namespace Messages {

using Handler = std::function<MsgResult(const MessageRequest&)>;

// Returns the handler it replaces.
Handler SetHandler(Handler handler);
// Text and details are shown as plain text, each cut to a length a box can show.
MsgResult Show(const MessageRequest& request);
MsgResult MsgBox(const QString& text, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok);
} // namespace Messages

// The error box: a short message and the error that caused it.
namespace ErrorBox {

// What a core call reported, with its details.
void Show(const Failure& failure, MsgIcon icon = MsgIcon::Critical);
// Shows the problem a core call reported, if any; true when there was one.
bool Report(const Problem& problem);
template <typename T> bool Report(const Outcome<T>& outcome) {
    return Report(outcome ? Problem() : Problem(outcome.Error()));
}

void ShowError(const ComponentError& error, MsgIcon icon, const QString& message);
// For a request that failed: the message, and in the details the request's error, or its
// HTTP status when the transfer itself went well.
void ShowRequestError(const HTTPRequest& request, MsgIcon icon, const QString& message);

} // namespace ErrorBox
