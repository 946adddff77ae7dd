#include "manage/modPostList.h"

#include "components/FolderListing.h"
#include "components/SupportLibrary.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

const QString kPictureSuffix = QStringLiteral(".picture");

} // namespace

QStringList ListPostPictures(const QString& folder) {
    return ListFileNamesEndingWith(folder, QLatin1StringView(".picture"));
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
    // stat directly: a file-info object per post doubled the manager's opening time.
    const QByteArray prefix = QFile::encodeName(folder) + '/';
    double total = 0.0;
    for (const QString& name : names) {
        struct stat info {};
        const QByteArray path = prefix + name.toUtf8();
        if (::stat(path.constData(), &info) == 0)
            total += static_cast<double>(info.st_size);
        // A file that cannot be read is left out; the sum goes on.
    }
    return total;
}
