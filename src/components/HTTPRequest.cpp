#include "components/HTTPRequest.h"

#include "components/BodyDevice.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace {

constexpr int kHeartbeatMs = 100;

} // namespace

QString HTTPRequest::GetAgentName(const QString& application) {
    return application + QStringLiteral("/1.0 (Linux; Qt %1)").arg(QString::fromLatin1(qVersion()));
}

bool HTTPRequest::SendRequest(const QString& host, quint16 port, const QString& verb,
                              const QString& path, const QString& version,
                              const QByteArray& formText1, const HTTPFormBody& formText2,
                              int timeoutMs, const QString& agent, IHTTPRequestCallback* callback) {
    m_statusCode = 0;
    m_errorCode = 0;
    m_response.clear();
    m_errorText.clear();

    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(host);
    url.setPort(port);
    url.setPath(path);

    BodyDevice body(formText2.Chunks);
    body.open(QIODevice::ReadOnly | QIODevice::Unbuffered);

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    // Only HTTP/1.x is spoken.
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute,
                         !version.startsWith(QStringLiteral("HTTP/1")));
    request.setHeader(QNetworkRequest::ContentTypeHeader, formText1);
    request.setHeader(QNetworkRequest::ContentLengthHeader, body.size());
    request.setHeader(QNetworkRequest::UserAgentHeader, agent);
    request.setTransferTimeout(timeoutMs);

    QNetworkAccessManager manager;
    manager.setProxy(Proxy.ToNetworkProxy());
    QNetworkReply* reply = manager.sendCustomRequest(request, verb.toLatin1(), &body);

    QEventLoop loop;
    bool cancelled = false;
    qint64 sent = 0;
    qint64 sendTotal = body.size();
    qint64 received = 0;
    qint64 receiveTotal = -1;
    bool receiving = false;

    const auto cancelIfAsked = [&](bool cancel) {
        if (cancel && !cancelled) {
            cancelled = true;
            reply->abort();
        }
    };
    QObject::connect(reply, &QNetworkReply::uploadProgress, &loop, [&](qint64 now, qint64 total) {
        if (cancelled || !callback || now <= sent)
            return;
        bool cancel = false;
        const qint64 block = now - sent;
        sent = now;
        if (total > 0)
            sendTotal = total;
        callback->BlockSent(block, sent, sendTotal, cancel);
        cancelIfAsked(cancel);
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop,
                     [&](qint64, qint64 total) { receiveTotal = total; });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        receiving = true;
        const QByteArray block = reply->readAll();
        if (block.isEmpty() || cancelled)
            return;
        received += block.size();
        bool remove = false;
        bool cancel = false;
        if (callback)
            callback->BlockReceived(block, remove, received, receiveTotal, cancel);
        if (!remove)
            m_response += block;
        cancelIfAsked(cancel);
    });
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, &loop, [&] {
        if (cancelled || !callback)
            return;
        bool cancel = false;
        if (receiving) {
            bool remove = false;
            callback->BlockReceived(QByteArray(), remove, received, receiveTotal, cancel);
        } else {
            callback->BlockSent(0, sent, sendTotal, cancel);
        }
        cancelIfAsked(cancel);
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    heartbeat.start(kHeartbeatMs);
    if (!reply->isFinished())
        loop.exec();
    heartbeat.stop();

    if (!cancelled && reply->isOpen())
        m_response += reply->readAll();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() > 0) {
        m_statusCode = status.toInt();
    } else if (cancelled) {
        m_errorCode = kCancelled;
        m_errorText = QStringLiteral("The transfer was cancelled.");
    } else if (reply->error() == QNetworkReply::OperationCanceledError) {
        // Only the transfer timeout cancels a reply besides us.
        m_errorCode = kTimedOut;
        m_errorText = QStringLiteral("No answer within %1 seconds.").arg(timeoutMs / 1000.0);
    } else {
        m_errorCode = reply->error() != QNetworkReply::NoError
                          ? static_cast<int>(reply->error())
                          : static_cast<int>(QNetworkReply::UnknownNetworkError);
        m_errorText = reply->errorString();
    }
    delete reply;
    return m_errorCode == 0;
}
