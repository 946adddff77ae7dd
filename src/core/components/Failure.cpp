#include "components/Failure.h"

#include "components/ComponentError.h"
#include "components/HTTPRequest.h"

Failure FailureOf(const ComponentError& error, const QString& message) {
    return {message,
            QStringLiteral("Error 0x%1: %2")
                .arg(error.Number(), 8, 16, QLatin1Char('0'))
                .arg(error.Description()),
            error.Number()};
}

Failure RequestFailure(const HTTPRequest& request, const QString& message) {
    return {message,
            request.ErrorCode() != 0
                ? QStringLiteral("Error %1: %2").arg(request.ErrorCode()).arg(request.ErrorText())
                : QStringLiteral("HTTP status %1").arg(request.StatusCode())};
}

QString AboutPath(const QString& path, const QString& message) {
    return path + QStringLiteral("\r\n\r\n") + message;
}
