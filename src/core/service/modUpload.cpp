#include "service/modUpload.h"

#include "app/modCommon.h"
#include "components/ComponentError.h"
#include "components/HTTPFormFields.h"
#include "components/HTTPRequest.h"
#include "components/Messages.h"
#include "components/SupportLibrary.h"
#include "service/modApiHost.h"
#include "service/modLinks.h"
#include "store/modStorage.h"

namespace {

constexpr int kCreated = 201;

// The state fields by state code; false for a code outside 0-5.
bool AddStateFields(HTTPFormFields& fields, int stateCode, const QString& publishOn) {
    const QString state = QStringLiteral("state");
    switch (stateCode) {
    case 0:
        fields.AddField(state, QStringLiteral("published"));
        return true;
    case 1:
        fields.AddField(state, QStringLiteral("queue"));
        return true;
    case 2:
        fields.AddField(state, QStringLiteral("queue"));
        fields.AddField(QStringLiteral("publish-on"), publishOn);
        return true;
    case 3:
        fields.AddField(state, QStringLiteral("draft"));
        return true;
    case 4:
        fields.AddField(state, QStringLiteral("submission"));
        return true;
    case 5:
        fields.AddField(QStringLiteral("private"), QStringLiteral("1"));
        return true;
    default:
        return false;
    }
}

} // namespace

bool SendMarker::Set() {
    if (m_filePath.isEmpty())
        return true;
    try {
        MarkPostSending(m_filePath);
        return true;
    } catch (const ComponentError& e) {
        // Without the marker an unanswered upload could go out again unasked.
        ErrorBox::ShowError(e, MsgIcon::Critical, QStringLiteral("Can't send post."));
        return false;
    }
}

void SendMarker::Settle(const HTTPRequest& request, bool accepted) {
    if (m_filePath.isEmpty() || accepted)
        return;
    // An answer, or a body that never got out whole, means the service does not have it.
    if (request.ErrorCode() == 0 || !request.BodySent())
        ClearPostSending(m_filePath);
}

bool SendPost(const UploadAccount& account, const UploadPost& post, IHTTPRequestCallback* callback,
              int timeoutMs, bool* linked) {
    HTTPFormFields fields;
    fields.AddField(QStringLiteral("email"), account.EMail);
    fields.AddField(QStringLiteral("password"), account.Password);
    fields.AddField(QStringLiteral("type"), QStringLiteral("photo"));
    fields.AddField(QStringLiteral("caption"), zsUNICODEToUTF8(post.Caption));
    const QString url = PictureURLFromData(post.Picture);
    if (!url.isEmpty())
        fields.AddField(QStringLiteral("source"), url);
    else
        fields.AddField(QStringLiteral("data"), post.Picture);
    fields.AddField(QStringLiteral("generator"), zsUNICODEToUTF8(ApiAgent()));
    fields.AddField(QStringLiteral("tags"), zsUNICODEToUTF8(post.Tags));
    if (!post.Group.isEmpty())
        fields.AddField(QStringLiteral("group"), post.Group);
    if (!AddStateFields(fields, post.StateCode, account.PublishOn))
        Messages::MsgBox(QStringLiteral("Warning! Invalid post state!"), MsgIcon::Critical);

    SendMarker marker(post.FilePath);
    if (!marker.Set())
        return false;

    // The proxy is read afresh for every post, so a change made with "Proxy" holds from the
    // next one.
    HTTPRequest request;
    // A 201 here is the new post's id: a number of at most 20 digits, and a line break.
    PostApiForm(request, QStringLiteral("/api/write"), fields, timeoutMs, callback, 24);
    const bool accepted = request.ErrorCode() == 0 && request.StatusCode() == kCreated;
    marker.Settle(request, accepted);

    if (request.ErrorCode() != 0) {
        ErrorBox::ShowRequestError(request, MsgIcon::Critical, QStringLiteral("Can't send post."));
        return false;
    }
    if (accepted) {
        const bool link = AppendPostLink(post.Group, request.ResponseText().trimmed());
        if (linked)
            *linked = link;
        return true;
    }
    ErrorBox::ShowRequestError(request, MsgIcon::Critical,
                               QStringLiteral("Can't send post. ") +
                                   DecodeServerText(request.ResponseText()));
    return false;
}
