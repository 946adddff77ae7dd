#include "components/FileFunctions.h"

#include "components/ComponentError.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

[[noreturn]] void Fail(quint32 number, const QString& what, const QFile& file) {
    throw ComponentError(number, what + QStringLiteral(" \"") + file.fileName() +
                                     QStringLiteral("\": ") + file.errorString());
}

} // namespace

namespace FileFunctions {

QByteArray ReadBinaryFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(ErrorNumber::FileRead, QStringLiteral("Can't open file"), file);
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        Fail(ErrorNumber::FileRead, QStringLiteral("Can't read file"), file);
    return data;
}

void WriteBinaryFile(const QString& path, const QByteArray& data, bool replaceExisting) {
    const QFileInfo target(path);
    // No fsync: a killed process must not leave half a file, which the rename ensures;
    // syncing every post would make batches many times slower.
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!temp.open())
        Fail(ErrorNumber::FileWrite, QStringLiteral("Can't create file"), temp);
    if (temp.write(data) != data.size() || !temp.flush())
        Fail(ErrorNumber::FileWrite, QStringLiteral("Can't write file"), temp);
    temp.close();
    if (replaceExisting) {
        // POSIX rename replaces the old file in one step.
        if (std::rename(QFile::encodeName(temp.fileName()).constData(),
                        QFile::encodeName(path).constData()) != 0) {
            throw ComponentError(ErrorNumber::FileWrite,
                                 QStringLiteral("Can't replace file \"") + path +
                                     QStringLiteral("\": ") +
                                     QString::fromLocal8Bit(strerror(errno)));
        }
    } else if (target.exists() || !temp.rename(path)) {
        // QFile::rename never replaces an existing file.
        throw ComponentError(ErrorNumber::FileExists,
                             QStringLiteral("Can't create file \"") + path + QStringLiteral("\""));
    }
    temp.setAutoRemove(false);
}

QString ReadTextFile(const QString& path) {
    return QString::fromUtf8(ReadBinaryFile(path));
}

void WriteTextFile(const QString& path, const QString& text, bool replaceExisting) {
    WriteBinaryFile(path, text.toUtf8(), replaceExisting);
}

void AppendTextFile(const QString& path, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        Fail(ErrorNumber::FileWrite, QStringLiteral("Can't open file"), file);
    const QByteArray data = text.toUtf8();
    if (file.write(data) != data.size() || !file.flush())
        Fail(ErrorNumber::FileWrite, QStringLiteral("Can't write file"), file);
}

} // namespace FileFunctions
