#include "store/modServiceSettings.h"

#include "components/ComponentError.h"
#include "components/PortNumber.h"
#include "components/SettingsStore.h"
#include "components/modPasswordCryptor.h"
#include "store/SecretStore.h"

#include <utility>

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

// True once the keyring gave the value back; the settings file then forgets its copy.
bool MoveToKeyring(SettingsStore& store, const QString& key, const QString& value) {
    if (!SecretStore::Keep(key, value))
        return false;
    store.Remove(key);
    return true;
}

void SaveSecret(SettingsStore& store, const QString& key, const QString& value) {
    if (!MoveToKeyring(store, key, value))
        store.SaveText(key, EncryptPassword(value));
}

} // namespace

bool ServiceTokens::Expired(const QDateTime& nowUtc) const {
    return Expires.isValid() && Expires.addSecs(-kExpiryMarginSeconds) <= nowUtc;
}

ServiceSettings LoadServiceSettings() {
    ServiceSettings settings;
    // Each key alone, so one damaged value costs only itself. Moved secrets leave the file when
    // the store closes; should that fail, the next load moves them again.
    SettingsStore store(SettingsStore::Writes::OnCommit);
    if (store.ReadLong(kService, 0) == static_cast<int>(ServiceKind::CurrentApi))
        settings.Service = ServiceKind::CurrentApi;
    settings.RedirectPort =
        PortNumber(store.ReadLong(kRedirectPort, kDefaultRedirectPort)).value_or(kDefaultRedirectPort);
    settings.ConsumerKey = store.ReadText(kConsumerKey);
    settings.Tokens.Expires =
        QDateTime::fromString(store.ReadText(kTokenExpires), Qt::ISODate).toUTC();
    settings.Tokens.AccountName = store.ReadText(kAccountName);
    // Tokens that a keyring kept through a sign-out made without it are void.
    const bool signedIn = store.Contains(kTokenExpires);
    settings.SecretsInKeyring = SecretStore::Available();
    for (const auto& [key, value] : {std::pair{kConsumerSecret, &settings.ConsumerSecret},
                                     std::pair{kAccessToken, &settings.Tokens.AccessToken},
                                     std::pair{kRefreshToken, &settings.Tokens.RefreshToken}}) {
        if (store.Contains(key)) {
            // Saved while no keyring answered, or before the program used one: the newest.
            *value = DecryptPassword(store.ReadText(key));
            settings.SecretsInKeyring =
                settings.SecretsInKeyring && MoveToKeyring(store, key, *value);
        } else if (settings.SecretsInKeyring && (key == kConsumerSecret || signedIn)) {
            const std::optional<QString> kept = SecretStore::Read(key);
            settings.SecretsInKeyring = kept.has_value();
            *value = kept.value_or(QString());
        }
    }
    return settings;
}

bool SaveServiceChoice(const ServiceSettings& settings) {
    try {
        SettingsStore store(SettingsStore::Writes::OnCommit);
        store.SaveLong(kService, static_cast<int>(settings.Service));
        store.SaveText(kConsumerKey, settings.ConsumerKey);
        SaveSecret(store, kConsumerSecret, settings.ConsumerSecret);
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
        // A keyring that does not answer keeps its tokens, void without the expiry.
        for (const QString& key : {kAccessToken, kRefreshToken})
            SecretStore::Keep(key, {});
        for (const QString& key : {kAccessToken, kRefreshToken, kTokenExpires, kAccountName})
            store.Remove(key);
    } else {
        SaveSecret(store, kAccessToken, tokens.AccessToken);
        SaveSecret(store, kRefreshToken, tokens.RefreshToken);
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
