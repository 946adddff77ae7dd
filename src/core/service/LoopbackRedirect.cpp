#include "service/LoopbackRedirect.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace {

// A browser's request line with the callback's query and its headers fit easily; anything
// longer is not the service's answer.
constexpr qint64 kMaxRequestBytes = 8 * 1024;
// A connection that sends no whole request within this long is dropped.
constexpr int kRequestTimeoutMs = 10000;

QByteArray Page(const QString& text) {
    return QByteArrayLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                             "<title>Marivane</title></head><body><p>") +
           text.toHtmlEscaped().toUtf8() + QByteArrayLiteral("</p></body></html>");
}

} // namespace

std::optional<QUrlQuery> CallbackQuery(const QByteArray& head) {
    const qsizetype end = head.indexOf("\r\n");
    const QList<QByteArray> words = head.left(end < 0 ? head.size() : end).split(' ');
    if (words.size() != 3 || words.at(0) != "GET" || !words.at(2).startsWith("HTTP/1."))
        return std::nullopt;
    // The raw path must match: QUrl reads "///callback" as an empty host and "/callback".
    const QByteArray& raw = words.at(1);
    const qsizetype mark = raw.indexOf('?');
    if (raw.left(mark < 0 ? raw.size() : mark) != LoopbackRedirect::CallbackPath().toLatin1())
        return std::nullopt;
    const QUrl target = QUrl::fromEncoded(raw, QUrl::StrictMode);
    if (!target.isValid() || !target.isRelative())
        return std::nullopt;
    return QUrlQuery(target);
}

LoopbackRedirect::LoopbackRedirect(quint16 port, Handler handler, QObject* parent)
    : QObject(parent), m_port(port), m_handler(std::move(handler)) {}

LoopbackRedirect::~LoopbackRedirect() = default;

QString LoopbackRedirect::CallbackPath() {
    return QStringLiteral("/callback");
}

bool LoopbackRedirect::Listen() {
    Close();
    for (const QHostAddress::SpecialAddress address :
         {QHostAddress::LocalHost, QHostAddress::LocalHostIPv6}) {
        auto* server = new QTcpServer(this);
        if (server->listen(address, m_port)) {
            connect(server, &QTcpServer::newConnection, this, [this, server] { Accept(server); });
            m_servers.append(server);
            continue;
        }
        const QAbstractSocket::SocketError error = server->serverError();
        delete server;
        // A machine without IPv6 has no ::1 for a browser to come to.
        if (address == QHostAddress::LocalHostIPv6 && error != QAbstractSocket::AddressInUseError)
            continue;
        // Another program on the port would get the browser, and with it the sign-in's code.
        Close();
        m_failure = QStringLiteral("Port %1 on localhost is in use, so the browser cannot come "
                                   "back to the program. Choose another redirect port, and "
                                   "register its address with the application.")
                        .arg(m_port);
        return false;
    }
    return true;
}

void LoopbackRedirect::Close() {
    for (QTcpServer* server : std::as_const(m_servers)) {
        server->close();
        server->deleteLater();
    }
    m_servers.clear();
}

void LoopbackRedirect::Accept(QTcpServer* server) {
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        // Owned by this object, so a sign-in that ends takes its connections with it.
        socket->setParent(this);
        socket->setReadBufferSize(kMaxRequestBytes + 1);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto* deadline = new QTimer(socket);
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, socket, &QTcpSocket::abort);
        deadline->start(kRequestTimeoutMs);
    }
}

void LoopbackRedirect::Read(QTcpSocket* socket) {
    if (socket->property("answered").toBool())
        return;
    const QByteArray head = socket->peek(kMaxRequestBytes + 1);
    if (head.indexOf("\r\n\r\n") < 0) {
        // Nothing a browser sends is this long: closed, and nothing more is read.
        if (head.size() > kMaxRequestBytes)
            socket->abort();
        return;
    }
    socket->setProperty("answered", true);
    // The owner may take longer than the deadline over a whole request.
    if (auto* deadline = socket->findChild<QTimer*>())
        deadline->stop();
    const std::optional<QUrlQuery> query = CallbackQuery(head);
    if (!query) {
        Answer(socket, "404 Not Found", QStringLiteral("There is nothing here."));
        return;
    }
    m_handler(*query, [this, alive = QPointer<QTcpSocket>(socket)](const QString& page) {
        if (alive && alive->state() == QAbstractSocket::ConnectedState)
            Answer(alive, "200 OK", page);
    });
}

void LoopbackRedirect::Answer(QTcpSocket* socket, const QByteArray& status, const QString& page) {
    socket->setProperty("answered", true);
    const QByteArray body = Page(page);
    socket->write("HTTP/1.1 " + status +
                  "\r\nContent-Type: text/html; charset=utf-8\r\nCache-Control: no-store\r\n"
                  "Connection: close\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\n\r\n" + body);
    socket->disconnectFromHost();
}
