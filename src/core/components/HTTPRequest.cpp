#include "components/HTTPRequest.h"

#include "components/BodyDevice.h"
#include "components/HTTPAnswerReader.h"
#include "components/HTTPWire.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkReply>
#include <QSslSocket>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int kHeartbeatMs = 100;
constexpr int kCreated = 201;
// The body goes to the socket in pieces, and only while little waits there: a large picture
// is never held twice, encrypted and not.
constexpr qint64 kPieceBytes = 64 * 1024;
constexpr qint64 kQueuedBytes = 256 * 1024;

// One request on a socket of its own: passes progress to the callback and serves a cancel.
// Once the whole body is out (or the answer has begun), a cancel waits for the answer if the
// callback says so, because the other side may already have acted on the request.
class Transfer final {
public:
    // Answered: the answer came whole. Broken: the connection failed. Stalled: nothing moved
    // for the timeout. Late: the answer did not come whole in time after the body went out.
    enum class End { Running, Answered, Broken, Unreadable, Cancelled, Stalled, TooLarge, Late };

    Transfer(QTcpSocket& socket, QByteArray head, BodyDevice& body,
             const HTTPRequestDetails& outgoing, IHTTPRequestCallback* callback)
        : m_socket(socket), m_ssl(qobject_cast<QSslSocket*>(&socket)), m_head(std::move(head)),
          m_body(body), m_outgoing(outgoing), m_callback(callback), m_sendTotal(body.size()) {}

    End Ending() const { return m_end; }
    const HTTPAnswerReader& Answer() const { return m_reader; }
    int SocketError() const { return m_socketError; }
    const QString& ErrorText() const { return m_errorText; }

    // Runs until the exchange has ended; the answer's body goes to `response`.
    void Run(const HTTPWire& wire, QByteArray& response) {
        m_response = &response;
        QEventLoop loop;
        m_loop = &loop;
        QObject::connect(&m_socket, &QIODevice::readyRead, &loop, [this] { Read(); });
        QObject::connect(&m_socket, &QIODevice::bytesWritten, &loop, [this] { Pump(); });
        QObject::connect(&m_socket, &QAbstractSocket::errorOccurred, &loop,
                         [this](QAbstractSocket::SocketError error) { Broken(error); });
        QObject::connect(&m_socket, &QAbstractSocket::disconnected, &loop,
                         [this] { Broken(QAbstractSocket::RemoteHostClosedError); });
        if (m_ssl) {
            QObject::connect(m_ssl, &QSslSocket::encrypted, &loop, [this] { Start(); });
            QObject::connect(m_ssl, &QSslSocket::encryptedBytesWritten, &loop, [this] { Pump(); });
        } else {
            QObject::connect(&m_socket, &QAbstractSocket::connected, &loop, [this] { Start(); });
        }
        QTimer heartbeat;
        QObject::connect(&heartbeat, &QTimer::timeout, &loop, [this] { Heartbeat(); });
        heartbeat.start(kHeartbeatMs);
        m_lastMove.start();
        wire.Connect(m_socket);
        if (m_end == End::Running)
            loop.exec();
        heartbeat.stop();
        m_socket.disconnect(&loop);
        m_socket.abort();
    }

private:
    void Start() {
        if (m_end != End::Running || m_started)
            return;
        m_started = true;
        m_lastMove.start();
        // A request's last piece must not wait for the previous one's acknowledgement.
        m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_socket.write(m_head);
        Pump();
    }

    qint64 Queued() const {
        return m_socket.bytesToWrite() + (m_ssl ? m_ssl->encryptedBytesToWrite() : 0);
    }

    void Pump() {
        if (m_end != End::Running || !m_started)
            return;
        m_lastMove.start();
        m_piece.resize(kPieceBytes);
        while (!m_body.atEnd() && Queued() < kQueuedBytes && !m_reader.HeadRead()) {
            const qint64 read = m_body.read(m_piece.data(), kPieceBytes);
            if (read <= 0 || m_socket.write(m_piece.constData(), read) != read)
                break;
            m_handed += read;
        }
        Sent(std::max<qint64>(0, m_handed - Queued()));
    }

