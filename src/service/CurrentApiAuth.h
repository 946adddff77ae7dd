#pragma once

#include "store/modServiceSettings.h"

#include <QNetworkAccessManager>
#include <QOAuth2AuthorizationCodeFlow>
#include <QObject>
#include <QUrl>

class QOAuthHttpServerReplyHandler;

// Signs in to the current API through the user's browser (authorization-code grant with a
// loopback redirect) and renews the access token with the refresh token.
class CurrentApiAuth final : public QObject {
    Q_OBJECT
public:
    explicit CurrentApiAuth(const ServiceSettings& settings, QObject* parent = nullptr);
    ~CurrentApiAuth() override;
    Q_DISABLE_COPY_MOVE(CurrentApiAuth)

    // Listens on the redirect port and asks for the browser (OpenBrowser); Finished follows.
    // False, with Failure(), when the sign-in cannot start.
    bool SignIn();
    // Blocks until the refresh token brought new tokens; false with Failure() otherwise.
    bool Refresh(int timeoutMs);

    // After success: the new tokens (and, after a sign-in, the account's name).
    const ServiceTokens& Tokens() const { return m_tokens; }
    const QString& Failure() const { return m_failure; }

    // The address the service sends the browser back to; registered with the application.
    static QString RedirectUri(quint16 port);

Q_SIGNALS:
    void OpenBrowser(const QUrl& url);
    // The sign-in or refresh is over: with Tokens(), or with Failure().
    void Finished(bool ok);

private:
    bool Prepare(int timeoutMs);
    void Granted();
    void Fail(const QString& text);
    void TokenAnswer(QNetworkReply* reply);

    ServiceSettings m_settings;
    QNetworkAccessManager m_manager;
    QOAuth2AuthorizationCodeFlow m_flow;
    QOAuthHttpServerReplyHandler* m_redirect = nullptr;
    ServiceTokens m_tokens;
    QString m_failure;
    bool m_signingIn = false;
    bool m_over = false;
};
