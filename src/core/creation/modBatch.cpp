#include "creation/modBatch.h"

#include "app/modCommon.h"
#include "components/ComponentError.h"
#include "components/FolderListing.h"
#include "components/Messages.h"
#include "components/PictureKinds.h"
#include "components/SupportLibrary.h"
#include "creation/CreatorFields.h"
#include "history/CHistory.h"
#include "store/modStorage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace {

const QString kCRLF = QStringLiteral("\r\n");

} // namespace

QStringList ListPictureFiles(const QString& folder) {
    return ListFileNames(folder, IsPictureFile);
}

std::optional<QStringList> LocalDropPaths(const QMimeData* data) {
    if (!data->hasUrls())
        return std::nullopt;
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            return std::nullopt;
        paths.append(url.toLocalFile());
    }
    if (paths.isEmpty())
        return std::nullopt;
    return paths;
}

std::optional<DroppedBatch> BatchFromDroppedPaths(const QStringList& paths) {
    if (paths.size() == 1 && QFileInfo(paths.first()).isDir())
        return DroppedBatch{QDir::cleanPath(paths.first()), {}};
    if (paths.size() < 2)
        return std::nullopt;
    DroppedBatch batch{QFileInfo(paths.first()).absolutePath(), {}};
    for (const QString& path : paths) {
        const QFileInfo file(path);
        // Only what the batch lists can be selected there.
        if (!file.isFile() || file.absolutePath() != batch.Folder ||
            !IsPictureFile(file.fileName()))
            return std::nullopt;
        batch.Names.append(file.fileName());
    }
    return batch;
}

QStringList SplitURLLines(const QString& text) {
    return text.split(kCRLF);
}

PackOutcome PackPost(CreatorFields& creator, const QString& pictureFile, const QString& pictureURL,
                     PostSaveGroup* group) {
    const QString question =
        pictureURL.isEmpty()
            ? Messages::AboutPath(pictureFile, QStringLiteral("Can't pack file."))
            : Messages::AboutPath(pictureURL, QStringLiteral("Can't pack URL to file."));
    for (;;) {
        const bool stored = group ? group->Add(creator.GetGroup(), creator.CaptionText(),
                                               creator.TagsText(), pictureFile, pictureURL)
                                  : SavePost(creator.GetGroup(), creator.CaptionText(),
                                             creator.TagsText(), pictureFile, pictureURL);
        if (stored)
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
