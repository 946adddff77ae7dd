#include "FuzzSupport.h"

#include "components/Messages.h"
#include "store/modStorage.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace {

QTemporaryDir* g_home = nullptr;

void DropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

namespace FuzzSupport {

void Init() {
    // Never touch the real home folder; the folder lives until the process ends.
    g_home = new QTemporaryDir;
    if (!g_home->isValid())
        Fail("no temporary folder");
    const QByteArray home = g_home->path().toUtf8();
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/config");
    qputenv("XDG_DATA_HOME", home + "/data");
    qputenv("XDG_CACHE_HOME", home + "/cache");
    qInstallMessageHandler(DropMessage);
    Messages::SetHandler([](const MessageRequest&) { return MsgResult::Ok; });
    GetDataPath();
}

QString DataFolder() {
    return g_home->path() + QStringLiteral("/data/Velmora/Marivane");
}

QByteArray Bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

void Write(const QString& path, const QByteArray& data) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
        Fail("cannot write the input file");
}

void Fail(const char* what) {
    std::fprintf(stderr, "FUZZ CHECK FAILED: %s\n", what);
    std::abort();
}

} // namespace FuzzSupport
