// Opening the manage and the send windows over many waiting posts against a few: fills two
// data folders (few and many posts) and times, alternating between them, constructing,
// showing and painting the first frame of frmPostManager and frmSender. Prints the median
// milliseconds of each window and folder as "<window> <posts> <ms>" lines.
// Usage: scale_windows <work folder> [few=50] [many=5000] [rounds=21]
#include "FirstPaint.h"
#include "manage/frmPostManager.h"
#include "service/frmSender.h"
#include "store/modStorage.h"
#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Points the data folder (through XDG_DATA_HOME) at a folder of its own for each count.
void UseDataHome(const QString& work, int posts) {
    qputenv("XDG_DATA_HOME", QFile::encodeName(work + QStringLiteral("/data-%1").arg(posts)));
}

bool Fill(const QString& work, int posts) {
    UseDataHome(work, posts);
    const QString picture = work + QStringLiteral("/picture.jpg");
    for (int i = 0; i < posts; ++i) {
        if (!SavePost(QStringLiteral("Blog | blog.example.com"),
                      QStringLiteral("Caption of post %1").arg(i), QStringLiteral("tag one, two"),
                      picture, QString()))
            return false;
    }
    return ListPostInfos(GetDataPath()).size() == posts;
}

template <typename Window> double OpenOnce(const QString& work, int posts) {
    UseDataHome(work, posts);
    QElapsedTimer clock;
    QEventLoop loop;
    clock.start();
    Window window;
    const FirstPaint painted(&window, [&loop] { loop.quit(); });
    window.show();
    loop.exec();
    return clock.nsecsElapsed() / 1e6;
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
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: scale_windows <work folder> [few] [many] [rounds]\n");
        return 2;
    }
    const QString work = args.at(1);
    const int counts[2] = {args.size() > 2 ? args.at(2).toInt() : 50,
                           args.size() > 3 ? args.at(3).toInt() : 5000};
    const int rounds = args.size() > 4 ? args.at(4).toInt() : 21;

    QFile picture(work + QStringLiteral("/picture.jpg"));
    if (!picture.open(QIODevice::WriteOnly) || picture.write(QByteArray(30000, 'p')) != 30000)
        return 1;
    picture.close();
    for (const int posts : counts) {
        if (!Fill(work, posts)) {
            std::fprintf(stderr, "could not store %d posts\n", posts);
            return 1;
        }
    }

    std::vector<double> manager[2], sender[2];
    OpenOnce<frmPostManager>(work, counts[0]); // the first window pays for fonts and styles
    OpenOnce<frmSender>(work, counts[0]);
    for (int round = 0; round < rounds; ++round) {
        for (int which = 0; which < 2; ++which) {
            manager[which].push_back(OpenOnce<frmPostManager>(work, counts[which]));
            sender[which].push_back(OpenOnce<frmSender>(work, counts[which]));
        }
    }
    for (int which = 0; which < 2; ++which) {
        std::printf("manager %d %.3f\n", counts[which], Median(manager[which]));
        std::printf("sender %d %.3f\n", counts[which], Median(sender[which]));
    }
    return 0;
}
