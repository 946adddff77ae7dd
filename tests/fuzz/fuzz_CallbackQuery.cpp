// Whatever reaches the sign-in's loopback page, only a GET of the callback path is taken.
#include "FuzzSupport.h"

#include "service/LoopbackRedirect.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray head = FuzzSupport::Bytes(data, size);
    if (const std::optional<QUrlQuery> query = CallbackQuery(head)) {
        FUZZ_CHECK(head.startsWith("GET /callback"));
        // The sign-in reads its values decoded; that must hold up whatever they are.
        static_cast<void>(query->queryItems(QUrl::FullyDecoded));
    }
    return 0;
}
