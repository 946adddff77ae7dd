#include "service/modUpload.h"

#include "app/modCommon.h"
#include "components/ComponentError.h"
#include "components/HTTPFormFields.h"
#include "components/HTTPRequest.h"
#include "components/SupportLibrary.h"
#include "service/modApiHost.h"
#include "service/modLinks.h"
#include "store/modStorage.h"

namespace {

constexpr int kCreated = 201;

void AddStateFields(HTTPFormFields& fields, PostState state, const QString& publishOn) {
    const ClassicStateField field = ClassicStateFieldOf(state);
    fields.AddField(field.Name, field.Value);
    if (state == PostState::PublishOn)
        fields.AddField(QStringLiteral("publish-on"), publishOn);
}

} // namespace

Problem SendMarker::Set() {
    if (m_filePath.isEmpty())
        return {};
    try {
        MarkPostSending(m_filePath);
        return {};
    } catch (const ComponentError& e) {
        // Without the marker an unanswered upload could go out again unasked.
        return FailureOf(e, QStringLiteral("Can't send post."));
    }
}

void SendMarker::Settle(const HTTPRequest& request, bool accepted) {
    if (m_filePath.isEmpty() || accepted)
        return;
    // An answer, or a body that never got out whole, means the service does not have it.
    if (request.ErrorCode() == 0 || !request.BodySent())
        ClearPostSending(m_filePath);
}

UploadOutcome SendPost(const UploadAccount& account, const Post& post, PostState state,
                       IHTTPRequestCallback* callback, int timeoutMs) {
    HTTPFormFields fields;
    fields.AddField(QStringLiteral("email"), account.EMail);
    fields.AddField(QStringLiteral("password"), account.Password);
    fields.AddField(QStringLiteral("type"), QStringLiteral("photo"));
    fields.AddField(QStringLiteral("caption"), zsUNICODEToUTF8(post.Caption));
    if (post.IsURLPost())
        fields.AddField(QStringLiteral("source"), post.PictureURL);
    else
        fields.AddField(QStringLiteral("data"), post.Picture);
    fields.AddField(QStringLiteral("generator"), zsUNICODEToUTF8(ApiAgent()));
    fields.AddField(QStringLiteral("tags"), zsUNICODEToUTF8(post.Tags));
    if (!post.Group.isEmpty())
        fields.AddField(QStringLiteral("group"), post.Group);
    AddStateFields(fields, state, account.PublishOn);

    UploadOutcome outcome;
    SendMarker marker(post);
    if (Problem problem = marker.Set()) {
        outcome.Problem = *problem;
        return outcome;
    }

    // The proxy is read afresh for every post, so a change made with "Proxy" holds from the
    // next one.
    HTTPRequest request;
    // A 201 here is the new post's id: a number of at most 20 digits, and a line break.
    PostApiForm(request, QStringLiteral("/api/write"), fields, timeoutMs, callback, 24);
    const bool accepted = request.ErrorCode() == 0 && request.StatusCode() == kCreated;
    marker.Settle(request, accepted);

    const QString failure = QStringLiteral("Can't send post.");
    if (request.ErrorCode() != 0) {
        outcome.Problem = RequestFailure(request, failure);
    } else if (accepted) {
        outcome.Outcome = UploadOutcome::Result::Accepted;
        outcome.Link = AppendPostLink(post.Group, request.ResponseText().trimmed());
    } else {
        outcome.Problem = RequestFailure(request, failure + QLatin1Char(' ') +
                                                      DecodeServerText(request.ResponseText()));
    }
    return outcome;
}
