// Stores every file of a folder as a post, the way the folder batch's "Create posts" does:
// one post per file of a save group, in name order, with the creator's group, caption and
// tags; the run ends when the last group is on the disk.
// The data folder follows HOME / XDG_DATA_HOME, so the script points it where it wants.
#include "TestHome.h"
#include "components/SupportLibrary.h"
#include "store/modStorage.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        std::fprintf(stderr, "usage: batch_vs_cp <folder of pictures>\n");
        return 1;
    }
    const QString folder = app.arguments().at(1);
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    const QString group = QStringLiteral("Bench | bench.example.com");
    const QString caption = QStringLiteral("A caption\r\nof two lines");
    const QString tags = QStringLiteral("bench, batch");

    QElapsedTimer timer;
    timer.start();
    int failed = 0;
    {
        PostSaveGroup posts;
        for (const QString& name : names) {
            if (!posts.Add(NewPost(group, caption, tags, zsBuildFileName(folder, name))))
                ++failed;
        }
        failed += static_cast<int>(posts.Flush().size());
    }
    std::printf("stored %lld posts in %lld ms\n", static_cast<long long>(names.size() - failed),
                static_cast<long long>(timer.elapsed()));
    return failed == 0 ? 0 : 2;
}
