#include "service/modLinks.h"

#include <QRegularExpression>

#include "components/ComponentError.h"
#include "components/FileFunctions.h"
#include "components/SupportLibrary.h"
#include "store/modStorage.h"

namespace {

QString LinksPath() {
    return zsBuildFileName(GetDataPath(), QStringLiteral("Links.LST"));
}

} // namespace

void AppendLink(const QString& link) {
    try {
        FileFunctions::AppendTextFile(LinksPath(), link + QStringLiteral("\r\n"));
    } catch (const ComponentError& e) {
        zsDebugPrint(QStringLiteral("AppendLink() ==> ") + e.Description());
    }
}

Outcome<QString> ReadLinksList() {
    QString path;
    try {
        path = LinksPath();
    } catch (const ComponentError&) {
        // No data folder: the list behaves as missing.
        return QString();
    }
    if (!zsIsFileExist(path))
        return QString();
    try {
        return zsTrimCRLF(FileFunctions::ReadTextFile(path));
    } catch (const ComponentError& e) {
        return FailureOf(e, QStringLiteral("Can't read links list."));
    }
}

QString AppendPostLink(const QString& group, const QString& id) {
    static const QRegularExpression number(QStringLiteral("^[0-9]{1,20}$"));
    if (!number.match(id).hasMatch())
        return {};
    const QString link = QStringLiteral("http://") + group + QStringLiteral("/post/") + id;
    AppendLink(link);
    return link;
}
