#pragma once

#include <QString>

// Where the service's API answers: www.tumblr.com port 80, unless MARIVANE_API_ENDPOINT
// ("host:port") names another place (tests, compatible services).
struct ApiEndpoint {
    QString Host;
    quint16 Port = 80;
};
ApiEndpoint ServiceEndpoint();

// The application name the requests identify themselves with.
QString ClientApplication();
// The agent name the requests send, also as the form's "generator".
QString ApiAgent();

class HTTPFormFields;
class HTTPRequest;
class IHTTPRequestCallback;
// Posts a form to a path of the API, through the proxy as the settings say at this moment.
void PostApiForm(HTTPRequest& request, const QString& path, const HTTPFormFields& fields,
                 int timeoutMs, IHTTPRequestCallback* callback);
