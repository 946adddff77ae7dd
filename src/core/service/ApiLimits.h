#pragma once

#include <QDateTime>
#include <QString>

class HTTPRequest;

// Which of the service's limits an answer of the current API names, in words, with when it
// resets where the answer tells; empty when the answer is not about a limit. The error
// codes and texts of the body come first, then the x-ratelimit-* headers of a 429.
QString LimitReached(const HTTPRequest& request,
                     const QDateTime& now = QDateTime::currentDateTime());
