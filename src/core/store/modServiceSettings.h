#pragma once

#include "components/Settings.h"

#include <QDateTime>
#include <QString>

// Which of the service's interfaces the send mode and the groups fetch speak.
enum class ServiceKind { Classic = 0, CurrentApi = 1 };

// What signing in to the current API left behind.
struct ServiceTokens {
    QString AccessToken;
    QString RefreshToken;
    QDateTime Expires; // UTC; invalid when the service gave no lifetime
    QString AccountName;

    bool SignedIn() const { return !AccessToken.isEmpty() || !RefreshToken.isEmpty(); }
    // True when the access token is past its lifetime, or about to be.
    bool Expired(const QDateTime& nowUtc = QDateTime::currentDateTimeUtc()) const;
};

// The connection's service part. The consumer secret and the tokens are kept in the
// desktop's keyring; without one, scrambled like the password in the settings file, which
// is private to its owner. The rest is always in the settings file.
struct ServiceSettings {
    ServiceKind Service = ServiceKind::Classic;
    QString ConsumerKey;
    QString ConsumerSecret;
    quint16 RedirectPort = kDefaultRedirectPort;
    ServiceTokens Tokens;
    bool SecretsInKeyring = false; // where the load found them
};

// Defaults for whatever cannot be read. Secrets the settings file still holds move to the
// keyring when one answers, and leave the file once it gave them back.
ServiceSettings LoadServiceSettings();
// The choice, the application's key and secret and the redirect port; false when the
// settings file cannot be written.
bool SaveServiceChoice(const ServiceSettings& settings);
// The tokens, their expiry and the account name; tokens that are not signed in remove
// the keys. Raises ComponentError (ErrorNumber::Settings) when the file cannot be written.
void StoreServiceTokens(const ServiceTokens& tokens);
// The same; false when the settings file cannot be written.
bool SaveServiceTokens(const ServiceTokens& tokens);
