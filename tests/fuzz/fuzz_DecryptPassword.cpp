// Whatever the settings file holds as a password restores to a password or to nothing.
#include "FuzzSupport.h"

#include "components/modPasswordCryptor.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = FuzzSupport::Bytes(data, size);

    const QString text = QString::fromUtf8(bytes);
    const QString password = DecryptPassword(text);
    if (!password.isEmpty()) {
        FUZZ_CHECK(text.size() % 4 == 0 && password.size() == text.size() / 4);
        for (const QChar c : password)
            FUZZ_CHECK(c.unicode() <= 0xFF);
        FUZZ_CHECK(DecryptPassword(EncryptPassword(password)) == password);
    }

    // Every single-byte password survives scrambling.
    const QString latin = QString::fromLatin1(bytes);
    const QString scrambled = EncryptPassword(latin);
    FUZZ_CHECK(scrambled.size() == latin.size() * 4);
    FUZZ_CHECK(DecryptPassword(scrambled) == latin);
    FUZZ_CHECK(DecryptPassword(scrambled.toLower()) == latin);
    return 0;
}
