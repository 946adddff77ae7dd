#include "components/HTTPWire.h"

#include "components/HTTPRequest.h"

#include <QNetworkReply>
#include <QSslSocket>
#include <QTcpSocket>

namespace {

constexpr int kHttpPort = 80;
constexpr int kHttpsPort = 443;

bool IsToken(const QByteArray& text) {
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        if (c <= ' ' || c >= 127 || QByteArrayView("()<>@,;:\\\"/[]?={}").contains(c))
            return false;
    }
    return true;
}

// A value may not end the header early: a line break in it would start a header of its own.
bool IsHeaderValue(const QByteArray& text) {
    return !text.contains('\r') && !text.contains('\n') && !text.contains('\0');
}

} // namespace

HTTPWire::HTTPWire(const QUrl& url, const ProxySettings& proxy) : m_url(url), m_proxy(proxy) {}

bool HTTPWire::Secure() const {
    return m_url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

bool HTTPWire::AsksProxy() const {
    return !Secure() && m_proxy.ToNetworkProxy().type() == QNetworkProxy::HttpProxy;
}

QString HTTPWire::Unusable() const {
    const QString scheme = m_url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return QStringLiteral("Protocol \"%1\" is unknown").arg(m_url.scheme());
    if (!m_url.isValid() || m_url.host().isEmpty())
        return QStringLiteral("The address %1 is not usable.").arg(m_url.toDisplayString());
    return {};
}

std::unique_ptr<QTcpSocket> HTTPWire::Socket() const {
    std::unique_ptr<QTcpSocket> socket;
    if (Secure())
        socket = std::make_unique<QSslSocket>();
    else
        socket = std::make_unique<QTcpSocket>();
    socket->setProxy(AsksProxy() ? QNetworkProxy(QNetworkProxy::NoProxy)
                                 : m_proxy.ToNetworkProxy());
    return socket;
}

void HTTPWire::Connect(QTcpSocket& socket) const {
    const auto port = static_cast<quint16>(m_url.port(Secure() ? kHttpsPort : kHttpPort));
    if (AsksProxy()) {
        const QNetworkProxy proxy = m_proxy.ToNetworkProxy();
        socket.connectToHost(proxy.hostName(), proxy.port());
    } else if (auto* secure = qobject_cast<QSslSocket*>(&socket)) {
        secure->connectToHostEncrypted(m_url.host(), port);
    } else {
        socket.connectToHost(m_url.host(), port);
    }
}

QByteArray HTTPWire::Head(const HTTPRequestDetails& outgoing, qint64 bodySize) const {
    QList<QPair<QByteArray, QByteArray>> headers{
        {"Host", m_url.authority(QUrl::FullyEncoded | QUrl::RemoveUserInfo).toLatin1()}};
    if (!outgoing.ContentType.isEmpty())
        headers.emplaceBack("Content-Type", outgoing.ContentType);
    headers.emplaceBack("Content-Length", QByteArray::number(bodySize));
    headers.emplaceBack("User-Agent", outgoing.Agent.toUtf8());
    for (const HTTPHeader& header : outgoing.Headers)
        headers.emplaceBack(header.Name, header.Value);
    // One request per connection: a post never waits behind, or is retried on, another's.
    headers.emplaceBack("Connection", "close");
    const QNetworkProxy proxy = m_proxy.ToNetworkProxy();
    if (AsksProxy() && !proxy.user().isEmpty()) {
        const QByteArray pair = (proxy.user() + QLatin1Char(':') + proxy.password()).toUtf8();
        headers.emplaceBack("Proxy-Authorization", "Basic " + pair.toBase64());
    }

    const QUrl::FormattingOptions target =
        QUrl::FullyEncoded | QUrl::RemoveUserInfo | QUrl::RemoveFragment;
    QByteArray path = m_url.toEncoded(target | QUrl::RemoveScheme | QUrl::RemoveAuthority);
    if (path.isEmpty() || path.startsWith('?'))
        path.prepend('/');
    if (!IsToken(outgoing.Verb))
        return {};
    QByteArray head =
        outgoing.Verb + ' ' + (AsksProxy() ? m_url.toEncoded(target) : path) + " HTTP/1.1\r\n";
    for (const auto& [name, value] : headers) {
        if (!IsToken(name) || !IsHeaderValue(value))
            return {};
        head += name + ": " + value + "\r\n";
    }
    return head + "\r\n";
}

int NetworkErrorOf(int socketError) {
    switch (static_cast<QAbstractSocket::SocketError>(socketError)) {
    case QAbstractSocket::ConnectionRefusedError:
        return QNetworkReply::ConnectionRefusedError;
    case QAbstractSocket::RemoteHostClosedError:
        return QNetworkReply::RemoteHostClosedError;
    case QAbstractSocket::HostNotFoundError:
        return QNetworkReply::HostNotFoundError;
    case QAbstractSocket::SocketTimeoutError:
        return QNetworkReply::TimeoutError;
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError:
        return QNetworkReply::SslHandshakeFailedError;
    case QAbstractSocket::ProxyConnectionRefusedError:
        return QNetworkReply::ProxyConnectionRefusedError;
    case QAbstractSocket::ProxyConnectionClosedError:
        return QNetworkReply::ProxyConnectionClosedError;
    case QAbstractSocket::ProxyNotFoundError:
        return QNetworkReply::ProxyNotFoundError;
    case QAbstractSocket::ProxyConnectionTimeoutError:
        return QNetworkReply::ProxyTimeoutError;
    case QAbstractSocket::ProxyAuthenticationRequiredError:
        return QNetworkReply::ProxyAuthenticationRequiredError;
    default:
        return QNetworkReply::UnknownNetworkError;
    }
}
