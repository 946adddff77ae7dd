#include "components/modPasswordCryptor.h"

#include "components/SupportLibrary.h"

namespace {

bool IsHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

} // namespace

QString EncryptPassword(const QString& password) {
    QString result;
    result.reserve(password.size() * 4);
    for (qsizetype i = password.size() - 1; i >= 0; --i) {
        const char16_t code = password.at(i).unicode();
        if (code > 0xFF)
            return {};
        result += zsHex1(255 - code) + zsHex1(zsGetRnd(0, 255));
    }
    return result;
}

QString DecryptPassword(const QString& text) {
    if (text.size() % 4 != 0)
        return {};
    QString result;
    result.reserve(text.size() / 4);
    for (qsizetype i = 0; i < text.size(); i += 4) {
        const QString pair = text.mid(i, 2);
        if (!IsHexDigit(pair.at(0)) || !IsHexDigit(pair.at(1)))
            return {};
        const uint value = pair.toUInt(nullptr, 16);
        result.prepend(QChar(static_cast<char16_t>(255 - value)));
    }
    return result;
}
