#include "service/modApiSession.h"

#include "components/HTTPRequest.h"
#include "service/CurrentApiAuth.h"

namespace {

constexpr int kUnauthorized = 401;

} // namespace

QString SignInAgainText() {
    return QStringLiteral("Sign in again: \"Proxy\", then \"Sign in\" under the current API.");
}

std::optional<QString> SendSignedIn(HTTPRequest& request,
                                    const std::function<void(const QString& accessToken)>& send,
                                    int timeoutMs) {
    ServiceSettings settings = LoadServiceSettings();
    if (!settings.Tokens.SignedIn())
        return QStringLiteral("Not signed in to the current API. ") + SignInAgainText();
    bool renewed = false;
    const auto renew = [&]() -> std::optional<QString> {
        CurrentApiAuth auth(settings);
        if (!auth.Refresh(timeoutMs))
            return QStringLiteral("The sign-in could not be renewed. ") + auth.Failure() +
                   QLatin1Char(' ') + SignInAgainText();
        settings.Tokens = auth.Tokens();
        SaveServiceTokens(settings.Tokens);
        renewed = true;
        return std::nullopt;
    };
    if (settings.Tokens.AccessToken.isEmpty() || settings.Tokens.Expired()) {
        if (std::optional<QString> failure = renew())
            return failure;
    }
    send(settings.Tokens.AccessToken);
    // A refused token means nothing was made, so the request may go out once more.
    if (request.ErrorCode() == 0 && request.StatusCode() == kUnauthorized && !renewed &&
        !settings.Tokens.RefreshToken.isEmpty()) {
        if (std::optional<QString> failure = renew())
            return failure;
        send(settings.Tokens.AccessToken);
    }
    if (request.ErrorCode() == 0 && request.StatusCode() == kUnauthorized)
        return QStringLiteral("The service no longer accepts the sign-in. ") + SignInAgainText();
    return std::nullopt;
}
