// Any history file loads as clean entries, and saving them gives a file that loads the same.
#include "FuzzSupport.h"

#include "components/SupportLibrary.h"
#include "history/CHistory.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString name = QStringLiteral("History.DAT");
    FuzzSupport::Write(FuzzSupport::DataFolder() + QLatin1Char('/') + name,
                       FuzzSupport::Bytes(data, size));

    CHistory history;
    history.InitFileName(FuzzSupport::DataFolder(), name);
    history.LoadHistory();
    const QStringList loaded = history.Entries();
    for (const QString& entry : loaded) {
        FUZZ_CHECK(!entry.isEmpty());
        FUZZ_CHECK(!entry.contains(QChar(0)));
        FUZZ_CHECK(entry == TrimBlanks(entry));
    }

    history.SaveHistory();
    CHistory again;
    again.InitFileName(FuzzSupport::DataFolder(), name);
    again.LoadHistory();
    FUZZ_CHECK(again.Entries() == loaded);
    return 0;
}
