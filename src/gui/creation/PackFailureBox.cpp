#include "creation/PackFailureBox.h"

#include "widgets/Messages.h"

PackDecision AskPackFailure(const Failure& question) {
    switch (Messages::MsgBox(question.Message, MsgIcon::Critical, MsgButtons::AbortRetryIgnore)) {
    case MsgResult::Retry:
        return PackDecision::Retry;
    case MsgResult::Ignore:
        return PackDecision::Ignore;
    default:
        return PackDecision::Abort;
    }
}
