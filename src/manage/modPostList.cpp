#include "manage/modPostList.h"

#include "components/ComponentError.h"
#include "components/FolderListing.h"
#include "components/SupportLibrary.h"
#include "store/modStorage.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <sys/stat.h>

namespace {

const QString kPictureSuffix = QStringLiteral(".picture");

} // namespace

FileNameList ListPostPictures(const QString& folder) {
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
    QFile::remove(SendMarkerPath(picturePath));
}

QList<int> PostsWithSendMarker(const QString& folder, const FileNameList& pictures) {
    QSet<QString> marked;
    try {
        const FileNameList markers = ListFileNamesEndingWith(folder, QLatin1StringView(".sending"));
        for (qsizetype i = 0; i < markers.size(); ++i)
            marked.insert(SendMarkerPath(zsBuildFileName(folder, markers.at(i))));
    } catch (const ComponentError&) {
        return {};
    }
    QList<int> rows;
    // Names are built only when some post is marked, which is rare.
    for (qsizetype i = 0; !marked.isEmpty() && i < pictures.size(); ++i) {
        if (marked.contains(SendMarkerPath(zsBuildFileName(folder, pictures.at(i)))))
            rows.append(static_cast<int>(i));
    }
    return rows;
}

double TotalFileSize(const QString& folder, const FileNameList& names,
                     const std::function<bool()>& stopped) {
    // stat directly: a file-info object per post doubled the manager's opening time.
    const QByteArray prefix = QFile::encodeName(folder) + '/';
    double total = 0.0;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (stopped && i % 256 == 0 && stopped())
            return total;
        struct stat info {};
        const std::string_view name = names.Utf8At(i);
        const QByteArray path =
            prefix + QByteArrayView(name.data(), static_cast<qsizetype>(name.size()));
        if (::stat(path.constData(), &info) == 0)
            total += static_cast<double>(info.st_size);
        // A file that cannot be read is left out; the sum goes on.
    }
    return total;
}
