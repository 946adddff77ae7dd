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

// Each key alone, so one damaged value costs only itself.
template <typename Read> void Try(Read read) {
    try {
        read();
    } catch (const ComponentError&) {
    }
}

} // namespace

bool ServiceTokens::Expired(const QDateTime& nowUtc) const {
    return Expires.isValid() && Expires.addSecs(-kExpiryMarginSeconds) <= nowUtc;
}

ServiceSettings LoadServiceSettings() {
    ServiceSettings settings;
    try {
        const SettingsStore store;
        Try([&] {
            if (store.GetLong(kService, 0) == static_cast<int>(ServiceKind::CurrentApi))
                settings.Service = ServiceKind::CurrentApi;
        });
        Try([&] {
            const qint32 port = store.GetLong(kRedirectPort, kDefaultRedirectPort);
            if (port > 0 && port <= 65535)
                settings.RedirectPort = static_cast<quint16>(port);
        });
        settings.ConsumerKey = store.GetText(kConsumerKey);
        settings.ConsumerSecret = DecryptPassword(store.GetText(kConsumerSecret));
        settings.Tokens.AccessToken = DecryptPassword(store.GetText(kAccessToken));
        settings.Tokens.RefreshToken = DecryptPassword(store.GetText(kRefreshToken));
        settings.Tokens.Expires =
            QDateTime::fromString(store.GetText(kTokenExpires), Qt::ISODate).toUTC();
        settings.Tokens.AccountName = store.GetText(kAccountName);
    } catch (const ComponentError&) {
        // Text values only fail when the file holds something that is not text.
    }
    return settings;
}

bool SaveServiceChoice(const ServiceSettings& settings) {
    try {
        SettingsStore store;
        store.SaveLong(kService, static_cast<int>(settings.Service));
        store.SaveText(kConsumerKey, settings.ConsumerKey);
        store.SaveText(kConsumerSecret, EncryptPassword(settings.ConsumerSecret));
        store.SaveLong(kRedirectPort, settings.RedirectPort);
        return true;
    } catch (const ComponentError&) {
        return false;
    }
}

bool SaveServiceTokens(const ServiceTokens& tokens) {
    try {
        SettingsStore store;
        if (!tokens.SignedIn()) {
            for (const QString& key : {kAccessToken, kRefreshToken, kTokenExpires, kAccountName})
                store.Remove(key);
            return true;
        }
        store.SaveText(kAccessToken, EncryptPassword(tokens.AccessToken));
        store.SaveText(kRefreshToken, EncryptPassword(tokens.RefreshToken));
        store.SaveText(kTokenExpires, tokens.Expires.isValid()
                                          ? tokens.Expires.toUTC().toString(Qt::ISODate)
                                          : QString());
        store.SaveText(kAccountName, tokens.AccountName);
        return true;
    } catch (const ComponentError&) {
        return false;
    }
}
