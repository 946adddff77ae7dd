#include "service/PostSender.h"

#include "service/PublishTime.h"
#include "service/modUploadApi.h"

UploadOutcome SendPostWith(const SendSettings& settings, const Post& post,
                           IHTTPRequestCallback* callback, int timeoutMs) {
    if (!settings.CurrentApi)
        return SendPost(settings.Account, post, settings.State, callback, timeoutMs);
    QString publishOn;
    if (settings.State == PostState::PublishOn) {
        const PublishTime time = ReadPublishTime(settings.Account.PublishOn);
        if (!time.Problem.isEmpty()) {
            UploadOutcome refused;
            refused.Problem = {time.Problem, {}};
            return refused;
        }
        publishOn = time.Rfc3339;
    }
    return SendPostToApi(post, settings.State, publishOn, callback, timeoutMs);
}

QString SentPostNotDeletedText(const QString& infoPath) {
    return AboutPath(infoPath, QStringLiteral("The post was sent, but its file can't be deleted. "
                                              "Delete it before sending again, or the post is "
                                              "sent twice."));
}
