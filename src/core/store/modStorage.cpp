#include "store/modStorage.h"

#include "app/modCommon.h"
#include "components/ComponentError.h"
#include "components/Failure.h"
#include "components/FileFunctions.h"
#include "components/SupportLibrary.h"
#include "store/BlogList.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

qint32 g_postCounter = 0;

const QString kInfoSuffix = QStringLiteral(".Info");
const QString kPictureSuffix = QStringLiteral(".Picture");

QString InfoName(const QString& base) {
    return base + kInfoSuffix;
}
QString PictureName(const QString& base) {
    return base + kPictureSuffix;
}
QString MarkerName(const QString& base) {
    return base + QStringLiteral(".Sending");
}

QString StripExtension(const QString& fileName, const QString& extension) {
    return zsCutRight(fileName, extension.size() + 1);
}

// The local time as names show it. Formatting it cost more than the rest of naming a post,
// and it changes once a second.
QString CurrentStamp() {
    static qint64 formattedSecond = -1;
    static QString stamp;
    const qint64 second = QDateTime::currentSecsSinceEpoch();
    if (second != formattedSecond) {
        stamp =
            QDateTime::fromSecsSinceEpoch(second).toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
        formattedSecond = second;
    }
    return stamp;
}

[[noreturn]] void ThrowDamaged(const QString& path) {
    throw ComponentError(ErrorNumber::PostDamaged,
                         AboutPath(path, QStringLiteral("The post file is damaged (cut short).")));
}

// A post file, never through a link nor from a pipe or device, and within its cap. One
// refused is a damaged post: skipped and kept, and the others still go.
QByteArray ReadPostFile(const QString& path, qint64 maxBytes) {
    try {
        return FileFunctions::ReadRegularFile(path, maxBytes);
    } catch (const ComponentError& e) {
        if (e.Number() == ErrorNumber::FileRefused)
            throw ComponentError(ErrorNumber::PostDamaged, e.Description());
        throw;
    }
}

// True when the text holds at least `count` line breaks.
bool HasLineBreaks(const QString& text, int count) {
    QString rest = text;
    for (int i = 0; i < count; ++i) {
        QString next;
        if (zsGetLine(rest, next).size() == rest.size())
            return false;
        rest = next;
    }
    return true;
}

QString NextCandidate() {
    const QString stamp = CurrentStamp();
    const QString name =
        stamp + QLatin1Char(' ') + QStringLiteral("%1").arg(g_postCounter, 4, 10, QLatin1Char('0'));
    g_postCounter = g_postCounter == std::numeric_limits<qint32>::max() ? 0 : g_postCounter + 1;
    return name;
}

QString InfoText(const Post& post) {
    return BlogFromLine(post.Group).Name + QStringLiteral("\r\n") + post.Tags +
           QStringLiteral("\r\n") + post.Caption;
}

QByteArray UrlFileBytes(const QString& pictureURL) {
    return pictureURL.isEmpty() ? QByteArray()
                                : (QString::fromLatin1(kUrlMarkerLine) + pictureURL).toUtf8();
}

// Writes a post's two files, the ".Picture" first and the ".Info" last, so the send mode,
// which lists ".Info" files, never sees half a post. The picture is the URL file's bytes,
// or else a copy of the picture file. Both refuse a taken name: then nothing is left behind
// and the result is false. Any other failure raises, leaving nothing either.
bool WritePostFiles(const QString& base, const QString& info, const QString& pictureFile,
                    const QByteArray& urlFile) {
    bool pictureWritten = false;
    try {
        if (!urlFile.isEmpty())
            FileFunctions::WriteBinaryFile(PictureName(base), urlFile, false);
        else
            FileFunctions::CopyFile(pictureFile, PictureName(base), false);
        pictureWritten = true;
        FileFunctions::WriteFileText(InfoName(base), info, false);
        return true;
    } catch (const ComponentError& e) {
        if (pictureWritten)
            QFile::remove(PictureName(base));
        if (e.Number() == ErrorNumber::FileExists)
            return false;
        throw;
    }
}

// Scrambled passwords and posts are nobody else's business, also in a folder that an older
// version or the user made. Someone else's folder is left alone, and so is one that cannot
// be changed.
// One stat, since every post asks for the folder.
void KeepOwnerOnly(const QString& folder, const struct stat& info) {
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0 && info.st_uid == ::geteuid())
        ::chmod(QFile::encodeName(folder).constData(), S_IRWXU);
}

} // namespace

void SetPostCounter(qint32 value) {
    g_postCounter = value;
}

