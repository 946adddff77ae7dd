// Opening the manage and the send windows over many waiting posts against a few: fills one
// data folder per post count and times, alternating between them, constructing, showing and
// painting the first frame of frmPostManager and frmSender. Prints the median milliseconds
// of each window and folder as "<window> <posts> <ms>" lines, and of the first opening after
// a change of the largest folder as "<window>-changed <posts> <ms>", and of the manager's
// opening with no index at all, every size still to count, as "manager-uncounted <posts> <ms>".
// Usage: scale_windows <work folder> <rounds> <posts> [<posts> ...]
#include "FirstPaint.h"
#include "TestHome.h"
#include "manage/frmPostManager.h"
#include "service/frmSender.h"
#include "store/modStorage.h"
#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Points the data folder (through XDG_DATA_HOME) at a folder of its own for each count.
void UseDataHome(const QString& work, int posts) {
    qputenv("XDG_DATA_HOME", QFile::encodeName(work + QStringLiteral("/data-%1").arg(posts)));
}

// Stores the posts the way the folder batch does: the same files as one by one, with one
// sync per group instead of several per post, which kept tens of thousands from being filled
// in a benchmark's time.
bool Fill(const QString& work, int posts) {
    UseDataHome(work, posts);
    const QString picture = work + QStringLiteral("/picture.jpg");
    {
        PostSaveGroup group(1024);
        for (int i = 0; i < posts; ++i) {
            if (!group.Add(NewPost(QStringLiteral("Blog | blog.example.com"),
                                   QStringLiteral("Caption of post %1").arg(i),
                                   QStringLiteral("tag one, two"), picture)))
                return false;
        }
        if (!group.Flush().isEmpty())
            return false;
    }
    return ListPostInfos(GetDataPath()).size() == posts;
}

// A post added and removed again, as a user does between openings: the folder's index no
// longer holds, and the window reads the folder itself.
void ChangeFolder() {
    const QString added = GetDataPath() + QStringLiteral("/added.Info");
    QFile(added).open(QIODevice::WriteOnly);
    QFile::remove(added);
    QThread::msleep(250);
}

enum class Before { Nothing, Change, ForgetIndex };

// The folders' indexes gone, as at the first opening of a queue filled by another program.
void ForgetIndexes() {
    QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
         QStringLiteral("/Velmora"))
        .removeRecursively();
}

template <typename Window>
double OpenOnce(const QString& work, int posts, Before before = Before::Nothing) {
    UseDataHome(work, posts);
    if (before == Before::Change)
        ChangeFolder();
    if (before == Before::ForgetIndex)
        ForgetIndexes();
    QElapsedTimer clock;
    QEventLoop loop;
    clock.start();
    Window window;
    const FirstPaint painted(&window, [&loop] { loop.quit(); });
    window.show();
    loop.exec();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    InstallMessageBoxes();
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: scale_windows <work folder> <rounds> <posts>...\n");
        return 2;
    }
    const QString work = args.at(1);
    const int rounds = args.at(2).toInt();
    std::vector<int> counts;
    for (qsizetype i = 3; i < args.size(); ++i)
        counts.push_back(args.at(i).toInt());

    QFile picture(work + QStringLiteral("/picture.jpg"));
    if (!picture.open(QIODevice::WriteOnly) || picture.write(QByteArray(3000, 'p')) != 3000)
        return 1;
    picture.close();
    for (const int posts : counts) {
        if (!Fill(work, posts)) {
            std::fprintf(stderr, "could not store %d posts\n", posts);
            return 1;
        }
    }

    std::vector<std::vector<double>> manager(counts.size()), sender(counts.size());
    std::vector<double> managerChanged, senderChanged, managerUncounted; // the largest folder
    OpenOnce<frmPostManager>(work, counts[0]); // the first window pays for fonts and styles
    OpenOnce<frmSender>(work, counts[0]);
    for (int round = 0; round < rounds; ++round) {
        for (size_t which = 0; which < counts.size(); ++which) {
            manager[which].push_back(OpenOnce<frmPostManager>(work, counts[which]));
            sender[which].push_back(OpenOnce<frmSender>(work, counts[which]));
        }
    }
    // Apart, after the rounds above: a change also leaves the index holding only what the
    // window opened after it read.
    for (int round = 0; round < rounds; ++round) {
        managerChanged.push_back(OpenOnce<frmPostManager>(work, counts.back(), Before::Change));
        senderChanged.push_back(OpenOnce<frmSender>(work, counts.back(), Before::Change));
        managerUncounted.push_back(
            OpenOnce<frmPostManager>(work, counts.back(), Before::ForgetIndex));
    }
    for (size_t which = 0; which < counts.size(); ++which) {
        std::printf("manager %d %.3f\n", counts[which], Median(manager[which]));
        std::printf("sender %d %.3f\n", counts[which], Median(sender[which]));
    }
    std::printf("manager-changed %d %.3f\n", counts.back(), Median(managerChanged));
    std::printf("sender-changed %d %.3f\n", counts.back(), Median(senderChanged));
    std::printf("manager-uncounted %d %.3f\n", counts.back(), Median(managerUncounted));
    return 0;
}
