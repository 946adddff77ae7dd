#include "store/modServiceSettings.h"

#include "components/ComponentError.h"
#include "components/SettingsStore.h"
#include "components/modPasswordCryptor.h"

namespace {

const QString kService = QStringLiteral("Service");
const QString kConsumerKey = QStringLiteral("Consumer Key");
const QString kConsumerSecret = QStringLiteral("Consumer Secret");
const QString kRedirectPort = QStringLiteral("Redirect Port");
const QString kAccessToken = QStringLiteral("Access Token");
const QString kRefreshToken = QStringLiteral("Refresh Token");
const QString kTokenExpires = QStringLiteral("Token Expires");
const QString kAccountName = QStringLiteral("Account Name");

// A token is refreshed this long before its end, so it does not run out mid-upload.
constexpr int kExpiryMarginSeconds = 60;

} // namespace

bool ServiceTokens::Expired(const QDateTime& nowUtc) const {
    return Expires.isValid() && Expires.addSecs(-kExpiryMarginSeconds) <= nowUtc;
}

ServiceSettings LoadServiceSettings() {
    ServiceSettings settings;
    // Each key alone, so one damaged value costs only itself.
    const SettingsStore store;
    if (store.ReadLong(kService, 0) == static_cast<int>(ServiceKind::CurrentApi))
        settings.Service = ServiceKind::CurrentApi;
    const qint32 port = store.ReadLong(kRedirectPort, kDefaultRedirectPort);
    if (port > 0 && port <= 65535)
        settings.RedirectPort = static_cast<quint16>(port);
    settings.ConsumerKey = store.ReadText(kConsumerKey);
    settings.ConsumerSecret = DecryptPassword(store.ReadText(kConsumerSecret));
    settings.Tokens.AccessToken = DecryptPassword(store.ReadText(kAccessToken));
    settings.Tokens.RefreshToken = DecryptPassword(store.ReadText(kRefreshToken));
    settings.Tokens.Expires =
        QDateTime::fromString(store.ReadText(kTokenExpires), Qt::ISODate).toUTC();
    settings.Tokens.AccountName = store.ReadText(kAccountName);
    return settings;
}

bool SaveServiceChoice(const ServiceSettings& settings) {
    try {
        SettingsStore store(SettingsStore::Writes::OnCommit);
        store.SaveLong(kService, static_cast<int>(settings.Service));
        store.SaveText(kConsumerKey, settings.ConsumerKey);
        store.SaveText(kConsumerSecret, EncryptPassword(settings.ConsumerSecret));
        store.SaveLong(kRedirectPort, settings.RedirectPort);
        store.Commit();
        return true;
    } catch (const ComponentError&) {
        return false;
    }
}

void StoreServiceTokens(const ServiceTokens& tokens) {
    SettingsStore store(SettingsStore::Writes::OnCommit);
    if (!tokens.SignedIn()) {
        for (const QString& key : {kAccessToken, kRefreshToken, kTokenExpires, kAccountName})
            store.Remove(key);
    } else {
        store.SaveText(kAccessToken, EncryptPassword(tokens.AccessToken));
        store.SaveText(kRefreshToken, EncryptPassword(tokens.RefreshToken));
        store.SaveText(kTokenExpires, tokens.Expires.isValid()
                                          ? tokens.Expires.toUTC().toString(Qt::ISODate)
                                          : QString());
        store.SaveText(kAccountName, tokens.AccountName);
    }
    store.Commit();
}

bool SaveServiceTokens(const ServiceTokens& tokens) {
    try {
        StoreServiceTokens(tokens);
        return true;
    } catch (const ComponentError&) {
        return false;
    }
}
