#include "service/CurrentApiAuth.h"

#include "components/ComponentError.h"
#include "components/HTTPRequest.h"
#include "components/ProxySettings.h"
#include "service/modApiHost.h"
#include "service/modCurrentApi.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QOAuthHttpServerReplyHandler>
#include <QOAuthOobReplyHandler>
#include <QTimer>

namespace {

constexpr int kSignInTimeoutMs = 30000; // for each exchange with the service, not the browser
const QString kCallbackPath = QStringLiteral("/callback");

// The token endpoint's words for a refusal.
QString TokenErrorText(const QByteArray& answer) {
    const QJsonObject json = QJsonDocument::fromJson(answer).object();
    const QString description = json.value(QStringLiteral("error_description")).toString();
    if (!description.isEmpty())
        return description;
    const QString error = json.value(QStringLiteral("error")).toString();
    return error.isEmpty() ? ApiErrorText(answer) : error;
}

} // namespace

CurrentApiAuth::CurrentApiAuth(const ServiceSettings& settings, QObject* parent)
    : QObject(parent), m_settings(settings) {
    m_flow.setNetworkAccessManager(&m_manager);
    connect(&m_flow, &QAbstractOAuth::authorizeWithBrowser, this, &CurrentApiAuth::OpenBrowser);
    connect(&m_flow, &QAbstractOAuth::granted, this, &CurrentApiAuth::Granted);
    connect(&m_flow, &QAbstractOAuth2::error, this,
            [this](const QString& error, const QString& description, const QUrl&) {
                Fail(description.isEmpty() ? error : description);
            });
    // The flow only logs a token request that failed; the answer is read here instead.
    connect(&m_manager, &QNetworkAccessManager::finished, this, &CurrentApiAuth::TokenAnswer);
}

CurrentApiAuth::~CurrentApiAuth() = default;

QString CurrentApiAuth::RedirectUri(quint16 port) {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(kCallbackPath);
}

bool CurrentApiAuth::Prepare(int timeoutMs) {
    try {
        QUrl authorize = CurrentAuthBase();
        authorize.setPath(QStringLiteral("/oauth2/authorize"));
        QUrl token = CurrentApiBase();
        token.setPath(QStringLiteral("/v2/oauth2/token"));
        m_flow.setAuthorizationUrl(authorize);
        m_flow.setAccessTokenUrl(token);
    } catch (const ComponentError& error) {
        m_failure = error.Description();
        return false;
    }
    ProxySettings proxy;
    proxy.Load();
    m_manager.setProxy(proxy.ToNetworkProxy());
    // The consumer secret goes to the token address only, never on to another host.
    m_manager.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    m_manager.setTransferTimeout(timeoutMs);
    m_flow.setUserAgent(ApiAgent());
    m_flow.setClientIdentifier(m_settings.ConsumerKey);
    m_flow.setClientIdentifierSharedKey(m_settings.ConsumerSecret);
    m_flow.setScope(QStringLiteral("basic write offline_access"));
    m_failure.clear();
    m_over = false;
    return true;
}

bool CurrentApiAuth::SignIn() {
    if (!Prepare(kSignInTimeoutMs))
        return false;
    m_signingIn = true;
    m_redirect =
        new QOAuthHttpServerReplyHandler(QHostAddress::LocalHost, m_settings.RedirectPort, this);
    if (!m_redirect->isListening()) {
        m_failure = QStringLiteral("Port %1 on 127.0.0.1 is in use, so the browser cannot come "
                                   "back to the program. Choose another redirect port, and "
                                   "register its address with the application.")
                        .arg(m_settings.RedirectPort);
        return false;
    }
    m_redirect->setCallbackPath(kCallbackPath);
    m_redirect->setCallbackText(
        QStringLiteral("Marivane has the answer. You can close this page."));
    // The flow ignores an answer whose state does not match; the sign-in ends instead.
    connect(m_redirect, &QAbstractOAuthReplyHandler::callbackReceived, this,
            [this](const QVariantMap& values) {
                if (values.contains(QStringLiteral("error")))
                    return;
                if (values.value(QStringLiteral("state")).toString() != m_flow.state())
                    Fail(QStringLiteral("The answer that came back through the browser does not "
                                        "belong to this sign-in (its state differs), so it was "
                                        "refused. Sign in again."));
            });
    m_flow.setReplyHandler(m_redirect);
    m_flow.grant();
    return true;
}

bool CurrentApiAuth::Refresh(int timeoutMs) {
    if (m_settings.Tokens.RefreshToken.isEmpty()) {
        m_failure = QStringLiteral("There is no sign-in to renew.");
        return false;
    }
    if (!Prepare(timeoutMs))
        return false;
    m_signingIn = false;
    m_flow.setReplyHandler(new QOAuthOobReplyHandler(this));
    m_flow.setRefreshToken(m_settings.Tokens.RefreshToken);
    QEventLoop loop;
    connect(this, &CurrentApiAuth::Finished, &loop, &QEventLoop::quit);
    m_flow.refreshAccessToken();
    if (!m_over)
        loop.exec();
    return m_failure.isEmpty();
}

void CurrentApiAuth::Granted() {
    if (m_over)
        return;
    m_tokens.AccessToken = m_flow.token();
    // A service that keeps the refresh token sends none back.
    m_tokens.RefreshToken =
        m_flow.refreshToken().isEmpty() ? m_settings.Tokens.RefreshToken : m_flow.refreshToken();
    m_tokens.Expires = m_flow.expirationAt().toUTC();
    m_tokens.AccountName = m_settings.Tokens.AccountName;
    if (m_signingIn) {
        if (m_redirect)
            m_redirect->close();
        try {
            HTTPRequest request;
            if (const std::optional<ApiUser> user =
                    FetchUser(request, m_tokens.AccessToken, kSignInTimeoutMs, nullptr))
                m_tokens.AccountName = user->Name;
        } catch (const ComponentError&) {
            // The tokens came from the same address; the name is only for show.
        }
    }
    m_over = true;
    Q_EMIT Finished(true);
}

void CurrentApiAuth::Fail(const QString& text) {
    if (m_over)
        return;
    m_over = true;
    m_failure = text.isEmpty() ? QStringLiteral("The service gave no reason.") : text;
    // Later, so the browser that brought a refused answer still gets its page.
    if (m_redirect)
        QTimer::singleShot(0, m_redirect, &QOAuthHttpServerReplyHandler::close);
    Q_EMIT Finished(false);
}

void CurrentApiAuth::TokenAnswer(QNetworkReply* reply) {
    if (reply->url() != m_flow.accessTokenUrl())
        return;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && status == 200) {
        // A 200 without tokens in it never grants, and would leave the caller waiting.
        QTimer::singleShot(0, this, [this] {
            if (!m_over && m_flow.token().isEmpty())
                Fail(QStringLiteral("The service's answer held no tokens."));
        });
        return;
    }
    if (status == 0) {
        Fail(reply->errorString());
        return;
    }
    Fail(QStringLiteral("The service refused (%1): ").arg(status) +
         TokenErrorText(reply->readAll()));
}
