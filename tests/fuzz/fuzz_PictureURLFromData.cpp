// A ".Picture" content is a URL post only when it carries the marker and a usable URL.
#include "FuzzSupport.h"

#include "app/modCommon.h"
#include "store/modStorage.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = FuzzSupport::Bytes(data, size);
    const QByteArray marker(kUrlMarkerLine);

    const QString url = PictureURLFromData(bytes);
    if (!url.isEmpty()) {
        FUZZ_CHECK(bytes.left(marker.size()).compare(marker, Qt::CaseInsensitive) == 0);
        FUZZ_CHECK(IsPictureURL(url));
        FUZZ_CHECK(url == QString::fromUtf8(bytes.mid(marker.size())));
    }

    // The same bytes taken as a URL: a stored URL post gives back exactly that URL.
    const QString asUrl = QString::fromUtf8(bytes);
    const QString stored = PictureURLFromData(marker + asUrl.toUtf8());
    FUZZ_CHECK(stored == (IsPictureURL(asUrl) ? asUrl : QString()));
    return 0;
}
