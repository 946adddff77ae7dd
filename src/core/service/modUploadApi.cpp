#include "service/modUploadApi.h"

#include "components/ComponentError.h"
#include "components/HTTPRequest.h"
#include "service/ApiLimits.h"
#include "service/modApiSession.h"
#include "service/modCurrentApi.h"
#include "service/modLinks.h"
#include "service/modNpfPost.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <algorithm>

namespace {

constexpr int kCreated = 201;

QString CreatedId(const QByteArray& answer) {
    const QJsonValue id = QJsonDocument::fromJson(answer)
                              .object()
                              .value(QStringLiteral("response"))
                              .toObject()
                              .value(QStringLiteral("id"));
    // The service sends the id as text; a whole number is taken all the same.
    if (id.isString())
        return id.toString();
    return id.isDouble() && id.toDouble() == static_cast<double>(id.toInteger())
               ? QString::number(id.toInteger())
               : QString();
}

bool IsClassicBlogNumber(const QString& group) {
    return !group.isEmpty() && std::all_of(group.begin(), group.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
}

} // namespace

UploadOutcome SendPostToApi(const Post& post, PostState state, const QString& publishOn,
                            IHTTPRequestCallback* callback, int timeoutMs) {
    const QString failure = QStringLiteral("Can't send post.");
    UploadOutcome outcome;
    const auto refused = [&outcome](const Failure& problem) {
        outcome.Problem = problem;
        return outcome;
    };
    if (post.Group.isEmpty()) {
        return refused({failure + QStringLiteral(" The post has no group, and the current API "
                                                 "needs the blog to post to."),
                        {}});
    }
    // The classic blog list names private blogs by number, which the current API does not
    // take as a blog: every such post would come back "not found".
    if (IsClassicBlogNumber(post.Group)) {
        return refused({failure + QStringLiteral(" The blog \"") + post.Group +
                            QStringLiteral("\" is the number the classic interface gives a "
                                           "private blog; the current API needs the blog's name. "
                                           "Get the blog list again (\"Get\" in the groups "
                                           "editor) and choose the blog from it."),
                        {}});
    }

    const NpfBody body = NpfPostBody(post, state, publishOn);
    const QString path = QStringLiteral("/v2/blog/") +
                         QString::fromLatin1(QUrl::toPercentEncoding(post.Group)) +
                         QStringLiteral("/posts");
    SendMarker marker(post);
    if (Problem problem = marker.Set())
        return refused(*problem);
    HTTPRequest request;
    std::optional<SignInFailure> signInFailure;
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
        return refused(FailureOf(error, SignedInFailure(error, failure)));
    }
    const bool accepted = request.ErrorCode() == 0 && request.StatusCode() == kCreated;
    marker.Settle(request, accepted);
    if (signInFailure) {
        outcome.SignInNeeded = signInFailure->NeedsPerson;
        return refused({failure + QLatin1Char(' ') + signInFailure->Text, {}});
    }
    if (request.ErrorCode() != 0)
        return refused(RequestFailure(request, failure));
    if (accepted) {
        outcome.Outcome = UploadOutcome::Result::Accepted;
        outcome.Link = AppendPostLink(post.Group, CreatedId(request.ResponseBytes()));
        return outcome;
    }
    outcome.Limit = LimitReached(request);
    if (!outcome.Limit.isEmpty()) {
        outcome.Outcome = UploadOutcome::Result::LimitReached;
        return outcome;
    }
    return refused(RequestFailure(request, failure + QLatin1Char(' ') +
                                               ApiErrorText(request.ResponseBytes())));
}

QString LimitMessage(const QString& limit, int sentInRun) {
    return limit + QStringLiteral("\r\n\r\n") +
           QStringLiteral("Posts sent in this run: %1. The other posts stay in the data folder; "
                          "send them once the limit has passed.")
               .arg(sentInRun);
}
