#include "store/modAccount.h"

#include "components/Settings.h"
#include "components/modPasswordCryptor.h"

RememberedAccount LoadAccount(const SettingsStore& store) {
    return {Settings::EMail.Read(store), DecryptPassword(Settings::Password.Read(store))};
}

void SaveAccount(SettingsStore& store, const RememberedAccount& account) {
    Settings::EMail.Save(store, account.EMail);
    Settings::Password.Save(store, EncryptPassword(account.Password));
}
