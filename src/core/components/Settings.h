#pragma once

#include "components/SettingsStore.h"

#include <QByteArray>
#include <QString>
#include <type_traits>
#include <utility>

// One setting of the program: where it is kept, the kind it is kept as, and what a missing
// one stands for. Each window reads and saves its settings through these, in a store it
// opened, so one window's save still commits as one write.
template <typename T> class Setting final {
    static_assert(std::is_same_v<T, QString> || std::is_same_v<T, qint32> ||
                      std::is_same_v<T, bool> || std::is_same_v<T, QByteArray>,
                  "a setting is text, a number, a yes/no or opaque bytes");

public:
    Setting(const char* key, T defaultValue = T(), const char* section = "")
        : m_key(QString::fromLatin1(key)), m_section(QString::fromLatin1(section)),
          m_default(std::move(defaultValue)) {}

    const QString& Key() const { return m_key; }
    const T& Default() const { return m_default; }

    // The default for a value that is missing or cannot be read as its kind.
    T Read(const SettingsStore& store) const { return Read(store, m_default); }
    T Read(const SettingsStore& store, const T& fallback) const {
        if constexpr (std::is_same_v<T, QByteArray>)
            return store.Contains(m_key) ? store.GetBytes(m_key) : fallback;
        else
            return qvariant_cast<T>(store.ReadValue(m_section, m_key, kKind, fallback));
    }
    // As Read, but a value that cannot be read raises ComponentError.
    T Get(const SettingsStore& store) const {
        if constexpr (std::is_same_v<T, QByteArray>)
            return Read(store);
        else
            return qvariant_cast<T>(store.GetValue(m_section, m_key, kKind, m_default));
    }
    void Save(SettingsStore& store, const T& value) const {
        if constexpr (std::is_same_v<T, QByteArray>)
            store.SaveBytes(m_key, value);
        else
            store.SaveValue(m_section, m_key, kKind, value);
    }
    // Only for settings outside a section, as the store knows no others.
    bool IsIn(const SettingsStore& store) const { return store.Contains(m_key); }
    void Remove(SettingsStore& store) const { store.Remove(m_key); }

private:
    static constexpr SettingsStore::Kind kKind = std::is_same_v<T, bool>     ? SettingsStore::Bool
                                                 : std::is_same_v<T, qint32> ? SettingsStore::Long
                                                                             : SettingsStore::Text;
    QString m_key;
    QString m_section;
    T m_default;
};

inline constexpr quint16 kDefaultRedirectPort = 8765;

// Every key of the settings file, spelled here alone.
namespace Settings {

// The creator.
inline const Setting<QString> LastCaption{"Last Caption"};
inline const Setting<QString> LastTags{"Last Tags"};
inline const Setting<bool> QuickMode{"Quick Mode", false};
inline const Setting<bool> TagsFromCaption{"Tags From Caption", false};
inline const Setting<QString> Groups{"Groups"};
// -1 is no group chosen.
inline const Setting<qint32> GroupIndex{"Group Index", -1};
inline const Setting<QByteArray> WindowPlacement{"Window placement"};
inline const Setting<QString> LastPictureFolder{"Last open picture dir"};

// The batches.
inline const Setting<QString> LastBatchFolder{"Last batch folder"};
inline const Setting<QString> LastBatchURLs{"Last batch URLs text"};

// The send mode.
inline const Setting<QString> PublishPostOn{"Publish Post On"};
inline const Setting<qint32> LastStateIndex{"Last State Index", 0};

// The classic account; the password scrambled.
inline const Setting<QString> EMail{"E-Mail"};
inline const Setting<QString> Password{"Password"};

// The proxy, in a section of its own; the password scrambled.
inline const Setting<qint32> ProxyType{"Type", 0, "HTTP Proxy"};
inline const Setting<QString> ProxyHost{"Host", {}, "HTTP Proxy"};
inline const Setting<qint32> ProxyPort{"Port", 0, "HTTP Proxy"};
inline const Setting<QString> ProxyUser{"User", {}, "HTTP Proxy"};
inline const Setting<QString> ProxyPassword{"Password", {}, "HTTP Proxy"};

// The service. The secrets share their keys with the keyring's entries.
inline const Setting<qint32> Service{"Service", 0};
inline const Setting<QString> ConsumerKey{"Consumer Key"};
inline const Setting<QString> ConsumerSecret{"Consumer Secret"};
inline const Setting<qint32> RedirectPort{"Redirect Port", kDefaultRedirectPort};
inline const Setting<QString> AccessToken{"Access Token"};
inline const Setting<QString> RefreshToken{"Refresh Token"};
inline const Setting<QString> TokenExpires{"Token Expires"};
inline const Setting<QString> AccountName{"Account Name"};

} // namespace Settings
