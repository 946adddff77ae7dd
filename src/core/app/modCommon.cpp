#include "app/modCommon.h"

#include "components/SupportLibrary.h"

bool HasURLForm(const QString& text) {
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 2 || colon + 1 >= text.size())
        return false;
    auto isAsciiLetter = [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    };
    if (!isAsciiLetter(text.at(0)))
        return false;
    for (qsizetype i = 1; i < colon; ++i) {
        const QChar c = text.at(i);
        if (!isAsciiLetter(c) && !(c >= u'0' && c <= u'9') && c != u'+' && c != u'-' && c != u'.')
            return false;
    }
    return true;
}

bool IsPictureURL(const QString& text) {
    zsDebugPrint(QStringLiteral("IsPictureURL() ==> \"") + text + QLatin1Char('"'));
    if (!HasURLForm(text)) {
        zsDebugPrint(QStringLiteral("IsPictureURL() ==> PathIsURLW == FALSE"));
        return false;
    }
    if (text.left(7).toLower() == QLatin1String("file://"))
        return false;
    for (const QChar c : text) {
        if (c == u'\n' || c == u'\r' || c == u'\t' || c == QChar(0))
            return false;
    }
    return true;
}

QString DecodeServerText(const QString& text) {
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        return {};
    return zsUTF8ToUNICODE(text);
}
