#include "service/modApiSession.h"

#include "components/ComponentError.h"
#include "components/HTTPRequest.h"
#include "service/CurrentApiAuth.h"

namespace {

constexpr int kUnauthorized = 401;

} // namespace

QString SignedInFailure(const ComponentError& error, const QString& failure) {
    return error.Number() == ErrorNumber::Settings ? QStringLiteral("Can't save settings.")
                                                   : failure;
}

QString SignInAgainText() {
    return QStringLiteral("Sign in again: \"Proxy\", then \"Sign in\" under the current API.");
}

std::optional<SignInFailure>
SendSignedIn(HTTPRequest& request, const std::function<void(const QString& accessToken)>& send,
             int timeoutMs) {
    ServiceSettings settings = LoadServiceSettings();
    if (!settings.Tokens.SignedIn())
        return SignInFailure{QStringLiteral("Not signed in to the current API. ") +
                             SignInAgainText()};
    bool renewed = false;
    const auto renew = [&]() -> std::optional<SignInFailure> {
        CurrentApiAuth auth(settings);
        if (!auth.Refresh(timeoutMs) && auth.NoAnswer())
            return SignInFailure{QStringLiteral("The sign-in could not be renewed, since the "
                                                "service did not answer: ") +
                                     auth.Failure() +
                                     QStringLiteral(" Check the connection and the proxy, then "
                                                    "send again."),
                                 false};
        if (!auth.Failure().isEmpty())
            return SignInFailure{QStringLiteral("The sign-in could not be renewed. ") +
                                 auth.Failure() + QLatin1Char(' ') + SignInAgainText()};
        settings.Tokens = auth.Tokens();
        renewed = true;
        // The service has retired the old refresh token: new ones that are not kept would
        // sign the user out at the next start without a word.
        try {
            StoreServiceTokens(settings.Tokens);
        } catch (const ComponentError& error) {
            throw ComponentError(error.Number(),
                                 error.Description() +
                                     QStringLiteral(" The renewed sign-in can't be kept, so "
                                                    "nothing more is sent. ") +
                                     SignInAgainText());
        }
        return std::nullopt;
    };
    if (settings.Tokens.AccessToken.isEmpty() || settings.Tokens.Expired()) {
        if (std::optional<SignInFailure> failure = renew())
            return failure;
    }
    send(settings.Tokens.AccessToken);
    // A refused token means nothing was made, so the request may go out once more.
    if (request.ErrorCode() == 0 && request.StatusCode() == kUnauthorized && !renewed &&
        !settings.Tokens.RefreshToken.isEmpty()) {
        if (std::optional<SignInFailure> failure = renew())
            return failure;
        send(settings.Tokens.AccessToken);
    }
    if (request.ErrorCode() == 0 && request.StatusCode() == kUnauthorized)
        return SignInFailure{QStringLiteral("The service no longer accepts the sign-in. ") +
                             SignInAgainText()};
    return std::nullopt;
}
