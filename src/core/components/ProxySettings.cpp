#include "components/ProxySettings.h"

#include "components/ComponentError.h"
#include "components/PortNumber.h"
#include "components/Settings.h"
#include "components/modPasswordCryptor.h"

bool ProxySettings::Load() {
    try {
        const SettingsStore store;
        const qint32 type = Settings::ProxyType.Get(store);
        const qint32 port = Settings::ProxyPort.Get(store);
        ProxySettings loaded;
        if (type == static_cast<int>(Kind::Http) || type == static_cast<int>(Kind::Socks5))
            loaded.Type = static_cast<Kind>(type);
        loaded.Host = Settings::ProxyHost.Get(store);
        loaded.Port = PortNumber(port).value_or(0);
        loaded.User = Settings::ProxyUser.Get(store);
        loaded.Password = DecryptPassword(Settings::ProxyPassword.Get(store));
        *this = loaded;
        return true;
    } catch (const ComponentError&) {
        return false;
    }
}

void ProxySettings::Write() const {
    SettingsStore store(SettingsStore::Writes::OnCommit);
    Settings::ProxyType.Save(store, static_cast<int>(Type));
    Settings::ProxyHost.Save(store, Host);
    Settings::ProxyPort.Save(store, static_cast<int>(Port));
    Settings::ProxyUser.Save(store, User);
    Settings::ProxyPassword.Save(store, EncryptPassword(Password));
    store.Commit();
}

bool ProxySettings::Save() const {
    try {
        Write();
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
