#pragma once

#include <QString>

class SettingsStore;

// The service account that the send mode and the groups fetch remember between runs: the
// e-mail as typed, the password scrambled.
struct RememberedAccount {
    QString EMail;
    QString Password;
};

RememberedAccount LoadAccount(const SettingsStore& store);
void SaveAccount(SettingsStore& store, const RememberedAccount& account);
