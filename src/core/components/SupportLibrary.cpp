#include "components/SupportLibrary.h"

#include "components/ComponentError.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QStandardPaths>

Q_LOGGING_CATEGORY(lcDebugPrint, "marivane.diagnostics", QtWarningMsg)

namespace {

QString TrimWhere(const QString& text, bool (*strip)(QChar)) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && strip(text.at(first)))
        ++first;
    while (last > first && strip(text.at(last - 1)))
        --last;
    return text.mid(first, last - first);
}

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool IsLineBreak(QChar c) {
    return c == u'\r' || c == u'\n';
}
bool IsPathBlank(QChar c) {
    return IsBlank(c) || IsLineBreak(c) || c == QChar(0);
}

} // namespace

QString TrimBlanks(const QString& text) {
    return TrimWhere(text, IsBlank);
}
QString TrimPathOrURL(const QString& text) {
    return TrimWhere(text, IsPathBlank);
}
QString zsTrimCRLF(const QString& text) {
    return TrimWhere(text, IsLineBreak);
}

QString zsGetLine(const QString& text, QString& rest) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!IsLineBreak(c))
            continue;
        const qsizetype next =
            (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') ? i + 2 : i + 1;
        rest = text.mid(next);
        return text.left(i);
    }
    rest.clear();
    return text;
}

QString zsGetLineOnly(const QString& text) {
    QString rest;
    return zsGetLine(text, rest);
}

QString zsCutLeft(const QString& text, qsizetype count) {
    return count <= 0 ? text : text.mid(qMin(count, text.size()));
}

QString zsCutRight(const QString& text, qsizetype count) {
    return count <= 0 ? text : text.left(qMax<qsizetype>(0, text.size() - count));
}

QString zsHex1(int byte) {
    return QStringLiteral("%1").arg(byte & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

QString zsUNICODEToUTF8(const QString& text) {
    return QString::fromLatin1(text.toUtf8());
}
QString zsUTF8ToUNICODE(const QString& text) {
    return QString::fromUtf8(text.toLatin1());
}

int zsGetRnd(int low, int high) {
    return QRandomGenerator::global()->bounded(low, high + 1);
}

QString zsBuildFileName(const QString& folder, const QString& name) {
    if (folder.isEmpty())
        return name;
    QString left = folder;
    while (left.size() > 1 && left.endsWith(QLatin1Char('/')))
        left.chop(1);
    qsizetype skip = 0;
    while (skip < name.size() && name.at(skip) == u'/')
        ++skip;
    if (left.endsWith(QLatin1Char('/')))
        return left + name.mid(skip);
    return left + QLatin1Char('/') + name.mid(skip);
}

QString zsGetFileExtension(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < slash)
        return {};
    return path.mid(dot + 1);
}

QString zsGetFilePath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return {};
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

bool zsIsFileExist(const QString& path) {
    const QFileInfo info(path);
    return !path.isEmpty() && info.exists() && !info.isDir();
}

bool zsIsDirectoryExist(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool zsCreateComplexDirectory(const QString& path) {
    return QDir().mkpath(path);
}

QString zsGetSpecialFolder(int code) {
    QStandardPaths::StandardLocation where = QStandardPaths::GenericDataLocation;
    if (code == SpecialFolder::Pictures)
        where = QStandardPaths::PicturesLocation;
    else if (code == SpecialFolder::Documents)
        where = QStandardPaths::DocumentsLocation;
    return QStandardPaths::writableLocation(where);
}

double zsGetFileSizeEx(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        throw ComponentError(ErrorNumber::FileSize,
                             QStringLiteral("Can't get size of \"") + path + QStringLiteral("\""));
    return static_cast<double>(info.size());
}

QString zsFormatByteSizeEx(double size) {
    if (size < 1024.0)
        return QStringLiteral("%1 bytes").arg(static_cast<qint64>(size));
    static const char* const units[] = {"KB", "MB", "GB", "TB", "PB"};
    int unit = -1;
    while (size >= 1024.0 && unit < 4) {
        size /= 1024.0;
        ++unit;
    }
    // Three significant digits, as short sizes are usually shown.
    const int decimals = size < 10.0 ? 2 : (size < 100.0 ? 1 : 0);
    return QString::number(size, 'f', decimals) + QLatin1Char(' ') + QLatin1String(units[unit]);
}

void zsDebugPrint(const QString& text) {
    qCDebug(lcDebugPrint).noquote() << text;
}