    void Sent(qint64 now) {
        if (m_end != End::Running || !m_callback || now <= m_sent)
            return;
        bool cancel = false;
        const qint64 block = now - m_sent;
        m_sent = now;
        m_callback->BlockSent(block, m_sent, m_sendTotal, cancel);
        CancelIfAsked(cancel);
    }

    void Read() {
        const QByteArray bytes = m_socket.readAll();
        if (bytes.isEmpty() || m_end != End::Running)
            return;
        m_lastMove.start();
        const bool hadHead = m_reader.HeadRead();
        const QByteArray block = m_reader.Feed(bytes);
        if (m_reader.HeadRead() && !hadHead) {
            m_receiving = true;
            // An answer that announces more than it may have is not read at all.
            if (m_reader.Length() > Cap()) {
                Finish(End::TooLarge);
                return;
            }
        }
        if (!block.isEmpty())
            Received(block);
        Settle();
    }

    // Ends the exchange once the answer is whole or cannot be read.
    void Settle() {
        if (m_end != End::Running)
            return;
        if (m_reader.Current() == HTTPAnswerReader::State::Done)
            Finish(End::Answered);
        else if (m_reader.Current() == HTTPAnswerReader::State::Failed)
            Finish(m_reader.HeadRead() ? End::Answered : End::Unreadable);
    }

    void Received(const QByteArray& block) {
        m_received += block.size();
        // Whoever answers decides how much comes; only what an answer can need is read.
        if (m_received > Cap()) {
            Finish(End::TooLarge);
            return;
        }
        bool remove = false;
        bool cancel = false;
        if (m_callback)
            m_callback->BlockReceived(block, remove, m_received, m_reader.Length(), cancel);
        if (!remove)
            *m_response += block;
        CancelIfAsked(cancel);
    }

    void Broken(QAbstractSocket::SocketError error) {
        if (m_end != End::Running)
            return;
        Read(); // what came before the end still counts
        if (m_end != End::Running)
            return;
        if (error == QAbstractSocket::RemoteHostClosedError) {
            m_reader.EndOfStream();
            Settle();
            if (m_end != End::Running)
                return;
        }
        m_socketError = error;
        m_errorText = m_socket.error() == QAbstractSocket::UnknownSocketError
                          ? QStringLiteral("The connection ended before the answer came.")
                          : m_socket.errorString();
        Finish(End::Broken);
    }

    void Heartbeat() {
        if (m_end != End::Running)
            return;
        if (m_outgoing.TimeoutMs > 0 && m_lastMove.hasExpired(m_outgoing.TimeoutMs)) {
            Finish(End::Stalled);
            return;
        }
        // A trickle never falls silent, so the answer has a deadline of its own.
        if (!m_answerDue.isValid() && m_started && m_body.atEnd() && Queued() == 0)
            m_answerDue.start();
        if (m_outgoing.TimeoutMs > 0 && m_answerDue.isValid() &&
            m_answerDue.hasExpired(m_outgoing.TimeoutMs)) {
            Finish(End::Late);
            return;
        }
        if (!m_callback)
            return;
        bool cancel = false;
        if (m_receiving) {
            bool remove = false;
            m_callback->BlockReceived(QByteArray(), remove, m_received, m_reader.Length(), cancel);
        } else {
            m_callback->BlockSent(0, m_sent, m_sendTotal, cancel);
        }
        CancelIfAsked(cancel);
    }

    void CancelIfAsked(bool cancel) {
        if (!cancel || m_end != End::Running)
            return;
        const bool answerDue = m_body.AllRead() || m_receiving;
        if (answerDue && m_callback->KeepWaitingForAnswer())
            return;
        Finish(End::Cancelled);
    }

    void Finish(End end) {
        m_end = end;
        m_loop->quit();
    }

