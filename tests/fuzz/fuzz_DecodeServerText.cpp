// A reply of the service is shown decoded when it is one line, and not at all otherwise.
#include "FuzzSupport.h"

#include "app/modCommon.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = FuzzSupport::Bytes(data, size);
    const QString decoded = DecodeServerText(QString::fromLatin1(bytes));
    if (bytes.contains('\r') || bytes.contains('\n'))
        FUZZ_CHECK(decoded.isEmpty());
    else
        FUZZ_CHECK(decoded == QString::fromUtf8(bytes));
    return 0;
}
