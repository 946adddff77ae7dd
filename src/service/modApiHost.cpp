#include "service/modApiHost.h"

#include "app/modCommon.h"
#include "components/HTTPFormFields.h"
#include "components/HTTPRequest.h"

#include <QtGlobal>

ApiEndpoint ServiceEndpoint() {
    ApiEndpoint endpoint{QStringLiteral("www.tumblr.com"), 80};
    const QString value = qEnvironmentVariable("MARIVANE_API_ENDPOINT");
    const qsizetype colon = value.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return endpoint;
    bool ok = false;
    const uint port = value.mid(colon + 1).toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        return endpoint;
    endpoint.Host = value.left(colon);
    endpoint.Port = static_cast<quint16>(port);
    return endpoint;
}

QString ClientApplication() {
    return MakeWindowTitle(QString());
}

QString ApiAgent() {
    return HTTPRequest::GetAgentName(ClientApplication());
}

void PostApiForm(HTTPRequest& request, const QString& path, const HTTPFormFields& fields,
                 int timeoutMs, IHTTPRequestCallback* callback) {
    request.Proxy.Load();
    const ApiEndpoint endpoint = ServiceEndpoint();
    request.SendRequest(endpoint.Host, endpoint.Port, QStringLiteral("POST"), path,
                        QStringLiteral("HTTP/1.1"), fields.FormText1(), fields.FormText2(),
                        timeoutMs, ApiAgent(), callback);
}
