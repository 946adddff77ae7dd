#include "PostFolderCheck.h"

#include "TestSupport.h"

#include "store/modStorage.h"

#include <QDir>

PostFolderState CheckPostFolder(const QString& folder, const ExpectedPost& expected) {
    PostFolderState state;
    const QDir dir(folder);
    const QByteArray info = (expected.group + QStringLiteral("\r\n") + expected.tags +
                             QStringLiteral("\r\n") + expected.caption)
                                .toUtf8();
    const QStringList names = FolderFiles(folder, {}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        if (name.startsWith(QLatin1Char('.'))) {
            state.leftovers.append(name);
            continue;
        }
        if (name.endsWith(QStringLiteral(".Picture"))) {
            const QString base = name.chopped(8);
            if (ReadFile(path) != expected.picture)
                state.problems.append(name + QStringLiteral(": not the whole picture"));
            if (!names.contains(base + QStringLiteral(".Info")))
                ++state.lonePictures;
            continue;
        }
        if (!name.endsWith(QStringLiteral(".Info")))
            continue;
        const QString base = name.chopped(5);
        if (!names.contains(base + QStringLiteral(".Picture"))) {
            state.problems.append(name + QStringLiteral(": no .Picture"));
            continue;
        }
        if (ReadFile(path) != info) {
            state.problems.append(name + QStringLiteral(": not the whole .Info"));
            continue;
        }
        const Outcome<Post> post = LoadPost(path, PostParts::WithPicture);
        if (!post || post->Group != expected.group || post->Tags != expected.tags ||
            post->Caption != expected.caption || post->Picture != expected.picture) {
            state.problems.append(name + QStringLiteral(": does not load as stored"));
            continue;
        }
        ++state.posts;
    }
    return state;
}
