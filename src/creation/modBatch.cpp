#include "creation/modBatch.h"

#include "app/modCommon.h"
#include "components/ComponentError.h"
#include "components/Messages.h"
#include "components/SupportLibrary.h"
#include "creation/CreatorFields.h"
#include "history/CHistory.h"
#include "store/modStorage.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

namespace {

const QString kCRLF = QStringLiteral("\r\n");

// Regular files only: reading a pipe or a device named like a picture would hang the run.
bool IsRegularFile(const QString& folder, const struct dirent* entry) {
    if (entry->d_type == DT_REG)
        return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return false;
    struct stat info {};
    const QByteArray path = QFile::encodeName(folder) + '/' + QByteArray(entry->d_name);
    return ::stat(path.constData(), &info) == 0 && S_ISREG(info.st_mode);
}

ComponentError ListError(const QString& folder, int error) {
    return ComponentError(ErrorNumber::FileRead, QStringLiteral("Can't read folder \"") + folder +
                                                     QStringLiteral("\": ") +
                                                     QString::fromLocal8Bit(std::strerror(error)));
}

} // namespace

bool IsPictureFile(const QString& name) {
    static const QStringList extensions = {
        QStringLiteral("jpg"),  QStringLiteral("jpeg"), QStringLiteral("jpe"),
        QStringLiteral("jfif"), QStringLiteral("gif"),  QStringLiteral("png"),
        QStringLiteral("bmp"),  QStringLiteral("dib"),  QStringLiteral("rle")};
    const QString extension = zsGetFileExtension(name).toLower();
    return !extension.isEmpty() && extensions.contains(extension);
}

QStringList ListPictureFiles(const QString& folder) {
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        throw ListError(folder, errno);
    QStringList names;
    for (;;) {
        errno = 0;
        const struct dirent* entry = ::readdir(dir);
        if (!entry)
            break;
        const QString name = QFile::decodeName(entry->d_name);
        if (IsPictureFile(name) && IsRegularFile(folder, entry))
            names.append(name);
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0)
        throw ListError(folder, error);
    return names;
}

QStringList SplitURLLines(const QString& text) {
    return text.split(kCRLF);
}

PackOutcome PackPost(CreatorFields& creator, const QString& pictureFile,
                     const QString& pictureURL) {
    const QString question =
        pictureURL.isEmpty()
            ? pictureFile + kCRLF + kCRLF + QStringLiteral("Can't pack file.")
            : pictureURL + kCRLF + kCRLF + QStringLiteral("Can't pack URL to file.");
    for (;;) {
        if (SavePost(creator.GetGroup(), creator.CaptionText(), creator.TagsText(), pictureFile,
                     pictureURL))
            return PackOutcome::Stored;
        switch (Messages::MsgBox(question, MsgIcon::Critical, MsgButtons::AbortRetryIgnore)) {
        case MsgResult::Retry:
            continue;
        case MsgResult::Ignore:
            return PackOutcome::Ignored;
        default:
            return PackOutcome::Aborted;
        }
    }
}

void AddCreatorHistories(CreatorFields& creator) {
    creator.History().Add(creator.CaptionText());
    creator.TagsHistory().Add(creator.TagsText());
}

URLBatchResult PackURLs(const QString& text, CreatorFields& creator) {
    URLBatchResult result;
    for (const QString& line : SplitURLLines(text)) {
        const QString url = zsTrimEx2(line);
        if (url.isEmpty())
            continue;
        if (!MyPathIsURL(url)) {
            result.invalidLines += url + kCRLF;
            continue;
        }
        if (PackPost(creator, QString(), url) == PackOutcome::Aborted) {
            result.aborted = true;
            return result;
        }
    }
    AddCreatorHistories(creator);
    return result;
}
