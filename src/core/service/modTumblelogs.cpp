#include "service/modTumblelogs.h"

#include "components/ComponentError.h"
#include "components/HTTPFormFields.h"
#include "components/HTTPRequest.h"
#include "components/Messages.h"
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

std::optional<QByteArray> Authenticate(const QString& email, const QString& password,
                                       IHTTPRequestCallback* callback, int timeoutMs) {
    HTTPFormFields fields;
    fields.AddField(QStringLiteral("email"), email);
    fields.AddField(QStringLiteral("password"), password);
    fields.AddField(QStringLiteral("generator"), zsUNICODEToUTF8(ApiAgent()));
    HTTPRequest request;
    PostApiForm(request, QStringLiteral("/api/authenticate"), fields, timeoutMs, callback);

    const QString failure = QStringLiteral("Can't authenticate on Tumblr.");
    if (request.ErrorCode() != 0) {
        ErrorBox::ShowRequestError(request, MsgIcon::Critical, failure);
        return std::nullopt;
    }
    if (request.StatusCode() != 200) {
        ErrorBox::ShowRequestError(request, MsgIcon::Critical, failure + request.ResponseText());
        return std::nullopt;
    }
    return request.ResponseBytes();
}

std::optional<QString> FetchBlogGroups(IHTTPRequestCallback* callback, int timeoutMs) {
    const QString failure = QStringLiteral("Can't get the blog list.");
    HTTPRequest request;
    std::optional<ApiUser> user;
    std::optional<QString> signInFailure;
    try {
        signInFailure = SendSignedIn(
            request,
            [&](const QString& token) { user = FetchUser(request, token, timeoutMs, callback); },
            timeoutMs);
    } catch (const ComponentError& error) {
        ErrorBox::ShowError(error, MsgIcon::Critical, SignedInFailure(error, failure));
        return std::nullopt;
    }
    if (signInFailure) {
        Messages::MsgBox(failure + QLatin1Char(' ') + *signInFailure, MsgIcon::Critical);
        return std::nullopt;
    }
    if (request.ErrorCode() != 0) {
        ErrorBox::ShowRequestError(request, MsgIcon::Critical, failure);
        return std::nullopt;
    }
    if (request.StatusCode() != 200) {
        ErrorBox::ShowRequestError(request, MsgIcon::Critical,
                                   failure + QLatin1Char(' ') +
                                       ApiErrorText(request.ResponseBytes()));
        return std::nullopt;
    }
    if (!user) {
        Messages::MsgBox(QStringLiteral("The blog list from Tumblr came, but it holds no valid "
                                        "account."),
                         MsgIcon::Critical);
        return std::nullopt;
    }
    return BlogsToGroups(user->Blogs);
}

std::optional<QString> TumblelogsToGroups(const QByteArray& answer) {
    try {
        XMLDocument document;
        if (!document.LoadXML(answer))
            return std::nullopt;
        const XMLNodeList tumblelogs =
            document.DocumentElement().SelectNodes(QStringLiteral("/tumblr/tumblelog"));
        QString text;
        for (int i = 0; i < tumblelogs.Count(); ++i) {
            const XMLNode tumblelog = tumblelogs.Item(i);
            const QString group = GroupValue(tumblelog);
            const QString title = zsUTF8ToUNICODE(tumblelog.Attribute(QStringLiteral("title")));
            text += title + QStringLiteral(" | ") + group + QStringLiteral("\r\n");
        }
        return zsTrimCRLF(text);
    } catch (const ComponentError&) {
        return std::nullopt;
    }
}
