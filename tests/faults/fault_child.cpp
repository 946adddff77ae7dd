// A helper process for the fault tests: it stores posts exactly as a batch run does, so the
// tests can kill it or limit its file sizes without touching the test process itself.
//   fault_child loop <picture>                       stores posts until killed
//   fault_child limited <picture> <before> <after> <bytes>
//       stores <before> posts, then limits every file it writes to <bytes> and tries
//       <after> more; prints one line per post: "ok" or "failed"
//   fault_child writes <picture>
//       every kind of file the program keeps: a post, a batch group of posts, a link,
//       a history, the settings
#include "TestHome.h"
#include "components/SettingsStore.h"
#include "history/CHistory.h"
#include "service/modLinks.h"
#include "store/modStorage.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace {

const QString kGroup = QStringLiteral("Holidays | fault.example.com");
const QString kTags = QStringLiteral("sea, sand");
const QString kCaption = QStringLiteral("Line one\r\nLine two");

bool Store(const QString& picture) {
    return SavePost(NewPost(kGroup, kCaption, kTags, picture));
}

int Loop(const QString& picture) {
    for (quint64 saved = 1;; ++saved) {
        if (!Store(picture))
            return 2;
        // The parent waits for the first posts before it kills.
        std::printf("saved %llu\n", static_cast<unsigned long long>(saved));
        std::fflush(stdout);
    }
}

int Limited(const QString& picture, int before, int after, rlim_t bytes) {
    QTextStream out(stdout);
    for (int i = 0; i < before; ++i)
        out << (Store(picture) ? "ok" : "failed") << Qt::endl;
    // As on a full disk, a write past the limit fails with an error instead of a signal.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        return 3;
    for (int i = 0; i < after; ++i)
        out << (Store(picture) ? "ok" : "failed") << Qt::endl;
    return 0;
}

int Writes(const QString& picture) {
    if (!Store(picture))
        return 2;
    {
        PostSaveGroup group;
        for (int i = 0; i < 3; ++i) {
            if (!group.Add(NewPost(kGroup, kCaption, kTags, picture)))
                return 2;
        }
        if (!group.Flush().isEmpty())
            return 2;
    }
    AppendLink(QStringLiteral("http://fault.example.com/post/1"));
    CHistory history;
    history.InitFileName(GetDataPath(), QStringLiteral("History.DAT"));
    history.Add(kCaption);
    history.SaveHistory();
    SettingsStore().SaveText(QStringLiteral("Last Caption"), kCaption);
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args.at(1) == QStringLiteral("loop"))
        return Loop(args.at(2));
    if (args.size() == 3 && args.at(1) == QStringLiteral("writes"))
        return Writes(args.at(2));
    if (args.size() == 6 && args.at(1) == QStringLiteral("limited"))
        return Limited(args.at(2), args.at(3).toInt(), args.at(4).toInt(),
                       static_cast<rlim_t>(args.at(5).toULongLong()));
    std::fprintf(stderr, "usage: fault_child loop <picture> | limited <picture> <before> "
                         "<after> <bytes>\n");
    return 1;
}
