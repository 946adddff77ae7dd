#include "creation/StoreFailureBox.h"

#include "widgets/Messages.h"

StoreDecision AskStoreFailure(const Failure& question) {
    switch (Messages::MsgBox(question.Message, MsgIcon::Critical, MsgButtons::AbortRetryIgnore)) {
    case MsgResult::Retry:
        return StoreDecision::Retry;
    case MsgResult::Ignore:
        return StoreDecision::Ignore;
    default:
        return StoreDecision::Abort;
    }
}
