#include "manage/modPostList.h"

#include "components/ComponentError.h"
#include "components/FileFunctions.h"
#include "components/SupportLibrary.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString kPictureSuffix = QStringLiteral(".picture");

} // namespace

QStringList ListPostPictures(const QString& folder) {
    return FileFunctions::ListFileNames(folder, [](const QString& name) {
        return name.endsWith(kPictureSuffix, Qt::CaseInsensitive);
    });
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
