#include "service/modApiHost.h"

#include "app/modCommon.h"
#include "components/ComponentError.h"
#include "components/HTTPFormFields.h"
#include "components/HTTPRequest.h"
#include "components/PortNumber.h"

#include <QHostAddress>
#include <QtGlobal>

namespace {

QUrl BaseFromEnvironment(const char* variable, const QString& fallback) {
    const QString value = qEnvironmentVariable(variable);
    if (value.isEmpty())
        return QUrl(fallback);
    const QUrl url(value, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    const QHostAddress address(url.host());
    const bool loopback =
        url.host().compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0 ||
        (!address.isNull() && address.isLoopback());
    const bool usable =
        url.isValid() && !url.host().isEmpty() && url.userInfo().isEmpty() &&
        (url.path().isEmpty() || url.path() == QStringLiteral("/")) && !url.hasQuery() &&
        !url.hasFragment() &&
        (scheme == QStringLiteral("https") || (scheme == QStringLiteral("http") && loopback));
    if (!usable)
        throw ComponentError(ErrorNumber::ServiceAddress,
                             QString::fromLatin1(variable) + QStringLiteral(" \"") + value +
                                 QStringLiteral("\" is not usable: give https://host[:port], or "
                                                "http:// for a loopback host only."));
    QUrl base = url;
    base.setPath(QString());
    return base;
}

} // namespace

ApiEndpoint ServiceEndpoint() {
    ApiEndpoint endpoint{QStringLiteral("www.tumblr.com"), 80};
    const QString value = qEnvironmentVariable("MARIVANE_API_ENDPOINT");
    const qsizetype colon = value.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return endpoint;
    const std::optional<quint16> port = PortNumber(value.mid(colon + 1));
    if (!port)
        return endpoint;
    endpoint.Host = value.left(colon);
    endpoint.Port = *port;
    return endpoint;
}

QUrl CurrentApiBase() {
    return BaseFromEnvironment("MARIVANE_API_BASE", QStringLiteral("https://api.tumblr.com"));
}

QUrl CurrentAuthBase() {
    return BaseFromEnvironment("MARIVANE_AUTH_BASE", QStringLiteral("https://www.tumblr.com"));
}

QString ClientApplication() {
    return MakeWindowTitle(QString());
}

QString ApiAgent() {
    return HTTPRequest::GetAgentName(ClientApplication());
}

void PostApiForm(HTTPRequest& request, const QString& path, const HTTPFormFields& fields,
                 int timeoutMs, IHTTPRequestCallback* callback, qint64 maxCreatedBytes) {
    request.Proxy.Load();
    const ApiEndpoint endpoint = ServiceEndpoint();
    HTTPRequestDetails outgoing;
    outgoing.Url.setScheme(QStringLiteral("http"));
    outgoing.Url.setHost(endpoint.Host);
    outgoing.Url.setPort(endpoint.Port);
    outgoing.Url.setPath(path);
    outgoing.ContentType = fields.ContentType();
    outgoing.Body = fields.Body();
    outgoing.Agent = ApiAgent();
    outgoing.TimeoutMs = timeoutMs;
    outgoing.MaxCreatedBytes = maxCreatedBytes;
    request.SendRequest(outgoing, callback);
}
