#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrlQuery>
#include <functional>

class QTcpServer;
class QTcpSocket;

// The page the browser comes back to after a sign-in, at http://localhost:PORT/callback.
// It listens on the loopback addresses only (127.0.0.1, and ::1 where the machine has it,
// since a browser may resolve "localhost" to either), reads no more of a request than a
// request line and its headers can need, and hands each callback's query to the owner,
// whose answer becomes the browser's page.
class LoopbackRedirect final : public QObject {
    Q_OBJECT
public:
    // The page's text for a callback; the owner may take its time (a token exchange).
    using Handler = std::function<QString(const QUrlQuery& query)>;

    LoopbackRedirect(quint16 port, Handler handler, QObject* parent = nullptr);
    ~LoopbackRedirect() override;
    Q_DISABLE_COPY_MOVE(LoopbackRedirect)

    // False, with Failure(), when a loopback address cannot take the port.
    bool Listen();
    const QString& Failure() const { return m_failure; }
    // Stops listening; a page being answered still gets out.
    void Close();

    static QString CallbackPath();

private:
    void Accept(QTcpServer* server);
    void Read(QTcpSocket* socket);
    void Answer(QTcpSocket* socket, const QByteArray& status, const QString& page);

    quint16 m_port;
    Handler m_handler;
    QList<QTcpServer*> m_servers;
    QString m_failure;
};
