// Any ".Info" bytes load without harm or are refused as damaged, and what loads stores and
// loads back unchanged.
#include "FuzzSupport.h"

#include "TestHome.h"
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

    QString group, caption, tags;
    QByteArray picture;
    bool damaged = false;
    // Without its two line breaks, or without picture bytes, a post was cut short.
    if (!LoadPost(base + QStringLiteral(".Picture"), group, caption, tags, &picture, &damaged)) {
        FUZZ_CHECK(damaged);
        DeletePost(base + QStringLiteral(".Info"));
        FUZZ_CHECK(folder.entryList(QDir::Files | QDir::Hidden).isEmpty());
        return 0;
    }
    FUZZ_CHECK(picture == bytes);
    FUZZ_CHECK(!HasLineBreak(group) && !HasLineBreak(tags));

    // A group with a bar is reduced on saving, so only bar-free groups must round-trip.
    if (!group.contains(QLatin1Char('|'))) {
        FUZZ_CHECK(SavePost(group, caption, tags, base + QStringLiteral(".Picture"), {}));
        const QStringList infos = FolderFiles(folder.path(), {QStringLiteral("*.Info")});
        FUZZ_CHECK(infos.size() == 2);
        const QString stored = folder.filePath(
            infos.at(0) == QStringLiteral("2001-01-01 00-00-00 0000.Info") ? infos.at(1)
                                                                           : infos.at(0));
        QString group2, caption2, tags2;
        QByteArray picture2;
        FUZZ_CHECK(LoadPost(stored, group2, caption2, tags2, &picture2));
        FUZZ_CHECK(group2 == group && tags2 == tags && caption2 == caption);
        FUZZ_CHECK(picture2 == bytes);
        DeletePost(stored);
    }
    DeletePost(base + QStringLiteral(".Info"));
    FUZZ_CHECK(FolderFiles(folder.path(), {}, QDir::Files | QDir::Hidden).isEmpty());
    return 0;
}
