#pragma once

#include <QString>
#include <QUrl>

// Where the service's API answers: www.tumblr.com port 80, unless MARIVANE_API_ENDPOINT
// ("host:port") names another place (tests, compatible services).
struct ApiEndpoint {
    QString Host;
    quint16 Port = 80;
};
ApiEndpoint ServiceEndpoint();

// The current API's address and that of its sign-in pages: https://api.tumblr.com and
// https://www.tumblr.com, unless MARIVANE_API_BASE / MARIVANE_AUTH_BASE name another place
// ("scheme://host[:port]"). Plain http is taken only for a loopback host, so tokens never
// cross a network in clear. An unusable override raises ComponentError rather than falling
// back to the real service.
QUrl CurrentApiBase();
QUrl CurrentAuthBase();

// The application name the requests identify themselves with.
QString ClientApplication();
// The agent name the requests send, also as the form's "generator".
QString ApiAgent();

class HTTPFormFields;
class HTTPRequest;
class IHTTPRequestCallback;
// Posts a form to a path of the API, through the proxy as the settings say at this moment.
// maxCreatedBytes: how long a 201's body may be (-1: as any answer).
void PostApiForm(HTTPRequest& request, const QString& path, const HTTPFormFields& fields,
                 int timeoutMs, IHTTPRequestCallback* callback, qint64 maxCreatedBytes = -1);
