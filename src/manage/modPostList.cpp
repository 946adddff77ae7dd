#include "manage/modPostList.h"

#include "components/ComponentError.h"
#include "components/SupportLibrary.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kPictureSuffix = QStringLiteral(".picture");

} // namespace

QStringList ListPostPictures(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        throw ComponentError(ErrorNumber::FileRead,
                             QStringLiteral("Can't list folder \"") + folder + QLatin1Char('"'));
    // A plain suffix test: a wildcard filter runs a regular expression on every name, which
    // was most of the time the manager took to open over thousands of posts.
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (name.endsWith(kPictureSuffix, Qt::CaseInsensitive))
            names.append(name);
    }
    return names;
}

QString InfoPathFor(const QString& picturePath) {
    if (!picturePath.endsWith(kPictureSuffix, Qt::CaseInsensitive))
        return {};
    return zsCutRight(picturePath, kPictureSuffix.size()) + QStringLiteral(".Info");
}

void DeletePostFiles(const QString& picturePath) {
    const QString info = InfoPathFor(picturePath);
    if (!info.isEmpty()) {
        QFile::remove(info);
        // A lone ".Info" would be listed by the send mode and fail there on every run.
        if (QFileInfo::exists(info))
            return;
    }
    QFile::remove(picturePath);
}

double TotalFileSize(const QString& folder, const QStringList& names) {
    double total = 0.0;
    for (const QString& name : names) {
        try {
            total += zsGetFileSizeEx(zsBuildFileName(folder, name));
        } catch (const ComponentError&) {
            // The sum goes on without this file.
        }
    }
    return total;
}
