#include "service/CurrentApiAuth.h"

#include "components/ComponentError.h"
#include "components/HTTPRequest.h"
#include "service/LoopbackRedirect.h"
#include "service/modApiHost.h"
#include "service/modCurrentApi.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTimer>

namespace {

constexpr int kSignInTimeoutMs = 30000; // for each exchange with the service, not the browser
constexpr int kStateBytes = 32;
const QString kScope = QStringLiteral("basic write offline_access");

// Long and from the system's generator, so nobody can guess it, even one who reads the
// browser's command line.
QString NewState() {
    QByteArray bytes(kStateBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()),
                                          kStateBytes / sizeof(quint32));
    return QString::fromLatin1(
        bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

// application/x-www-form-urlencoded; QUrlQuery would leave "+" as it is, which reads as a
// blank there.
QByteArray FormBody(const QList<std::pair<QString, QString>>& form) {
    QByteArray body;
    for (const auto& [name, value] : form) {
        if (!body.isEmpty())
            body += '&';
        body += QUrl::toPercentEncoding(name) + '=' + QUrl::toPercentEncoding(value);
    }
    return body;
}

// The token endpoint's words for a refusal.
QString TokenErrorText(const QByteArray& answer) {
    const QJsonObject json = QJsonDocument::fromJson(answer).object();
    const QString description = json.value(QStringLiteral("error_description")).toString();
    if (!description.isEmpty())
        return description;
    const QString error = json.value(QStringLiteral("error")).toString();
    return error.isEmpty() ? ApiErrorText(answer) : error;
}

QString Value(const QUrlQuery& query, const QString& key) {
    return query.queryItemValue(key, QUrl::FullyDecoded);
}

} // namespace

CurrentApiAuth::CurrentApiAuth(const ServiceSettings& settings, QObject* parent)
    : QObject(parent), m_settings(settings) {}

CurrentApiAuth::~CurrentApiAuth() = default;

QString CurrentApiAuth::RedirectUri(quint16 port) {
    return QStringLiteral("http://localhost:%1%2").arg(port).arg(LoopbackRedirect::CallbackPath());
}

bool CurrentApiAuth::SignIn() {
    m_failure.clear();
    QUrl authorize;
    try {
        authorize = CurrentAuthBase();
    } catch (const ComponentError& error) {
        m_failure = error.Description();
        return false;
    }
    m_redirect = std::make_unique<LoopbackRedirect>(
        m_settings.RedirectPort,
        [this](const QUrlQuery& query, const LoopbackRedirect::Reply& reply) {
            TakeAnswer(query, reply);
        });
    if (!m_redirect->Listen()) {
        m_failure = m_redirect->Failure();
        m_redirect.reset();
        return false;
    }
    m_state = NewState();
    m_waiting = true;
    authorize.setPath(QStringLiteral("/oauth2/authorize"));
    const QByteArray query =
        FormBody({{QStringLiteral("response_type"), QStringLiteral("code")},
                  {QStringLiteral("client_id"), m_settings.ConsumerKey},
                  {QStringLiteral("redirect_uri"), RedirectUri(m_settings.RedirectPort)},
                  {QStringLiteral("scope"), kScope},
                  {QStringLiteral("state"), m_state}});
    authorize.setQuery(QString::fromLatin1(query), QUrl::StrictMode);
    Q_EMIT OpenBrowser(authorize);
    return true;
}

std::optional<QString> CurrentApiAuth::UsePastedAddress(const QString& address) {
    const QUrl url = QUrl::fromUserInput(address.trimmed());
    return TakeAnswer(QUrlQuery(url), [](const QString&) {});
}

std::optional<QString>
CurrentApiAuth::TakeAnswer(const QUrlQuery& query,
                           const std::function<void(const QString&)>& reply) {
    const QString notSignedIn =
        QStringLiteral("Marivane was not signed in. You can close this page.");
    QString refusal;
    if (!m_waiting)
        refusal = QStringLiteral("This sign-in is over. You can close this page.");
    // Only an answer that carries this sign-in's state may end it, whatever else it says.
    else if (Value(query, QStringLiteral("state")) != m_state)
        refusal = QStringLiteral("This answer does not belong to the sign-in under way (its "
                                 "state differs), so it was not accepted.");
    if (!refusal.isEmpty()) {
        reply(refusal);
        return refusal;
    }
    m_waiting = false;
    if (query.hasQueryItem(QStringLiteral("error"))) {
        const QString description = Value(query, QStringLiteral("error_description"));
        Finish(false,
               QStringLiteral("The access was not granted: ") +
                   (description.isEmpty() ? Value(query, QStringLiteral("error")) : description));
        reply(notSignedIn);
        return std::nullopt;
    }
    const QString code = Value(query, QStringLiteral("code"));
    if (code.isEmpty()) {
        Finish(false, QStringLiteral("The answer that came back through the browser holds no "
                                     "code."));
        reply(notSignedIn);
        return std::nullopt;
    }
    // Not inside the listener's or the button's own call: the exchange waits on the network.
    // The browser's page says how it ended only once it has.
    QTimer::singleShot(0, this, [this, code, reply, notSignedIn] {
        reply(ExchangeCode(code) ? QStringLiteral("Marivane is signed in. You can close this page.")
                                 : notSignedIn);
    });
    return std::nullopt;
}

bool CurrentApiAuth::ExchangeCode(const QString& code) {
    // The redirect address goes again, exactly as the authorization request named it.
    if (!RequestTokens({{QStringLiteral("grant_type"), QStringLiteral("authorization_code")},
                        {QStringLiteral("code"), code},
                        {QStringLiteral("client_id"), m_settings.ConsumerKey},
                        {QStringLiteral("client_secret"), m_settings.ConsumerSecret},
                        {QStringLiteral("redirect_uri"), RedirectUri(m_settings.RedirectPort)}},
                       kSignInTimeoutMs)) {
        Finish(false, m_failure);
        return false;
    }
    try {
        HTTPRequest request;
        if (const std::optional<ApiUser> user =
                FetchUser(request, m_tokens.AccessToken, kSignInTimeoutMs, nullptr))
            m_tokens.AccountName = user->Name;
    } catch (const ComponentError&) {
        // The tokens came from the same address; the name is only for show.
    }
    Finish(true);
    return true;
}

bool CurrentApiAuth::Refresh(int timeoutMs) {
    m_failure.clear();
    if (m_settings.Tokens.RefreshToken.isEmpty()) {
        m_failure = QStringLiteral("There is no sign-in to renew.");
        return false;
    }
    // Exactly the four parameters the service lists for a refresh.
    return RequestTokens({{QStringLiteral("grant_type"), QStringLiteral("refresh_token")},
                          {QStringLiteral("client_id"), m_settings.ConsumerKey},
                          {QStringLiteral("client_secret"), m_settings.ConsumerSecret},
                          {QStringLiteral("refresh_token"), m_settings.Tokens.RefreshToken}},
                         timeoutMs);
}

bool CurrentApiAuth::RequestTokens(const Form& form, int timeoutMs) {
    HTTPRequestDetails outgoing;
    try {
        outgoing.Url = CurrentApiBase();
    } catch (const ComponentError& error) {
        m_failure = error.Description();
        return false;
    }
    outgoing.Url.setPath(QStringLiteral("/v2/oauth2/token"));
    outgoing.ContentType = "application/x-www-form-urlencoded";
    outgoing.Body = HTTPFormBody{{FormBody(form)}};
    outgoing.Agent = ApiAgent();
    outgoing.TimeoutMs = timeoutMs;
    HTTPRequest request;
    request.Proxy.Load();
    request.SendRequest(outgoing, nullptr);
    m_noAnswer = request.ErrorCode() != 0;
    if (m_noAnswer) {
        m_failure = request.ErrorText();
        return false;
    }
    if (request.StatusCode() != 200) {
        m_failure = QStringLiteral("The service refused (%1): ").arg(request.StatusCode()) +
                    TokenErrorText(request.ResponseBytes());
        return false;
    }
    const QJsonObject json = QJsonDocument::fromJson(request.ResponseBytes()).object();
    const QString access = json.value(QStringLiteral("access_token")).toString();
    if (access.isEmpty()) {
        m_failure = QStringLiteral("The service's answer held no tokens.");
        return false;
    }
    m_tokens.AccessToken = access;
    // A service that keeps the refresh token sends none back.
    const QString refresh = json.value(QStringLiteral("refresh_token")).toString();
    m_tokens.RefreshToken = refresh.isEmpty() ? m_settings.Tokens.RefreshToken : refresh;
    const qint64 lifetime = json.value(QStringLiteral("expires_in")).toInteger();
    m_tokens.Expires =
        lifetime > 0 ? QDateTime::currentDateTimeUtc().addSecs(lifetime) : QDateTime();
    m_tokens.AccountName = m_settings.Tokens.AccountName;
    return true;
}

void CurrentApiAuth::Finish(bool ok, const QString& failure) {
    m_waiting = false;
    m_failure = ok ? QString() : failure;
    if (!ok && m_failure.isEmpty())
        m_failure = QStringLiteral("The service gave no reason.");
    // Nobody else may answer on the port; a page being written still gets out.
    if (m_redirect)
        m_redirect->Close();
    Q_EMIT Finished(ok);
}
