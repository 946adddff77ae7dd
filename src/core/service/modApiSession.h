#pragma once

#include <QString>
#include <functional>
#include <optional>

class ComponentError;
class HTTPRequest;

// Text for the user whenever the current API's sign-in can no longer be used.
QString SignInAgainText();

// The message for an error SendSignedIn raised: the settings' own for tokens that could not
// be saved, else the caller's.
QString SignedInFailure(const ComponentError& error, const QString& failure);

// Why the stored sign-in could not be used. NeedsPerson: only signing in again helps, so a run
// without a window cannot go on; otherwise a later try may work.
struct SignInFailure {
    QString Text;
    bool NeedsPerson = true;
};

// Runs a request of the current API under the stored sign-in. The access token is renewed
// first when it has run out, and once more, with the request repeated once, when the
// service answers 401. New tokens are saved at once, since the service retires the old
// refresh token; when they cannot be saved, ComponentError (ErrorNumber::Settings) is
// raised before the request goes out. Nothing when the request was made (its outcome is in the
// request); else why the sign-in could not be used.
std::optional<SignInFailure>
SendSignedIn(HTTPRequest& request, const std::function<void(const QString& accessToken)>& send,
             int timeoutMs);
