#pragma once

#include <QString>
#include <optional>

// The desktop's keyring (the Secret Service, or KWallet) under the program's id, one entry
// per key. Each call waits a few seconds at most for the keyring's answer.
namespace SecretStore {

// Whether a keyring runs on the session bus now and has not failed in this run. None is
// started for the program: one the desktop does not run could only ask for a password of
// its own, or show nothing and never answer.
bool Available();
// The value; empty when the keyring has no such entry; nothing when no keyring answered.
std::optional<QString> Read(const QString& key);
// Keeps the value, or forgets the entry for an empty one; true once the keyring gave the same
// value back.
bool Keep(const QString& key, const QString& value);

} // namespace SecretStore
