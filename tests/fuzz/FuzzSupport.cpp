#include "FuzzSupport.h"

#include "TestHome.h"

#include "store/modStorage.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <cstdio>
#include <cstdlib>

namespace {

TestHome* g_home = nullptr;

void DropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

namespace FuzzSupport {

void Init() {
    // Never touch the real home folder; the folder lives until the process ends.
    g_home = new TestHome;
    if (!g_home->IsValid())
        Fail("no temporary folder");
    qInstallMessageHandler(DropMessage);
    GetDataPath();
}

QString DataFolder() {
    return g_home->DataFolder();
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
