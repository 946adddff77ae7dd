#include "creation/modBatch.h"

#include "app/modCommon.h"
#include "components/ComponentError.h"
#include "components/Failure.h"
#include "components/FolderListing.h"
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

StoreOutcome StoreRunPost(CreatorFields& creator, const QString& pictureFile,
                          const QString& pictureURL, const StoreFailureDecision& decide,
                          PostSaveGroup* group) {
    const Failure question{pictureURL.isEmpty()
                               ? AboutPath(pictureFile, QStringLiteral("Can't pack file."))
                               : AboutPath(pictureURL, QStringLiteral("Can't pack URL to file.")),
                           {}};
    for (;;) {
        Post post;
        post.Group = creator.GetGroup();
        post.Caption = creator.CaptionText();
        post.Tags = creator.TagsText();
        post.PictureFile = pictureFile;
        post.PictureURL = pictureURL;
        if (group ? group->Add(post) : SavePost(post))
            return StoreOutcome::Stored;
        switch (decide(question)) {
        case StoreDecision::Retry:
            continue;
        case StoreDecision::Ignore:
            return StoreOutcome::Ignored;
        case StoreDecision::Abort:
            return StoreOutcome::Aborted;
        }
    }
}

FolderBatchResult StoreFolderPosts(CreatorFields& creator, const QString& folder,
                                   const QStringList& names, const StoreFailureDecision& decide) {
    FolderBatchResult result;
    PostSaveGroup group;
    qsizetype next = 0;
    for (; next < names.size(); ++next) {
        if (StoreRunPost(creator, zsBuildFileName(folder, names.at(next)), QString(), decide,
                         &group) == StoreOutcome::Aborted) {
            result.Aborted = true;
            break;
        }
    }
    result.Left = names.mid(next);
    // Posts the group could not put in place after all are stored one by one.
    for (const QString& file : group.Flush()) {
        if (result.Aborted ||
            StoreRunPost(creator, file, QString(), decide) == StoreOutcome::Aborted) {
            result.Aborted = true;
            result.Left.append(QFileInfo(file).fileName());
        }
    }
    return result;
}

void AddCreatorHistories(CreatorFields& creator) {
    creator.History().Add(creator.CaptionText());
    creator.TagsHistory().Add(creator.TagsText());
}

URLBatchResult StoreURLPosts(const QString& text, CreatorFields& creator,
                             const StoreFailureDecision& decide) {
    URLBatchResult result;
    for (const QString& line : SplitURLLines(text)) {
        const QString url = TrimPathOrURL(line);
        if (url.isEmpty())
            continue;
        if (!IsPictureURL(url)) {
            result.invalidLines += url + kCRLF;
            continue;
        }
        if (StoreRunPost(creator, QString(), url, decide) == StoreOutcome::Aborted) {
            result.aborted = true;
            return result;
        }
    }
    AddCreatorHistories(creator);
    return result;
}
