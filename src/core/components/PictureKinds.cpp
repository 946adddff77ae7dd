#include "components/PictureKinds.h"

#include "components/SupportLibrary.h"

#include <QStringList>

namespace {

struct PictureKind {
    const char* Extension;
    // The file dialog has never offered device-independent bitmaps; the batch takes them.
    bool InFileDialog;
};

constexpr PictureKind kPictureKinds[] = {{"jpg", true},  {"jpe", true},  {"jpeg", true},
                                         {"jfif", true}, {"gif", true},  {"png", true},
                                         {"bmp", true},  {"dib", false}, {"rle", true}};

} // namespace

bool IsPictureFile(const QString& name) {
    const QString extension = zsGetFileExtension(name).toLower();
    if (extension.isEmpty())
        return false;
    for (const PictureKind& kind : kPictureKinds) {
        if (extension == QLatin1String(kind.Extension))
            return true;
    }
    return false;
}

QString PictureFileFilter() {
    QStringList patterns;
    for (const PictureKind& kind : kPictureKinds) {
        if (kind.InFileDialog)
            patterns.append(QStringLiteral("*.") + QString::fromLatin1(kind.Extension).toUpper());
    }
    return QStringLiteral("Picture files|") + patterns.join(QLatin1Char(';')) +
           QStringLiteral("|All files|*.*");
}
