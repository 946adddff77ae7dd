#include "components/AppTitle.h"

QString MakeWindowTitle(const QString& mode) {
    QString title = QString::fromLatin1(kAppTitle);
    title.remove(QString::fromLatin1(kTitlePrefix), Qt::CaseSensitive);
    if (mode.isEmpty())
        return title;
    return title + QStringLiteral(" :: ") + mode;
}
