// Any ".Info" bytes load without harm or are refused as damaged, and what loads stores and
// loads back unchanged.
#include "FuzzSupport.h"

#include "TestHome.h"
#include "components/ComponentError.h"
#include "store/modStorage.h"

#include <QDir>

namespace {

bool HasLineBreak(const QString& text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = FuzzSupport::Bytes(data, size);
    const QDir folder(FuzzSupport::DataFolder());
    const QString base = folder.filePath(QStringLiteral("2001-01-01 00-00-00 0000"));
    FuzzSupport::Write(base + QStringLiteral(".Info"), bytes);
    FuzzSupport::Write(base + QStringLiteral(".Picture"), bytes);

    // Without its two line breaks, or without picture bytes, a post was cut short.
    const Outcome<Post> post = LoadPost(base + QStringLiteral(".Picture"), PostParts::WithPicture);
    if (!post) {
        FUZZ_CHECK(post.Error().Number == ErrorNumber::PostDamaged);
        DeletePost(base + QStringLiteral(".Info"));
        FUZZ_CHECK(folder.entryList(QDir::Files | QDir::Hidden).isEmpty());
        return 0;
    }
    FUZZ_CHECK(post->Picture == bytes);
    FUZZ_CHECK(!HasLineBreak(post->Group) && !HasLineBreak(post->Tags));

    // A group with a bar is reduced on saving, so only bar-free groups must round-trip.
    if (!post->Group.contains(QLatin1Char('|'))) {
        Post copy = *post;
        copy.PictureFile = base + QStringLiteral(".Picture");
        FUZZ_CHECK(SavePost(copy));
        const QStringList infos = FolderFiles(folder.path(), {QStringLiteral("*.Info")});
        FUZZ_CHECK(infos.size() == 2);
        const QString stored = folder.filePath(
            infos.at(0) == QStringLiteral("2001-01-01 00-00-00 0000.Info") ? infos.at(1)
                                                                           : infos.at(0));
        const Outcome<Post> again = LoadPost(stored, PostParts::WithPicture);
        FUZZ_CHECK(again && again->Group == post->Group && again->Tags == post->Tags &&
                   again->Caption == post->Caption);
        FUZZ_CHECK(again->Picture == bytes);
        DeletePost(stored);
    }
    DeletePost(base + QStringLiteral(".Info"));
    FUZZ_CHECK(FolderFiles(folder.path(), {}, QDir::Files | QDir::Hidden).isEmpty());
    return 0;
}
