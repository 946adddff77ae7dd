#pragma once

#include "components/HTTPFormFields.h"
#include "store/BlogList.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class HTTPRequest;
class IHTTPRequestCallback;

// One request to the current API under the account's access token, through the proxy as
// the settings say at this moment. Raises ComponentError for an unusable MARIVANE_API_BASE.
void SendApiRequest(HTTPRequest& request, const QString& verb, const QString& path,
                    const QByteArray& contentType, const HTTPFormBody& body,
                    const QString& accessToken, int timeoutMs, IHTTPRequestCallback* callback);

// The service's own words for a refusal: the details of its errors (their titles where a
// detail is missing), else the status message, else the answer as one line of text.
QString ApiErrorText(const QByteArray& answer);
// The codes of the answer's errors.
QList<int> ApiErrorCodes(const QByteArray& answer);

struct ApiBlog {
    QString Name;
    QString Title;
    bool Primary = false;
};
struct ApiUser {
    QString Name;
    QList<ApiBlog> Blogs;
};
// The account of a /v2/user/info answer; nothing when it is not one.
std::optional<ApiUser> ParseUserInfo(const QByteArray& answer);
// Asks /v2/user/info; the request tells how the exchange went. Nothing unless the answer
// was 200 with an account in it. Raises ComponentError for an unusable MARIVANE_API_BASE.
std::optional<ApiUser> FetchUser(HTTPRequest& request, const QString& accessToken, int timeoutMs,
                                 IHTTPRequestCallback* callback);
// The account's blogs as the groups list names them ("name.tumblr.com"), the primary first.
BlogList AccountBlogs(const QList<ApiBlog>& blogs);
