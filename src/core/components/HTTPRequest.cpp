#include "components/HTTPRequest.h"

#include "components/BodyDevice.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {

constexpr int kHeartbeatMs = 100;
constexpr int kCreated = 201;
constexpr qint64 kReadAheadBytes = 64 * 1024;

QNetworkRequest BuildRequest(const HTTPRequestDetails& outgoing, qint64 bodySize) {
    QNetworkRequest request(outgoing.Url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    if (!outgoing.ContentType.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, outgoing.ContentType);
    request.setHeader(QNetworkRequest::ContentLengthHeader, bodySize);
    request.setHeader(QNetworkRequest::UserAgentHeader, outgoing.Agent);
    for (const HTTPHeader& header : outgoing.Headers)
        request.setRawHeader(header.Name, header.Value);
    request.setTransferTimeout(outgoing.TimeoutMs);
    return request;
}

// One reply on its way: passes progress to the callback and serves a cancel. Once the whole
// body is out (or the answer has begun), a cancel waits for the answer if the callback says
// so, because the other side may already have acted on the request.
class Transfer final {
public:
    enum class End { Finished, Cancelled, TooLarge, Late };

    Transfer(QNetworkReply* reply, const BodyDevice& body, const HTTPRequestDetails& outgoing,
             IHTTPRequestCallback* callback)
        : m_reply(reply), m_body(body), m_outgoing(outgoing), m_callback(callback),
          m_sendTotal(body.size()) {}

    End Ending() const { return m_end; }

    // Runs until the reply has finished; blocks received go to `response`.
    void Run(QByteArray& response) {
        QEventLoop loop;
        QObject::connect(m_reply, &QNetworkReply::uploadProgress, &loop,
                         [this](qint64 now, qint64 total) { Sent(now, total); });
        QObject::connect(m_reply, &QNetworkReply::downloadProgress, &loop,
                         [this](qint64, qint64 total) { m_receiveTotal = total; });
        QObject::connect(m_reply, &QNetworkReply::readyRead, &loop,
                         [this, &response] { Received(response); });
        // An answer that announces more than it may have is not read at all.
        QObject::connect(m_reply, &QNetworkReply::metaDataChanged, &loop, [this] {
            const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
            if (m_end == End::Finished && length.isValid() && length.toLongLong() > Cap())
                Give(End::TooLarge);
        });
        // Nor may the network thread read far ahead of the cap meanwhile.
        m_reply->setReadBufferSize(kReadAheadBytes);
        QTimer heartbeat;
        QObject::connect(&heartbeat, &QTimer::timeout, &loop, [this] { Heartbeat(); });
        QObject::connect(m_reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        heartbeat.start(kHeartbeatMs);
        if (!m_reply->isFinished())
            loop.exec();
        heartbeat.stop();
        if (m_end == End::Finished && m_reply->isOpen()) {
            response += m_reply->readAll();
            if (response.size() > Cap())
                m_end = End::TooLarge;
        }
    }

private:
    void Sent(qint64 now, qint64 total) {
        if (m_end != End::Finished || !m_callback || now <= m_sent)
            return;
        bool cancel = false;
        const qint64 block = now - m_sent;
        m_sent = now;
        if (total > 0)
            m_sendTotal = total;
        m_callback->BlockSent(block, m_sent, m_sendTotal, cancel);
        CancelIfAsked(cancel);
    }

    void Received(QByteArray& response) {
        m_receiving = true;
        const QByteArray block = m_reply->readAll();
        if (block.isEmpty() || m_end != End::Finished)
            return;
        m_received += block.size();
        // Whoever answers decides how much comes; only what an answer can need is read.
        if (m_received > Cap()) {
            Give(End::TooLarge);
            return;
        }
        bool remove = false;
        bool cancel = false;
        if (m_callback)
            m_callback->BlockReceived(block, remove, m_received, m_receiveTotal, cancel);
        if (!remove)
            response += block;
        CancelIfAsked(cancel);
    }

    void Heartbeat() {
        if (m_end != End::Finished)
            return;
        // A trickle never falls silent, so the answer has a deadline of its own.
        if (!m_answerDue.isValid() && (m_body.AllRead() || m_sendTotal == 0))
            m_answerDue.start();
        if (m_outgoing.TimeoutMs > 0 && m_answerDue.isValid() &&
            m_answerDue.hasExpired(m_outgoing.TimeoutMs)) {
            Give(End::Late);
            return;
        }
        if (!m_callback)
            return;
        bool cancel = false;
        if (m_receiving) {
            bool remove = false;
            m_callback->BlockReceived(QByteArray(), remove, m_received, m_receiveTotal, cancel);
        } else {
            m_callback->BlockSent(0, m_sent, m_sendTotal, cancel);
        }
        CancelIfAsked(cancel);
    }

    void CancelIfAsked(bool cancel) {
        if (!cancel || m_end != End::Finished)
            return;
        const bool answerDue = m_body.AllRead() || m_receiving;
        if (answerDue && m_callback->KeepWaitingForAnswer())
            return;
        Give(End::Cancelled);
    }

    void Give(End end) {
        m_end = end;
        m_reply->abort();
    }

    qint64 Cap() const {
        const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        return status == kCreated && m_outgoing.MaxCreatedBytes >= 0 ? m_outgoing.MaxCreatedBytes
                                                                     : m_outgoing.MaxResponseBytes;
    }

    QNetworkReply* m_reply;
    const BodyDevice& m_body;
    const HTTPRequestDetails& m_outgoing;
    IHTTPRequestCallback* m_callback;
    End m_end = End::Finished;
    QElapsedTimer m_answerDue;
    bool m_receiving = false;
    qint64 m_sent = 0;
    qint64 m_sendTotal;
    qint64 m_received = 0;
    qint64 m_receiveTotal = -1;
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

    BodyDevice body(outgoing.Body.Chunks);
    body.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    const QNetworkRequest request = BuildRequest(outgoing, body.size());

    QNetworkAccessManager manager;
    manager.setProxy(Proxy.ToNetworkProxy());
    QNetworkReply* reply = manager.sendCustomRequest(request, outgoing.Verb, &body);
    Transfer transfer(reply, body, outgoing, callback);
    transfer.Run(m_response);
    m_bodySent = body.AllRead();
    switch (transfer.Ending()) {
    case Transfer::End::TooLarge:
        m_errorCode = kTooLarge;
        m_errorText = QStringLiteral("The answer was far longer than an answer of the service "
                                     "can be, so it was not read.");
        m_response.clear();
        break;
    case Transfer::End::Late:
        m_errorCode = kTimedOut;
        m_errorText =
            QStringLiteral("No whole answer within %1 seconds.").arg(outgoing.TimeoutMs / 1000.0);
        m_response.clear();
        break;
    case Transfer::End::Cancelled:
    case Transfer::End::Finished:
        ReadResult(*reply, transfer.Ending() == Transfer::End::Cancelled, outgoing.TimeoutMs);
        break;
    }
    delete reply;
    return m_errorCode == 0;
}

void HTTPRequest::ReadResult(const QNetworkReply& reply, bool cancelled, int timeoutMs) {
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() > 0) {
        m_statusCode = status.toInt();
        m_headers = reply.rawHeaderPairs();
    } else if (cancelled) {
        m_errorCode = kCancelled;
        m_errorText = QStringLiteral("The transfer was cancelled.");
    } else if (reply.error() == QNetworkReply::OperationCanceledError) {
        // Only the transfer timeout cancels a reply besides us.
        m_errorCode = kTimedOut;
        m_errorText = QStringLiteral("No answer within %1 seconds.").arg(timeoutMs / 1000.0);
    } else {
        m_errorCode = reply.error() != QNetworkReply::NoError
                          ? static_cast<int>(reply.error())
                          : static_cast<int>(QNetworkReply::UnknownNetworkError);
        m_errorText = reply.errorString();
    }
}
