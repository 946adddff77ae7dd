#include "TestHome.h"

TestHome::TestHome() {
    const QString home = m_dir.path();
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CACHE_HOME", (home + QStringLiteral("/cache")).toUtf8());
    qputenv("XDG_DOCUMENTS_DIR", (home + QStringLiteral("/Documents")).toUtf8());
    qputenv("XDG_PICTURES_DIR", (home + QStringLiteral("/Pictures")).toUtf8());
    // Nor the developer's session bus, and with it the keyring, when a test runs by hand; a
    // test that needs a bus starts one of its own.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    QDir(home).mkpath(QStringLiteral("Documents"));
    QDir(home).mkpath(QStringLiteral("Pictures"));
}

QString TestHome::DataFolder() const {
    return m_dir.path() + QStringLiteral("/data/Velmora/Marivane");
}

QStringList TestHome::DataFiles(const QStringList& patterns) const {
    return FolderFiles(DataFolder(), patterns);
}

QStringList FolderFiles(const QString& folder, const QStringList& patterns, QDir::Filters filters) {
    return QDir(folder).entryList(patterns, filters, QDir::Name);
}

Post NewPost(const QString& group, const QString& caption, const QString& tags,
             const QString& pictureFile, const QString& pictureURL) {
    Post post;
    post.Group = group;
    post.Caption = caption;
    post.Tags = tags;
    post.PictureFile = pictureFile;
    post.PictureURL = pictureURL;
    return post;
}
