#pragma once

#include "store/Post.h"

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Points HOME and the XDG folders at a fresh temporary folder, and the session bus nowhere,
// so no test, benchmark or fuzz run touches the real home folder or keyring. Make one before
// anything reads a standard path or uses the bus.
class TestHome final {
public:
    TestHome();
    bool IsValid() const { return m_dir.isValid(); }
    QString Path() const { return m_dir.path(); }
    QString DataFolder() const; // where the program keeps its posts
    // The data folder's files in name order, only those matching `patterns` when given.
    QStringList DataFiles(const QStringList& patterns = {}) const;

private:
    QTemporaryDir m_dir;
};

// A folder's file names in name order, only those matching `patterns` when given.
QStringList FolderFiles(const QString& folder, const QStringList& patterns = {},
                        QDir::Filters filters = QDir::Files);

// A new post to store, as the creator makes one.
Post NewPost(const QString& group, const QString& caption, const QString& tags,
             const QString& pictureFile, const QString& pictureURL = {});
