#pragma once

#include "components/Failure.h"
#include "components/FolderListing.h"
#include "store/FolderIndex.h"
#include "store/Post.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Where prepared posts wait: pairs of files "<base>.Info" and "<base>.Picture" in the
// data folder. This is the only place that knows the folder, the naming and the formats.

inline constexpr char kUrlMarkerLine[] = "{07460945-55B8-4ac3-8811-76B4CEA99932}\r\n";

// The largest ".Picture" read. The service documents "limit 10MB" for a photo post's picture
// (the legacy /post route's `data`) and no other limit for pictures sent as NPF posts; taken
// as 10 MiB, so no picture the service takes is refused here.
inline constexpr qint64 kMaxPictureBytes = 10 * 1024 * 1024;
// The largest ".Info": a caption is text, and no real one comes near this.
inline constexpr qint64 kMaxInfoBytes = 1024 * 1024;

// The data folder, created (private to its owner) when missing.
// Raises ComponentError 0x80040001 "Can't create data folder." when it cannot be created.
QString GetDataPath();
// The next base name for a new post, from the time and the post counter, which it advances.
// SavePost moves on to the next one when a stored post holds the name.
QString MakePostFileName();
// Stores a new post (its group, tags, caption and picture file or URL) under a new name;
// false (and nothing left behind) when it could not be stored whole.
bool SavePost(const Post& post);
// Posts of a folder batch, written whole at once but made durable and visible a group at a
// time: one sync per group instead of several per post. No post is named before its bytes
// are on the disk.
class PostSaveGroup final {
public:
    explicit PostSaveGroup(int groupSize = 64);
    // Puts the pending posts in place.
    ~PostSaveGroup();
    PostSaveGroup(const PostSaveGroup&) = delete;
    PostSaveGroup& operator=(const PostSaveGroup&) = delete;

    // Writes a post's files under no name yet; false (nothing left) when they could not be.
    bool Add(const Post& post);
    // Puts the pending posts in place. Returns the picture files (or URLs) of the posts
    // added since the last Flush that could not be stored after all.
    QStringList Flush();

private:
    struct Pending;
    void PlacePending();
    bool Place(Pending& post, const QString& folder);

    int m_groupSize;
    QString m_folder; // of the posts added since the last placing
    std::vector<Pending> m_pending;
    QStringList m_failed;
};

// Reads a post from either file of its pair, and whether its last upload went unanswered.
// A damaged post fails with ErrorNumber::PostDamaged: an empty ".Picture", an ".Info"
// without the line breaks after its group and tags, or a file that is a symbolic link, no
// regular file, or larger than its cap. The picture content is read only when asked for.
enum class PostParts { InfoOnly, WithPicture };
Outcome<Post> LoadPost(const QString& fileName, PostParts parts = PostParts::InfoOnly);
// Bare names of a folder's ".Info" files (the posts the send mode sends), or of its
// ".Picture" files (the posts the manager shows), any letter case, in ascending order,
// letter case ignored. Raise ComponentError when the folder cannot be read.
FileNameList ListPostInfos(const QString& folder);
FileNameList ListPostPictures(const QString& folder);
// The ".Info" beside a picture file: a final ".picture" in any letter case becomes
// ".Info". Empty when the name does not end so.
QString InfoPathFor(const QString& picturePath);
// Removes a post by either file of its pair: the ".Info" first, so a half-deleted post is a
// lone ".Picture" the manager shows, then the ".Picture" and the post's send marker. When the
// ".Info" cannot be removed the rest stays too. A name ending in neither names no pair and
// nothing is removed. True when the named file is gone afterwards.
bool DeletePost(const QString& fileName);

// A post whose upload began has a marker "<base>.Sending" until its answer was handled, so
// a run that ended without an answer (timeout, dropped connection, killed program) is
// known: the service may have published the post. The marker holds the time of the try.
QString SendMarkerPath(const QString& fileName);
// Its name is durable before the upload starts; raises ComponentError when it cannot be.
void MarkPostSending(const QString& fileName);
void ClearPostSending(const QString& fileName);
// The ".Picture" files of a folder as ListPostPictures gives them, and from the same one
// reading of the folder the rows whose post has a send marker. Raises ComponentError when the
// folder cannot be read.
struct PostPictures {
    FolderContents Folder;
    QList<int> MarkedRows;
};
PostPictures ListPostPicturesWithMarkers(const QString& folder);
// When the post's last upload began, if it ended without an answer.
std::optional<QDateTime> PostSendingSince(const QString& fileName);
// A ".Picture" file's bytes, read as LoadPost reads them; raises ComponentError, PostDamaged
// for a file it refuses.
QByteArray ReadPostPicture(const QString& path);
// The URL of a URL post's ".Picture" file, or empty; a read failure raises ComponentError.
QString ReadPictureURL(const QString& path);
QString PictureURLFromData(const QByteArray& data);

// The per-run counter of post names; only tests set it.
void SetPostCounter(qint32 value);
