#pragma once

#include "components/Failure.h"
#include "components/FolderListing.h"

#include <QSet>
#include <QString>

#include <optional>

// The posts waiting in the data folder, oldest first, as a send run goes through them. The
// run refreshes it after each post, so posts added or removed meanwhile are noticed.
class PostQueue final {
public:
    explicit PostQueue(QString folder = {}) : m_folder(std::move(folder)) {}

    const QString& Folder() const { return m_folder; }
    // Reads the folder's list of posts again. A folder that cannot be read lists nothing, so
    // nothing is sent: "Can't list the posts." and why.
    Problem Refresh();
    bool Listed() const { return m_listed; }
    const FileNameList& Names() const { return m_names; }
    // The place in Names() of the first post this run has not skipped; -1 for none.
    int NextIndex() const;
    // Its ".Info" file's path.
    QString NextPath() const;
    // A post this run leaves alone.
    void Skip(const QString& path);
    void ForgetSkipped() { m_skipped.clear(); }
    // Listed and not skipped.
    int Left() const;

private:
    QString m_folder;
    FileNameList m_names;
    QSet<QString> m_skipped;
    bool m_listed = true;
};