    qint64 Cap() const {
        return m_reader.Status() == kCreated && m_outgoing.MaxCreatedBytes >= 0
                   ? m_outgoing.MaxCreatedBytes
                   : m_outgoing.MaxResponseBytes;
    }

    QTcpSocket& m_socket;
    QSslSocket* m_ssl;
    const QByteArray m_head;
    BodyDevice& m_body;
    const HTTPRequestDetails& m_outgoing;
    IHTTPRequestCallback* m_callback;
    QEventLoop* m_loop = nullptr;
    QByteArray* m_response = nullptr;
    HTTPAnswerReader m_reader;
    QByteArray m_piece;
    End m_end = End::Running;
    QElapsedTimer m_lastMove;
    QElapsedTimer m_answerDue;
    bool m_started = false;
    bool m_receiving = false;
    int m_socketError = -1;
    QString m_errorText;
    qint64 m_handed = 0;
    qint64 m_sent = 0;
    qint64 m_sendTotal;
    qint64 m_received = 0;
};

} // namespace

QString HTTPRequest::GetAgentName(const QString& application) {
    return application + QStringLiteral("/1.0 (Linux; Qt %1)").arg(QString::fromLatin1(qVersion()));
}

QByteArray HTTPRequest::ResponseHeader(const QByteArray& name) const {
    for (const auto& [key, value] : m_headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool HTTPRequest::SendRequest(const HTTPRequestDetails& outgoing, IHTTPRequestCallback* callback) {
    m_statusCode = 0;
    m_errorCode = 0;
    m_bodySent = false;
    m_response.clear();
    m_headers.clear();
    m_errorText.clear();

    const HTTPWire wire(outgoing.Url, Proxy);
    BodyDevice body(outgoing.Body.Chunks);
    body.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    const QByteArray head = wire.Head(outgoing, body.size());
    m_errorText = wire.Unusable();
    if (!m_errorText.isEmpty() || head.isEmpty()) {
        m_errorCode = QNetworkReply::ProtocolUnknownError;
        if (m_errorText.isEmpty())
            m_errorText = QStringLiteral("A header of the request holds a line break.");
        return false;
    }
    const std::unique_ptr<QTcpSocket> socket = wire.Socket();
    Transfer transfer(*socket, head, body, outgoing, callback);
    transfer.Run(wire, m_response);
    m_bodySent = body.AllRead();
    const HTTPAnswerReader& answer = transfer.Answer();
    switch (transfer.Ending()) {
    case Transfer::End::TooLarge:
        m_errorCode = kTooLarge;
        m_errorText = QStringLiteral("The answer was far longer than an answer of the service "
                                     "can be, so it was not read.");
        break;
    case Transfer::End::Late:
        m_errorCode = kTimedOut;
        m_errorText =
            QStringLiteral("No whole answer within %1 seconds.").arg(outgoing.TimeoutMs / 1000.0);
        break;
    case Transfer::End::Unreadable:
        m_errorCode = QNetworkReply::ProtocolFailure;
        m_errorText = answer.Problem();
        break;
    case Transfer::End::Cancelled:
        m_errorCode = kCancelled;
        m_errorText = QStringLiteral("The transfer was cancelled.");
        break;
    case Transfer::End::Stalled:
        m_errorCode = kTimedOut;
        m_errorText =
            QStringLiteral("No answer within %1 seconds.").arg(outgoing.TimeoutMs / 1000.0);
        break;
    case Transfer::End::Broken:
        m_errorCode = NetworkErrorOf(transfer.SocketError());
        m_errorText = transfer.ErrorText();
        break;
    case Transfer::End::Answered:
    case Transfer::End::Running:
        break;
    }
    // An answer that had begun is the answer, cut short or not, as the callers always read it.
    if (answer.HeadRead() && transfer.Ending() != Transfer::End::TooLarge &&
        transfer.Ending() != Transfer::End::Late) {
        m_statusCode = answer.Status();
        m_headers = answer.Headers();
        m_errorCode = 0;
        m_errorText.clear();
    } else if (m_errorCode != 0) {
        m_response.clear();
    }
    return m_errorCode == 0;
}
