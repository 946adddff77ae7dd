#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// Shared set-up of the fuzz targets: a private HOME, silent message boxes and debug output.
namespace FuzzSupport {

// Call once from LLVMFuzzerInitialize.
void Init();
// The data folder inside the private HOME.
QString DataFolder();
QByteArray Bytes(const uint8_t* data, size_t size);
// Writes a file whole; aborts when it cannot (the target would test nothing).
void Write(const QString& path, const QByteArray& data);
// Ends the run as a crash, so libFuzzer keeps the input.
[[noreturn]] void Fail(const char* what);

} // namespace FuzzSupport

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            FuzzSupport::Fail(#condition);                                                         \
    } while (false)
