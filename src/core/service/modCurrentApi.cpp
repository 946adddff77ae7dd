#include "service/modCurrentApi.h"

#include "app/modCommon.h"
#include "components/HTTPRequest.h"
#include "service/modApiHost.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {

QJsonObject JsonObject(const QByteArray& answer) {
    return QJsonDocument::fromJson(answer).object();
}

QJsonArray Errors(const QByteArray& answer) {
    return JsonObject(answer).value(QStringLiteral("errors")).toArray();
}

} // namespace

void SendApiRequest(HTTPRequest& request, const QString& verb, const QString& path,
                    const QByteArray& contentType, const HTTPFormBody& body,
                    const QString& accessToken, int timeoutMs, IHTTPRequestCallback* callback) {
    HTTPRequestDetails outgoing;
    outgoing.Url = CurrentApiBase();
    // The caller has percent-encoded what must be; it is not encoded again.
    outgoing.Url.setPath(path, QUrl::TolerantMode);
    outgoing.Verb = verb.toLatin1();
    outgoing.ContentType = contentType;
    outgoing.Body = body;
    outgoing.Agent = ApiAgent();
    outgoing.TimeoutMs = timeoutMs;
    outgoing.Headers = {{"Authorization", "Bearer " + accessToken.toLatin1()}};
    request.Proxy.Load();
    request.SendRequest(outgoing, callback);
}

QString ApiErrorText(const QByteArray& answer) {
    QStringList texts;
    for (const QJsonValue& value : Errors(answer)) {
        const QJsonObject error = value.toObject();
        QString text = error.value(QStringLiteral("detail")).toString();
        if (text.isEmpty())
            text = error.value(QStringLiteral("title")).toString();
        if (!text.isEmpty())
            texts.append(text);
    }
    if (texts.isEmpty()) {
        const QString message = JsonObject(answer)
                                    .value(QStringLiteral("meta"))
                                    .toObject()
                                    .value(QStringLiteral("msg"))
                                    .toString();
        if (!message.isEmpty())
            return message;
        return DecodeServerText(QString::fromLatin1(answer));
    }
    return texts.join(QLatin1Char(' '));
}

QList<int> ApiErrorCodes(const QByteArray& answer) {
    QList<int> codes;
    for (const QJsonValue& value : Errors(answer))
        codes.append(value.toObject().value(QStringLiteral("code")).toInt());
    return codes;
}

std::optional<ApiUser> ParseUserInfo(const QByteArray& answer) {
    const QJsonObject user = JsonObject(answer)
                                 .value(QStringLiteral("response"))
                                 .toObject()
                                 .value(QStringLiteral("user"))
                                 .toObject();
    const QJsonValue blogs = user.value(QStringLiteral("blogs"));
    if (!user.value(QStringLiteral("name")).isString() || !blogs.isArray())
        return std::nullopt;
    ApiUser parsed{user.value(QStringLiteral("name")).toString(), {}};
    for (const QJsonValue& value : blogs.toArray()) {
        const QJsonObject blog = value.toObject();
        const QString name = blog.value(QStringLiteral("name")).toString();
        if (name.isEmpty())
            return std::nullopt;
        parsed.Blogs.append({name, blog.value(QStringLiteral("title")).toString(),
                             blog.value(QStringLiteral("primary")).toBool()});
    }
    return parsed;
}

std::optional<ApiUser> FetchUser(HTTPRequest& request, const QString& accessToken, int timeoutMs,
                                 IHTTPRequestCallback* callback) {
    SendApiRequest(request, QStringLiteral("GET"), QStringLiteral("/v2/user/info"), {}, {},
                   accessToken, timeoutMs, callback);
    if (request.ErrorCode() != 0 || request.StatusCode() != 200)
        return std::nullopt;
    return ParseUserInfo(request.ResponseBytes());
}

BlogList AccountBlogs(const QList<ApiBlog>& blogs) {
    QList<ApiBlog> ordered = blogs;
    std::stable_partition(ordered.begin(), ordered.end(),
                          [](const ApiBlog& blog) { return blog.Primary; });
    BlogList list;
    for (const ApiBlog& blog : ordered)
        list.append({blog.Title, blog.Name + QStringLiteral(".tumblr.com")});
    return list;
}
