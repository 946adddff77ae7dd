#include "components/SettingsStore.h"

#include "components/ComponentError.h"
#include "components/FileFunctions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

[[noreturn]] void BadValue(const QString& key) {
    throw ComponentError(ErrorNumber::Settings, QStringLiteral("Setting \"") + key +
                                                    QStringLiteral("\" has a wrong value."));
}

std::unique_ptr<QSettings> OpenSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Velmora"), QStringLiteral("Marivane"));
}

} // namespace

SettingsStore::SettingsStore(Writes writes) : m_settings(OpenSettings()), m_writes(writes) {
    // A damaged file would refuse every later write; keep it aside and start afresh.
    if (m_settings->status() == QSettings::FormatError) {
        const QString name = m_settings->fileName();
        m_settings.reset();
        QFile::remove(name + QStringLiteral(".damaged"));
        QFile::rename(name, name + QStringLiteral(".damaged"));
        m_settings = OpenSettings();
    }
}

SettingsStore::~SettingsStore() {
    if (!m_staged)
        return;
    try {
        Commit();
    } catch (const ComponentError&) {
        // The owner chose not to commit; only its last values are lost.
    }
}

QString SettingsStore::FileName() {
    return OpenSettings()->fileName();
}

QString SettingsStore::FullKey(const QString& section, const QString& key) const {
    return section.isEmpty() ? key : section + QLatin1Char('/') + key;
}

QVariant SettingsStore::GetValue(const QString& section, const QString& key, Kind kind,
                                 const QVariant& defaultValue) const {
    const QString full = FullKey(section, key);
    if (!m_settings->contains(full))
        return defaultValue;
    const QVariant stored = m_settings->value(full);
    if (stored.typeId() != QMetaType::QString)
        BadValue(key);
    const QString text = stored.toString();
    switch (kind) {
    case Text:
        return text;
    case Long: {
        bool ok = false;
        const qint32 number = text.trimmed().toInt(&ok);
        if (!ok)
            BadValue(key);
        return number;
    }
    case Bool: {
        const QString word = text.trimmed().toLower();
        if (word == QLatin1String("true") || word == QLatin1String("1"))
            return true;
        if (word == QLatin1String("false") || word == QLatin1String("0"))
            return false;
        BadValue(key);
    }
    }
    BadValue(key);
}

QVariant SettingsStore::ReadValue(const QString& section, const QString& key, Kind kind,
                                  const QVariant& defaultValue) const {
    try {
        return GetValue(section, key, kind, defaultValue);
    } catch (const ComponentError&) {
        return defaultValue;
    }
}

void SettingsStore::SaveValue(const QString& section, const QString& key, Kind kind,
                              const QVariant& value) {
    QString text;
    switch (kind) {
    case Text:
        text = value.toString();
        break;
    case Long:
        text = QString::number(value.toInt());
        break;
    case Bool:
        text = value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
        break;
    }
    m_settings->setValue(FullKey(section, key), text);
    Staged();
}

QString SettingsStore::GetText(const QString& key, const QString& defaultValue) const {
    return GetValue({}, key, Text, defaultValue).toString();
}

qint32 SettingsStore::GetLong(const QString& key, qint32 defaultValue) const {
    return GetValue({}, key, Long, defaultValue).toInt();
}

bool SettingsStore::GetBool(const QString& key, bool defaultValue) const {
    return GetValue({}, key, Bool, defaultValue).toBool();
}

bool SettingsStore::Contains(const QString& key) const {
    return m_settings->contains(key);
}

void SettingsStore::Remove(const QString& key) {
    m_settings->remove(key);
    Staged();
}

QString SettingsStore::ReadText(const QString& key, const QString& defaultValue) const {
    return ReadValue({}, key, Text, defaultValue).toString();
}

qint32 SettingsStore::ReadLong(const QString& key, qint32 defaultValue) const {
    return ReadValue({}, key, Long, defaultValue).toInt();
}

bool SettingsStore::ReadBool(const QString& key, bool defaultValue) const {
    return ReadValue({}, key, Bool, defaultValue).toBool();
}

QByteArray SettingsStore::GetBytes(const QString& key) const {
    const QVariant stored = m_settings->value(key);
    return stored.typeId() == QMetaType::QByteArray ? stored.toByteArray() : QByteArray();
}

void SettingsStore::SaveBytes(const QString& key, const QByteArray& value) {
    m_settings->setValue(key, value);
    Staged();
}

void SettingsStore::Staged() {
    m_staged = true;
    if (m_writes == Writes::EachSave)
        Commit();
}

void SettingsStore::Commit() {
    m_staged = false;
    // The folder is made private before the first write, so the password is never readable
    // by others, not even for a moment.
    const QFileInfo file(m_settings->fileName());
    if (!file.dir().exists())
        file.dir().mkpath(QStringLiteral("."));
    QFile::setPermissions(file.absolutePath(), kOwnerOnly | QFileDevice::ExeOwner);
    m_settings->sync();
    if (m_settings->status() == QSettings::AccessError)
        throw ComponentError(ErrorNumber::Settings, QStringLiteral("Can't write settings file \"") +
                                                        m_settings->fileName() + QLatin1Char('"'));
    QFile::setPermissions(m_settings->fileName(), kOwnerOnly);
    // The file was synced before it replaced the old one; its new name must last too.
    try {
        FileFunctions::SyncFolder(file.absolutePath());
    } catch (const ComponentError& e) {
        throw ComponentError(ErrorNumber::Settings, e.Description());
    }
}
