#pragma once

#include "TestSupport.h"

#include <QDir>
#include <QSettings>
#include <QStringList>

// Helpers the creator window tests share.

// Forgets every stored setting, so each test starts as a first run.
inline void ClearSettings() {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Velmora"),
                       QStringLiteral("Marivane"));
    settings.clear();
    settings.sync();
}

// The ".Info" files of the stored posts, oldest first.
inline QStringList StoredInfoFiles(const TestHome& home) {
    return home.DataFiles({QStringLiteral("*.Info")});
}

inline void RemoveStoredPosts(const TestHome& home) {
    QDir data(home.DataFolder());
    for (const QString& name : home.DataFiles())
        data.remove(name);
}
