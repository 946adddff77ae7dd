#include "store/modServiceSettings.h"

#include "components/ComponentError.h"
#include "components/PortNumber.h"
#include "components/Settings.h"
#include "components/modPasswordCryptor.h"
#include "store/SecretStore.h"

#include <utility>

namespace {

// A token is refreshed this long before its end, so it does not run out mid-upload.
constexpr int kExpiryMarginSeconds = 60;

// True once the keyring gave the value back; the settings file then forgets its copy.
bool MoveToKeyring(SettingsStore& store, const Setting<QString>& secret, const QString& value) {
    if (!SecretStore::Keep(secret.Key(), value))
        return false;
    secret.Remove(store);
    return true;
}

void SaveSecret(SettingsStore& store, const Setting<QString>& secret, const QString& value) {
    if (!MoveToKeyring(store, secret, value))
        secret.Save(store, EncryptPassword(value));
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
    if (Settings::Service.Read(store) == static_cast<int>(ServiceKind::CurrentApi))
        settings.Service = ServiceKind::CurrentApi;
    settings.RedirectPort =
        PortNumber(Settings::RedirectPort.Read(store)).value_or(kDefaultRedirectPort);
    settings.ConsumerKey = Settings::ConsumerKey.Read(store);
    settings.Tokens.Expires =
        QDateTime::fromString(Settings::TokenExpires.Read(store), Qt::ISODate).toUTC();
    settings.Tokens.AccountName = Settings::AccountName.Read(store);
    // Tokens that a keyring kept through a sign-out made without it are void.
    const bool signedIn = Settings::TokenExpires.IsIn(store);
    settings.SecretsInKeyring = SecretStore::Available();
    for (const auto& [secret, value] :
         {std::pair{&Settings::ConsumerSecret, &settings.ConsumerSecret},
          std::pair{&Settings::AccessToken, &settings.Tokens.AccessToken},
          std::pair{&Settings::RefreshToken, &settings.Tokens.RefreshToken}}) {
        if (secret->IsIn(store)) {
            // Saved while no keyring answered, or before the program used one: the newest.
            *value = DecryptPassword(secret->Read(store));
            settings.SecretsInKeyring =
                settings.SecretsInKeyring && MoveToKeyring(store, *secret, *value);
        } else if (settings.SecretsInKeyring && (secret == &Settings::ConsumerSecret || signedIn)) {
            const std::optional<QString> kept = SecretStore::Read(secret->Key());
            settings.SecretsInKeyring = kept.has_value();
            *value = kept.value_or(QString());
        }
    }
    return settings;
}

bool SaveServiceChoice(const ServiceSettings& settings) {
    try {
        SettingsStore store(SettingsStore::Writes::OnCommit);
        Settings::Service.Save(store, static_cast<int>(settings.Service));
        Settings::ConsumerKey.Save(store, settings.ConsumerKey);
        SaveSecret(store, Settings::ConsumerSecret, settings.ConsumerSecret);
        Settings::RedirectPort.Save(store, settings.RedirectPort);
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
        for (const Setting<QString>* secret : {&Settings::AccessToken, &Settings::RefreshToken})
            SecretStore::Keep(secret->Key(), {});
        for (const Setting<QString>* setting : {&Settings::AccessToken, &Settings::RefreshToken,
                                                &Settings::TokenExpires, &Settings::AccountName})
            setting->Remove(store);
    } else {
        SaveSecret(store, Settings::AccessToken, tokens.AccessToken);
        SaveSecret(store, Settings::RefreshToken, tokens.RefreshToken);
        Settings::TokenExpires.Save(store, tokens.Expires.isValid()
                                               ? tokens.Expires.toUTC().toString(Qt::ISODate)
                                               : QString());
        Settings::AccountName.Save(store, tokens.AccountName);
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
