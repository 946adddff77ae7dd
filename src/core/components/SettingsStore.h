#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <memory>

class QSettings;

// The program's settings: an INI file of its own, readable by its owner only.
// A value that cannot be read as the asked kind (Get*), or a failed write, raises
// ComponentError; the Read* calls take the default for such a value instead.
class SettingsStore final {
public:
    enum Kind { Text = 0, Long = 1, Bool = 3 };
    // EachSave: every Save is written at once. OnCommit: the Saves only stage their values and
    // Commit writes them together, so a window's save is one durable write. Another store
    // opened meanwhile writes them too (QSettings shares a file's pending values).
    enum class Writes { EachSave, OnCommit };

    explicit SettingsStore(Writes writes = Writes::EachSave);
    // Writes what is still staged; a failure then goes unreported.
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    QVariant GetValue(const QString& section, const QString& key, Kind kind,
                      const QVariant& defaultValue) const;
    QVariant ReadValue(const QString& section, const QString& key, Kind kind,
                       const QVariant& defaultValue) const;
    void SaveValue(const QString& section, const QString& key, Kind kind, const QVariant& value);

    QString GetText(const QString& key, const QString& defaultValue = {}) const;
    qint32 GetLong(const QString& key, qint32 defaultValue) const;
    bool GetBool(const QString& key, bool defaultValue) const;
    QString ReadText(const QString& key, const QString& defaultValue = {}) const;
    qint32 ReadLong(const QString& key, qint32 defaultValue) const;
    bool ReadBool(const QString& key, bool defaultValue) const;
    void SaveText(const QString& key, const QString& value) { SaveValue({}, key, Text, value); }
    void SaveLong(const QString& key, qint32 value) { SaveValue({}, key, Long, value); }
    void SaveBool(const QString& key, bool value) { SaveValue({}, key, Bool, value); }
    // Whether a key of the empty section is there, whatever its value.
    bool Contains(const QString& key) const;
    // Forgets a key of the empty section.
    void Remove(const QString& key);

    // Opaque values such as window placements.
    QByteArray GetBytes(const QString& key) const;
    void SaveBytes(const QString& key, const QByteArray& value);

    static QString FileName();

    // Writes the staged values; raises ComponentError when they cannot be written.
    void Commit();

private:
    QString FullKey(const QString& section, const QString& key) const;
    void Staged();

    std::unique_ptr<QSettings> m_settings;
    Writes m_writes;
    bool m_staged = false;
};
