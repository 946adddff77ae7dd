#include "store/modStorage.h"

#include "app/modCommon.h"
#include "components/ComponentError.h"
#include "components/FileFunctions.h"
#include "components/Messages.h"
#include "components/SupportLibrary.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <limits>

namespace {

qint32 g_postCounter = 0;

QString InfoName(const QString& base) {
    return base + QStringLiteral(".Info");
}
QString PictureName(const QString& base) {
    return base + QStringLiteral(".Picture");
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

QString NextCandidate() {
    const QString stamp = CurrentStamp();
    const QString name =
        stamp + QLatin1Char(' ') + QStringLiteral("%1").arg(g_postCounter, 4, 10, QLatin1Char('0'));
    g_postCounter = g_postCounter == std::numeric_limits<qint32>::max() ? 0 : g_postCounter + 1;
    return name;
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

} // namespace

void SetPostCounter(qint32 value) {
    g_postCounter = value;
}

QString GetDataPath() {
    const QString path = zsBuildFileName(zsGetSpecialFolder(SpecialFolder::AppData),
                                         QStringLiteral("Velmora/Marivane"));
    if (!zsIsDirectoryExist(path)) {
        if (!zsCreateComplexDirectory(path))
            throw ComponentError(ErrorNumber::DataFolder,
                                 QStringLiteral("Can't create data folder."));
        // Scrambled passwords and posts are nobody else's business.
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ExeOwner);
    }
    return path;
}

QString MakePostFileName() {
    return zsBuildFileName(GetDataPath(), NextCandidate());
}

bool SavePost(const QString& group, const QString& caption, const QString& tags,
              const QString& pictureFile, const QString& pictureURL) {
    try {
        QString storedGroup = group;
        const qsizetype bar = group.lastIndexOf(QLatin1Char('|'));
        if (bar >= 0)
            storedGroup = zsTrimEx(group.mid(bar + 1));
        const QString info =
            storedGroup + QStringLiteral("\r\n") + tags + QStringLiteral("\r\n") + caption;
        const QByteArray urlFile =
            pictureURL.isEmpty() ? QByteArray()
                                 : (QString::fromLatin1(kUrlMarkerLine) + pictureURL).toUtf8();
        // A taken name is never overwritten (the clock may have been set back): the counter
        // moves on until both names are free.
        while (!WritePostFiles(MakePostFileName(), info, pictureFile, urlFile)) {
        }
        return true;
    } catch (const ComponentError& e) {
        zsDebugPrint(QStringLiteral("SavePost() ==> ") + e.Description());
        return false;
    }
}

bool LoadPost(const QString& fileName, QString& group, QString& caption, QString& tags,
              QByteArray* pictureData) {
    const QString extension = zsGetFileExtension(fileName);
    if (extension.isEmpty()) {
        Messages::MsgBox(fileName + QStringLiteral("\r\n\r\nWrong filename. Can't load post."),
                         MsgIcon::Critical);
        return false;
    }
    const QString base = StripExtension(fileName, extension);
    try {
        if (pictureData)
            *pictureData = FileFunctions::ReadBinaryFile(PictureName(base));
        const QString text = FileFunctions::ReadFileText(InfoName(base));
        QString afterGroup;
        QString afterTags;
        group = zsGetLine(text, afterGroup);
        tags = zsGetLine(afterGroup, afterTags);
        caption = afterTags;
        return true;
    } catch (const ComponentError& e) {
        ErrorBox::ShowError(e, MsgIcon::Critical, QStringLiteral("Can't load post files."));
        return false;
    }
}

bool DeletePost(const QString& fileName) {
    const QString extension = zsGetFileExtension(fileName);
    // Without an extension there is no pair to name; guessing could hit another post.
    if (!extension.isEmpty()) {
        const QString base = StripExtension(fileName, extension);
        QFile::remove(InfoName(base));
        QFile::remove(PictureName(base));
    }
    return !QFileInfo::exists(fileName);
}

QString ReadPictureURL(const QString& path) {
    const QByteArray data = FileFunctions::ReadBinaryFile(path);
    if (data.isEmpty())
        return {};
    return PictureURLFromData(data);
}

QString PictureURLFromData(const QByteArray& data) {
    const QByteArray marker(kUrlMarkerLine);
    if (data.size() < marker.size() ||
        data.left(marker.size()).compare(marker, Qt::CaseInsensitive) != 0)
        return {};
    const QString url = QString::fromUtf8(data.mid(marker.size()));
    return MyPathIsURL(url) ? url : QString();
}