QString GetDataPath() {
    const QString path = zsBuildFileName(zsGetSpecialFolder(SpecialFolder::AppData),
                                         QStringLiteral("Velmora/Marivane"));
    struct stat info {};
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        if (!zsCreateComplexDirectory(path) || ::stat(name.constData(), &info) != 0)
            throw ComponentError(ErrorNumber::DataFolder,
                                 QStringLiteral("Can't create data folder."));
    }
    KeepOwnerOnly(path, info);
    return path;
}

QString MakePostFileName() {
    // The folder first: a failure must not use up a number.
    const QString folder = GetDataPath();
    return zsBuildFileName(folder, NextCandidate());
}

bool SavePost(const Post& post) {
    try {
        const QString info = InfoText(post);
        const QByteArray urlFile = UrlFileBytes(post.PictureURL);
        // A taken name is never overwritten (the clock may have been set back): the counter
        // moves on until both names are free.
        while (!WritePostFiles(MakePostFileName(), info, post.PictureFile, urlFile)) {
        }
        return true;
    } catch (const ComponentError& e) {
        zsDebugPrint(QStringLiteral("SavePost() ==> ") + e.Description());
        return false;
    }
}

Outcome<Post> LoadPost(const QString& fileName, PostParts parts) {
    const QString extension = zsGetFileExtension(fileName);
    if (extension.isEmpty())
        return Failure{AboutPath(fileName, QStringLiteral("Wrong filename. Can't load post.")), {}};
    Post post;
    post.Base = StripExtension(fileName, extension);
    try {
        if (parts == PostParts::WithPicture) {
            post.Picture = ReadPostPicture(PictureName(post.Base));
            if (post.Picture.isEmpty())
                ThrowDamaged(PictureName(post.Base));
            post.PictureURL = PictureURLFromData(post.Picture);
        }
        const QString text = QString::fromUtf8(ReadPostFile(InfoName(post.Base), kMaxInfoBytes));
        QString afterGroup;
        QString afterTags;
        post.Group = zsGetLine(text, afterGroup);
        post.Tags = zsGetLine(afterGroup, afterTags);
        // Group and tags each end with a line break; a file without both was cut off.
        if (!HasLineBreaks(text, 2))
            ThrowDamaged(InfoName(post.Base));
        post.Caption = afterTags;
    } catch (const ComponentError& e) {
        return FailureOf(e, QStringLiteral("Can't load post files."));
    }
    post.UnansweredSince = PostSendingSince(fileName);
    return post;
}

FileNameList ListPostInfos(const QString& folder) {
    return ReadFolderContents(folder, PostFiles::Infos).Infos;
}

FileNameList ListPostPictures(const QString& folder) {
    return ReadFolderContents(folder, PostFiles::Pictures).Pictures;
}

QString InfoPathFor(const QString& picturePath) {
    if (!picturePath.endsWith(kPictureSuffix, Qt::CaseInsensitive))
        return {};
    return InfoName(zsCutRight(picturePath, kPictureSuffix.size()));
}

bool DeletePost(const QString& fileName) {
    const bool byInfo = fileName.endsWith(kInfoSuffix, Qt::CaseInsensitive);
    const QString info = byInfo ? fileName : InfoPathFor(fileName);
    // Any other name names no pair; guessing could hit another post.
    if (info.isEmpty())
        return !QFileInfo::exists(fileName);
    const QString base = zsCutRight(info, kInfoSuffix.size());
    QFile::remove(info);
    // A lone ".Info" would be listed by the send mode and fail there on every run.
    if (QFileInfo::exists(info))
        return false;
    QFile::remove(byInfo ? PictureName(base) : fileName);
    QFile::remove(MarkerName(base));
    return !QFileInfo::exists(fileName);
}

QString SendMarkerPath(const QString& fileName) {
    const QString extension = zsGetFileExtension(fileName);
    return MarkerName(extension.isEmpty() ? fileName : StripExtension(fileName, extension));
}

void MarkPostSending(const QString& fileName) {
    const QString text = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    const QString path = SendMarkerPath(fileName);
    // Only its name must last before the upload: the time in it is only shown.
    FileFunctions::WriteCacheFile(path, text.toLatin1());
    FileFunctions::SyncFolder(QFileInfo(path).absolutePath());
}

void ClearPostSending(const QString& fileName) {
    QFile::remove(SendMarkerPath(fileName));
}

PostPictures ListPostPicturesWithMarkers(const QString& folder) {
    PostPictures posts{ReadFolderContents(folder, PostFiles::Pictures | PostFiles::Markers), {}};
    const FileNameList& markers = posts.Folder.Markers;
    QSet<QString> marked;
    for (qsizetype i = 0; i < markers.size(); ++i)
        marked.insert(SendMarkerPath(markers.at(i)));
    // Names are built only when some post is marked, which is rare.
    for (qsizetype i = 0; !marked.isEmpty() && i < posts.Folder.Pictures.size(); ++i) {
        if (marked.contains(SendMarkerPath(posts.Folder.Pictures.at(i))))
            posts.MarkedRows.append(static_cast<int>(i));
    }
    return posts;
}

