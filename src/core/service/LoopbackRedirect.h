#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrlQuery>
#include <functional>
#include <optional>

class QTcpServer;
class QTcpSocket;

// What a request to the sign-in's loopback page asks for: a GET of the callback path, with
// its query; nothing for anything else. head: the request line, or more.
std::optional<QUrlQuery> CallbackQuery(const QByteArray& head);

// The page the browser comes back to after a sign-in, at http://localhost:PORT/callback.
// It listens on the loopback addresses only (127.0.0.1, and ::1 where the machine has it,
// since a browser may resolve "localhost" to either), closes a request whose line and
// headers are longer than a browser's could be, and hands each callback's query to the
// owner, whose answer, given at once or later (after a token exchange), becomes the page.
class LoopbackRedirect final : public QObject {
    Q_OBJECT
public:
    // Gives the browser its page; later calls do nothing.
    using Reply = std::function<void(const QString& page)>;
    using Handler = std::function<void(const QUrlQuery& query, const Reply& reply)>;

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
