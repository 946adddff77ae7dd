#include "components/ProxySettings.h"

#include "components/ComponentError.h"
#include "components/PortNumber.h"
#include "components/SettingsStore.h"
#include "components/modPasswordCryptor.h"

bool ProxySettings::Load(const QString& key) {
    try {
        SettingsStore store;
        const qint32 type =
            store.GetValue(key, QStringLiteral("Type"), SettingsStore::Long, 0).toInt();
        const qint32 port =
            store.GetValue(key, QStringLiteral("Port"), SettingsStore::Long, 0).toInt();
        ProxySettings loaded;
        if (type == static_cast<int>(Kind::Http) || type == static_cast<int>(Kind::Socks5))
            loaded.Type = static_cast<Kind>(type);
        loaded.Host =
            store.GetValue(key, QStringLiteral("Host"), SettingsStore::Text, QString()).toString();
        loaded.Port = PortNumber(port).value_or(0);
        loaded.User =
            store.GetValue(key, QStringLiteral("User"), SettingsStore::Text, QString()).toString();
        loaded.Password = DecryptPassword(
            store.GetValue(key, QStringLiteral("Password"), SettingsStore::Text, QString())
                .toString());
        *this = loaded;
        return true;
    } catch (const ComponentError&) {
        return false;
    }
}

void ProxySettings::Write(const QString& key) const {
    SettingsStore store(SettingsStore::Writes::OnCommit);
    store.SaveValue(key, QStringLiteral("Type"), SettingsStore::Long, static_cast<int>(Type));
    store.SaveValue(key, QStringLiteral("Host"), SettingsStore::Text, Host);
    store.SaveValue(key, QStringLiteral("Port"), SettingsStore::Long, static_cast<int>(Port));
    store.SaveValue(key, QStringLiteral("User"), SettingsStore::Text, User);
    store.SaveValue(key, QStringLiteral("Password"), SettingsStore::Text,
                    EncryptPassword(Password));
    store.Commit();
}

bool ProxySettings::Save(const QString& key) const {
    try {
        Write(key);
        return true;
    } catch (const ComponentError&) {
        return false;
    }
}

QNetworkProxy ProxySettings::ToNetworkProxy() const {
    if (Type == Kind::None || Host.isEmpty())
        return QNetworkProxy(QNetworkProxy::NoProxy);
    const auto type = Type == Kind::Http ? QNetworkProxy::HttpProxy : QNetworkProxy::Socks5Proxy;
    return QNetworkProxy(type, Host, Port, User, Password);
}