std::optional<QDateTime> PostSendingSince(const QString& fileName) {
    const QString path = SendMarkerPath(fileName);
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    QDateTime since;
    try {
        // A time and nothing more; anything else there is not waited on nor read whole.
        since = QDateTime::fromString(
            QString::fromLatin1(FileFunctions::ReadRegularFile(path, 256)).trimmed(), Qt::ISODate);
    } catch (const ComponentError&) {
        // The marker's presence is what counts; its time is only shown.
    }
    return since.isValid() ? since : info.lastModified();
}

QByteArray ReadPostPicture(const QString& path) {
    return ReadPostFile(path, kMaxPictureBytes);
}

QString ReadPictureURL(const QString& path) {
    return PictureURLFromData(ReadPostPicture(path));
}

QString PictureURLFromData(const QByteArray& data) {
    const QByteArray marker(kUrlMarkerLine);
    if (data.size() < marker.size() ||
        data.left(marker.size()).compare(marker, Qt::CaseInsensitive) != 0)
        return {};
    const QString url = QString::fromUtf8(data.mid(marker.size()));
    return IsPictureURL(url) ? url : QString();
}

struct PostSaveGroup::Pending {
    FileFunctions::UnplacedFile Picture;
    FileFunctions::UnplacedFile Info;
    QString Source;
};

PostSaveGroup::PostSaveGroup(int groupSize) : m_groupSize(groupSize) {}

PostSaveGroup::~PostSaveGroup() {
    Flush();
}

bool PostSaveGroup::Add(const Post& post) {
    try {
        // Once per group: the files of its posts are written under no name into this folder.
        if (m_folder.isEmpty())
            m_folder = GetDataPath();
        const QString& folder = m_folder;
        const QByteArray urlFile = UrlFileBytes(post.PictureURL);
        auto picture = urlFile.isEmpty()
                           ? FileFunctions::UnplacedFile::Copy(post.PictureFile, folder)
                           : FileFunctions::UnplacedFile::Write(folder, urlFile);
        auto info = FileFunctions::UnplacedFile::Write(folder, InfoText(post).toUtf8());
        m_pending.push_back({std::move(picture), std::move(info),
                             urlFile.isEmpty() ? post.PictureFile : post.PictureURL});
    } catch (const ComponentError& e) {
        zsDebugPrint(QStringLiteral("PostSaveGroup::Add() ==> ") + e.Description());
        return false;
    }
    if (static_cast<int>(m_pending.size()) >= m_groupSize)
        PlacePending();
    return true;
}

QStringList PostSaveGroup::Flush() {
    PlacePending();
    return std::exchange(m_failed, {});
}

void PostSaveGroup::PlacePending() {
    if (m_pending.empty())
        return;
    std::vector<Pending> pending = std::exchange(m_pending, {});
    m_folder.clear();
    QString folder;
    try {
        folder = GetDataPath();
        // One sync for the group; no post is named before its bytes are on the disk.
        FileFunctions::SyncFileSystem(folder);
    } catch (const ComponentError& e) {
        zsDebugPrint(QStringLiteral("PostSaveGroup ==> ") + e.Description());
        for (const Pending& post : pending)
            m_failed.append(post.Source);
        return;
    }
    for (Pending& post : pending) {
        if (!Place(post, folder))
            m_failed.append(post.Source);
    }
    try {
        FileFunctions::SyncFolder(folder);
    } catch (const ComponentError& e) {
        // The posts are whole and named; only their names may not last a power cut.
        zsDebugPrint(QStringLiteral("PostSaveGroup ==> ") + e.Description());
    }
}

bool PostSaveGroup::Place(Pending& post, const QString& folder) {
    try {
        for (;;) {
            const QString base = zsBuildFileName(folder, NextCandidate());
            try {
                post.Picture.Place(PictureName(base));
            } catch (const ComponentError& e) {
                if (e.Number() == ErrorNumber::FileExists)
                    continue;
                throw;
            }
            try {
                post.Info.Place(InfoName(base));
                return true;
            } catch (const ComponentError&) {
                // The picture is named already; the post is stored again the plain way.
                QFile::remove(PictureName(base));
                throw;
            }
        }
    } catch (const ComponentError& e) {
        zsDebugPrint(QStringLiteral("PostSaveGroup ==> ") + e.Description());
        return false;
    }
}
