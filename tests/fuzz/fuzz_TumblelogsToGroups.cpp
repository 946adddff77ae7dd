// Whatever the service answers to "/api/authenticate" becomes a groups text or a refusal.
#include "FuzzSupport.h"

#include "service/BlogListFetch.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<BlogList> blogs = TumblelogsToBlogs(FuzzSupport::Bytes(data, size));
    const std::optional<QString> groups =
        blogs ? std::optional<QString>(GroupsText(*blogs)) : std::nullopt;
    if (groups && !groups->isEmpty()) {
        // The editor gets whole lines: no break at either end.
        for (const QChar end : {groups->front(), groups->back()})
            FUZZ_CHECK(end != QLatin1Char('\r') && end != QLatin1Char('\n'));
        FUZZ_CHECK(groups->contains(QStringLiteral(" | ")));
    }
    return 0;
}
