#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class CreatorFields;
struct Failure;
class PostSaveGroup;
class QMimeData;

// What the two batch windows share below the window layer: which files are pictures,
// how a folder and a URL text become the items of a run, and storing one post of a run.

// Bare names of the picture files in a folder (hidden and read-only ones included, folders
// and special files excluded), in the order the file system gives them.
// Raises ComponentError when the folder cannot be read.
QStringList ListPictureFiles(const QString& folder);

// Full paths of the local files and folders a drag carries; nothing when it carries anything
// else as well, such as a web link.
std::optional<QStringList> LocalDropPaths(const QMimeData* data);

// A folder batch started by a drop: its folder, and the pictures to select (none: all).
struct DroppedBatch {
    QString Folder;
    QStringList Names;
};
// One folder, or several picture files of one folder; nothing for any other set of paths.
std::optional<DroppedBatch> BatchFromDroppedPaths(const QStringList& paths);

// The lines of a URL text: pieces between CR LF pairs. A lone CR or LF stays in its line.
QStringList SplitURLLines(const QString& text);

// What to do when a post of a run cannot be stored: the window asks the user, a test or
// a command line decides on its own.
enum class StoreDecision { Abort, Retry, Ignore };
using StoreFailureDecision = std::function<StoreDecision(const Failure& question)>;

enum class StoreOutcome { Stored, Ignored, Aborted };
// Stores one post of a run with the creator's group, caption and tags, as they stand at
// each try; on failure `decide` chooses. An empty URL makes a file post. With a group, the
// post becomes visible when the group is put in place.
// Once PackPost.
StoreOutcome StoreRunPost(CreatorFields& creator, const QString& pictureFile,
                          const QString& pictureURL, const StoreFailureDecision& decide,
                          PostSaveGroup* group = nullptr);

// A folder batch: one post for each named picture of the folder, stored a group at a time.
struct FolderBatchResult {
    bool Aborted = false;
    // The names not stored nor ignored: the rest of the run after an Abort.
    QStringList Left;
};
FolderBatchResult StoreFolderPosts(CreatorFields& creator, const QString& folder,
                                   const QStringList& names, const StoreFailureDecision& decide);
// The creator's caption and tags go to its histories once a run is over.
void AddCreatorHistories(CreatorFields& creator);

struct URLBatchResult {
    bool aborted = false;
    QString invalidLines; // trimmed lines that are no URL, each followed by CR LF
};
// Stores one URL post for every line of the text that is a picture URL.
URLBatchResult StoreURLPosts(const QString& text, CreatorFields& creator,
                             const StoreFailureDecision& decide);
