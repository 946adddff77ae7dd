#pragma once

#include "store/modServiceSettings.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <QUrlQuery>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class LoopbackRedirect;

// Signs in to the current API through the user's browser (authorization-code grant; the
// browser comes back to http://localhost:PORT/callback, or the user pastes the address it
// ended on) and renews the access token with the refresh token. Every exchange with the
// service goes out through HTTPRequest, so it carries the program's own agent.
class CurrentApiAuth final : public QObject {
    Q_OBJECT
public:
    explicit CurrentApiAuth(const ServiceSettings& settings, QObject* parent = nullptr);
    ~CurrentApiAuth() override;
    Q_DISABLE_COPY_MOVE(CurrentApiAuth)

    // Listens on the redirect port and asks for the browser (OpenBrowser); Finished follows.
    // False, with Failure(), when the sign-in cannot start.
    bool SignIn();
    // The address the browser ended on, for when the browser cannot reach the program.
    // Nothing when it was this sign-in's answer (Finished follows); else why it was not,
    // and the sign-in goes on waiting.
    std::optional<QString> UsePastedAddress(const QString& address);
    // Blocks until the refresh token brought new tokens; false with Failure() otherwise.
    bool Refresh(int timeoutMs);

    // After success: the new tokens (and, after a sign-in, the account's name).
    const ServiceTokens& Tokens() const { return m_tokens; }
    const QString& Failure() const { return m_failure; }
    // The failure was that no answer came (the connection, the certificate, the proxy), so a
    // new sign-in would not help.
    bool NoAnswer() const { return m_noAnswer; }

    // The address the service sends the browser back to; registered with the application.
    static QString RedirectUri(quint16 port);

Q_SIGNALS:
    void OpenBrowser(const QUrl& url);
    // The sign-in is over: with Tokens(), or with Failure().
    void Finished(bool ok);

private:
    using Form = QList<std::pair<QString, QString>>;

    // An answer that came through the browser or was pasted: nothing when it was this
    // sign-in's (Finished follows), else why not. reply gets the browser's page.
    std::optional<QString> TakeAnswer(const QUrlQuery& query,
                                      const std::function<void(const QString&)>& reply);
    bool ExchangeCode(const QString& code);
    bool RequestTokens(const Form& form, int timeoutMs);
    void Finish(bool ok, const QString& failure = QString());

    ServiceSettings m_settings;
    std::unique_ptr<LoopbackRedirect> m_redirect;
    QString m_state;
    ServiceTokens m_tokens;
    QString m_failure;
    bool m_waiting = false;
    bool m_noAnswer = false;
};
