#pragma once

#include "components/HTTPFormFields.h"
#include "components/ProxySettings.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

// What a window does while a request it started is under way. Setting Cancel ends
// the request. Both events are also raised every 100 ms while the exchange waits, so
// a stop is served even when the other side stalls.
class IHTTPRequestCallback {
public:
    virtual void BlockSent(qint64 Block, qint64 SentBytes, qint64 TotalBytes, bool& Cancel) = 0;
    // RemoveBlock set: the block is not kept in ResponseText.
    virtual void BlockReceived(const QByteArray& Block, bool& RemoveBlock, qint64 ReceivedBytes,
                               qint64 TotalBytes, bool& Cancel) = 0;
    // Asked when Cancel is set after the whole body went out: true lets the answer come in
    // (still bounded by the timeout), since the other side may already have acted on it.
    virtual bool KeepWaitingForAnswer() const { return false; }

protected:
    ~IHTTPRequestCallback() = default;
};

// A request header beyond those every request carries, such as Authorization.
struct HTTPHeader {
    QByteArray Name;
    QByteArray Value;
};

// What one exchange sends. HTTP/1.1 only.
struct HTTPRequestDetails {
    QUrl Url;
    QByteArray Verb = QByteArrayLiteral("POST");
    // Empty: no Content-Type is sent.
    QByteArray ContentType;
    HTTPFormBody Body;
    QString Agent;
    // The transfer is given up when nothing moves for that long, and the answer when it has
    // not come whole that long after the body went out.
    int TimeoutMs = 0;
    // An answer's body longer than this ends the transfer as an answer not understood; a
    // 201's by MaxCreatedBytes where that is set.
    qint64 MaxResponseBytes = 1024 * 1024;
    qint64 MaxCreatedBytes = -1;
    QList<HTTPHeader> Headers;
};

// One HTTP exchange, on a connection of its own that never sends the body twice. SendRequest
// blocks on the calling (window) thread but keeps its events flowing, so the window repaints
// and its "Stop" works. Redirects are never followed, so the account's password is not sent
// on to another host.
class HTTPRequest final {
public:
    // Set when the request was cancelled by the callback.
    static constexpr int kCancelled = 5;
    // Set when nothing moved for longer than the timeout, or the answer took longer.
    static constexpr int kTimedOut = 4;
    // Set when the answer was longer than the request allowed.
    static constexpr int kTooLarge = 6;

    ProxySettings Proxy;

    int StatusCode() const { return m_statusCode; }
    // Non-zero when no HTTP answer came (no connection, cancelled, timed out, dropped).
    int ErrorCode() const { return m_errorCode; }
    // The body as received, one character per byte.
    QString ResponseText() const { return QString::fromLatin1(m_response); }
    const QByteArray& ResponseBytes() const { return m_response; }
    // A header of the answer, by its name in any case; empty when it did not come.
    QByteArray ResponseHeader(const QByteArray& name) const;
    // What went wrong, in words, when ErrorCode is non-zero.
    const QString& ErrorText() const { return m_errorText; }
    // The whole body went out, so the other side may have acted on it even without an answer.
    bool BodySent() const { return m_bodySent; }

    static QString GetAgentName(const QString& application);

    // Returns true when an HTTP answer came.
    bool SendRequest(const HTTPRequestDetails& outgoing, IHTTPRequestCallback* callback);

private:
    int m_statusCode = 0;
    int m_errorCode = 0;
    bool m_bodySent = false;
    QByteArray m_response;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    QString m_errorText;
};
