#include "service/BlogListFetch.h"

#include "components/ComponentError.h"
#include "components/HTTPFormFields.h"
#include "components/HTTPRequest.h"
#include "components/SupportLibrary.h"
#include "components/XMLDocument.h"
#include "service/modApiHost.h"
#include "service/modApiSession.h"
#include "service/modCurrentApi.h"

namespace {

QString GroupValue(const XMLNode& tumblelog) {
    if (tumblelog.Attribute(QStringLiteral("type")).toLower() == QStringLiteral("private"))
        return tumblelog.Attribute(QStringLiteral("private-id"));
    QString url = tumblelog.Attribute(QStringLiteral("url"));
    if (url.left(7).toLower() == QStringLiteral("http://"))
        url = zsCutLeft(url, 7);
    if (url.endsWith(QLatin1Char('/')))
        url = zsCutRight(url, 1);
    return url;
}

} // namespace

Outcome<QByteArray> Authenticate(const QString& email, const QString& password,
                                 IHTTPRequestCallback* callback, int timeoutMs) {
    HTTPFormFields fields;
    fields.AddField(QStringLiteral("email"), email);
    fields.AddField(QStringLiteral("password"), password);
    fields.AddField(QStringLiteral("generator"), zsUNICODEToUTF8(ApiAgent()));
    HTTPRequest request;
    PostApiForm(request, QStringLiteral("/api/authenticate"), fields, timeoutMs, callback);

    const QString failure = QStringLiteral("Can't authenticate on Tumblr.");
    if (request.ErrorCode() != 0)
        return RequestFailure(request, failure);
    if (request.StatusCode() != 200)
        return RequestFailure(request, failure + request.ResponseText());
    return request.ResponseBytes();
}

Outcome<BlogList> FetchBlogs(IHTTPRequestCallback* callback, int timeoutMs) {
    const QString failure = QStringLiteral("Can't get the blog list.");
    HTTPRequest request;
    std::optional<ApiUser> user;
    std::optional<SignInFailure> signInFailure;
    try {
        signInFailure = SendSignedIn(
            request,
            [&](const QString& token) { user = FetchUser(request, token, timeoutMs, callback); },
            timeoutMs);
    } catch (const ComponentError& error) {
        return FailureOf(error, SignedInFailure(error, failure));
    }
    if (signInFailure)
        return Failure{failure + QLatin1Char(' ') + signInFailure->Text, {}};
    if (request.ErrorCode() != 0)
        return RequestFailure(request, failure);
    if (request.StatusCode() != 200)
        return RequestFailure(request,
                              failure + QLatin1Char(' ') + ApiErrorText(request.ResponseBytes()));
    if (!user)
        return Failure{QStringLiteral("The blog list from Tumblr came, but it holds no valid "
                                      "account."),
                       {}};
    return AccountBlogs(user->Blogs);
}

std::optional<BlogList> TumblelogsToBlogs(const QByteArray& answer) {
    try {
        XMLDocument document;
        if (!document.LoadXML(answer))
            return std::nullopt;
        const XMLNodeList tumblelogs =
            document.DocumentElement().SelectNodes(QStringLiteral("/tumblr/tumblelog"));
        BlogList blogs;
        for (int i = 0; i < tumblelogs.Count(); ++i) {
            const XMLNode tumblelog = tumblelogs.Item(i);
            blogs.append({zsUTF8ToUNICODE(tumblelog.Attribute(QStringLiteral("title"))),
                          GroupValue(tumblelog)});
        }
        return blogs;
    } catch (const ComponentError&) {
        return std::nullopt;
    }
}
