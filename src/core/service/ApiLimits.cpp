#include "service/ApiLimits.h"

#include "components/HTTPRequest.h"
#include "service/modCurrentApi.h"

#include <QLocale>

namespace {

constexpr int kForbidden = 403;
constexpr int kTooManyRequests = 429;

const QString kPictures = QStringLiteral("The day's limit of picture uploads has been reached.");
const QString kPosts = QStringLiteral("The blog's daily posting limit has been reached.");

// The limits the service names by an error code.
QString LimitOfCode(int code) {
    switch (code) {
    case 8004:
        return kPictures;
    case 8022:
        return QStringLiteral("The blog's queue is full: its limit of queued posts has been "
                              "reached.");
    case 8023:
        return kPosts;
    default:
        return {};
    }
}

// A 429 names the daily limits of the account only in its words.
QString LimitOfText(const QString& text) {
    const QString words = text.toLower();
    for (const char* picture : {"photo", "image", "picture", "media", "upload"}) {
        if (words.contains(QLatin1String(picture)))
            return kPictures;
    }
    if (words.contains(QLatin1String("post")))
        return kPosts;
    return {};
}

QString Duration(qint64 seconds) {
    const qint64 minutes = (seconds + 59) / 60;
    if (minutes < 60)
        return QStringLiteral("%1 min").arg(minutes);
    return QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
}

QString ResetsIn(qint64 seconds, const QDateTime& now) {
    if (seconds <= 0)
        return {};
    return QStringLiteral(" It resets in about %1 (at %2).")
        .arg(Duration(seconds),
             QLocale::system().toString(now.addSecs(seconds), QLocale::ShortFormat));
}

// A header's whole number; -1 when it is missing or is no number.
qint64 HeaderNumber(const HTTPRequest& request, const QByteArray& name) {
    bool ok = false;
    const qint64 value = request.ResponseHeader(name).trimmed().toLongLong(&ok);
    return ok ? value : -1;
}

QString LimitOfHeaders(const HTTPRequest& request, const QDateTime& now) {
    struct Window {
        const char* prefix;
        const char* per;
    };
    for (const Window& window :
         {Window{"x-ratelimit-perday-", "a day"}, Window{"x-ratelimit-perhour-", "an hour"}}) {
        const QByteArray prefix(window.prefix);
        if (HeaderNumber(request, prefix + "remaining") != 0)
            continue;
        const qint64 limit = HeaderNumber(request, prefix + "limit");
        return QStringLiteral("The application's limit of requests to the service has been "
                              "reached") +
               (limit > 0 ? QStringLiteral(" (%1 %2).").arg(limit).arg(QLatin1String(window.per))
                          : QStringLiteral(".")) +
               ResetsIn(HeaderNumber(request, prefix + "reset"), now);
    }
    return QStringLiteral("The service's limit of requests has been reached (too many "
                          "requests).") +
           ResetsIn(HeaderNumber(request, "retry-after"), now);
}

} // namespace

QString LimitReached(const HTTPRequest& request, const QDateTime& now) {
    const int status = request.StatusCode();
    if (request.ErrorCode() != 0 || (status != kForbidden && status != kTooManyRequests))
        return {};
    for (int code : ApiErrorCodes(request.ResponseBytes())) {
        const QString limit = LimitOfCode(code);
        if (!limit.isEmpty())
            return limit;
    }
    if (status != kTooManyRequests)
        return {};
    const QString limit = LimitOfText(ApiErrorText(request.ResponseBytes()));
    return limit.isEmpty() ? LimitOfHeaders(request, now) : limit;
}
