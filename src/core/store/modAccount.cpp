#include "store/modAccount.h"

#include "components/SettingsStore.h"
#include "components/modPasswordCryptor.h"

RememberedAccount LoadAccount(const SettingsStore& store) {
    return {store.ReadText(QStringLiteral("E-Mail")),
            DecryptPassword(store.ReadText(QStringLiteral("Password")))};
}

void SaveAccount(SettingsStore& store, const RememberedAccount& account) {
    store.SaveText(QStringLiteral("E-Mail"), account.EMail);
    store.SaveText(QStringLiteral("Password"), EncryptPassword(account.Password));
}
