#pragma once

#include "components/ProxySettings.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <memory>

class QTcpSocket;
struct HTTPRequestDetails;

// How one request reaches its server: the socket, and the head that opens the request.
class HTTPWire final {
public:
    HTTPWire(const QUrl& url, const ProxySettings& proxy);

    // Empty when the address can be used; otherwise why not.
    QString Unusable() const;
    // A socket for the request: TLS for https, through the proxy where one is set.
    std::unique_ptr<QTcpSocket> Socket() const;
    // Starts connecting (and, for https, encrypting) to the server, or to the proxy. A failure
    // may be signalled before this returns.
    void Connect(QTcpSocket& socket) const;
    // The request line and headers; empty when a header holds a line break.
    QByteArray Head(const HTTPRequestDetails& outgoing, qint64 bodySize) const;

private:
    bool Secure() const;
    // Plain HTTP through an HTTP proxy: the proxy is asked for the whole address, no tunnel.
    bool AsksProxy() const;

    QUrl m_url;
    ProxySettings m_proxy;
};

// The number a socket's failure is reported with (QNetworkReply's numbering).
int NetworkErrorOf(int socketError);
