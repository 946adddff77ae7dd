#include "service/modUploadApi.h"

#include "components/ComponentError.h"
#include "components/HTTPRequest.h"
#include "components/Messages.h"
#include "service/modApiSession.h"
#include "service/modCurrentApi.h"
#include "service/modLinks.h"
#include "service/modNpfPost.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace {

constexpr int kCreated = 201;
constexpr int kForbidden = 403;
constexpr int kTooManyRequests = 429;

// The limits the service names by an error code with 403.
QString LimitOfCode(int code) {
    switch (code) {
    case 8004:
        return QStringLiteral("The day's limit of picture uploads has been reached.");
    case 8022:
        return QStringLiteral("The blog's queue is full: its limit of queued posts has been "
                              "reached.");
    case 8023:
        return QStringLiteral("The blog's daily posting limit has been reached.");
    default:
        return {};
    }
}

QString LimitOf(const HTTPRequest& request) {
    if (request.StatusCode() == kTooManyRequests)
        return QStringLiteral("The service's limit of requests has been reached (too many "
                              "requests).");
    if (request.StatusCode() != kForbidden)
        return {};
    for (int code : ApiErrorCodes(request.ResponseBytes())) {
        const QString limit = LimitOfCode(code);
        if (!limit.isEmpty())
            return limit;
    }
    return {};
}

QString CreatedId(const QByteArray& answer) {
    const QJsonValue id = QJsonDocument::fromJson(answer)
                              .object()
                              .value(QStringLiteral("response"))
                              .toObject()
                              .value(QStringLiteral("id"));
    // The service sends the id as text; a number is taken whole all the same.
    return id.isString() ? id.toString() : QString::number(id.toInteger());
}

} // namespace

ApiUploadOutcome SendPostToApi(const UploadPost& post, const QString& publishOn,
                               IHTTPRequestCallback* callback, int timeoutMs) {
    const QString failure = QStringLiteral("Can't send post.");
    if (post.Group.isEmpty()) {
        Messages::MsgBox(failure + QStringLiteral(" The post has no group, and the current API "
                                                  "needs the blog to post to."),
                         MsgIcon::Critical);
        return {};
    }
    if (!NpfState(post.StateCode))
        Messages::MsgBox(QStringLiteral("Warning! Invalid post state!"), MsgIcon::Critical);

    const NpfBody body = NpfPostBody(post, publishOn);
    const QString path = QStringLiteral("/v2/blog/") +
                         QString::fromLatin1(QUrl::toPercentEncoding(post.Group)) +
                         QStringLiteral("/posts");
    SendMarker marker(post.FilePath);
    if (!marker.Set())
        return {};
    HTTPRequest request;
    std::optional<QString> signInFailure;
    try {
        signInFailure = SendSignedIn(
            request,
            [&](const QString& token) {
                SendApiRequest(request, QStringLiteral("POST"), path, body.ContentType, body.Body,
                               token, timeoutMs, callback);
            },
            timeoutMs);
    } catch (const ComponentError& error) {
        marker.Settle(request, false);
        ErrorBox::ShowError(error, MsgIcon::Critical, failure);
        return {};
    }
    const bool accepted = request.ErrorCode() == 0 && request.StatusCode() == kCreated;
    marker.Settle(request, accepted);
    if (signInFailure) {
        Messages::MsgBox(failure + QLatin1Char(' ') + *signInFailure, MsgIcon::Critical);
        return {};
    }
    if (request.ErrorCode() != 0) {
        ErrorBox::ShowRequestError(request, MsgIcon::Critical, failure);
        return {};
    }
    if (accepted) {
        AppendLink(QStringLiteral("http://") + post.Group + QStringLiteral("/post/") +
                   CreatedId(request.ResponseBytes()));
        return {ApiUploadOutcome::Result::Accepted, {}};
    }
    const QString limit = LimitOf(request);
    if (!limit.isEmpty())
        return {ApiUploadOutcome::Result::LimitReached, limit};
    ErrorBox::ShowRequestError(request, MsgIcon::Critical,
                               failure + QLatin1Char(' ') + ApiErrorText(request.ResponseBytes()));
    return {};
}

QString LimitMessage(const QString& limit, int sentInRun) {
    return limit + QStringLiteral("\r\n\r\n") +
           QStringLiteral("Posts sent in this run: %1. The other posts stay in the data folder; "
                          "send them once the limit has passed.")
               .arg(sentInRun);
}
