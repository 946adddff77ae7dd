#include "manage/modPostList.h"

#include <QFile>

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

// Beyond this many names the count is shared with a second thread: a stat costs a microsecond
// or two, and a queue seen for the first time is counted before the manager's first frame.
constexpr qsizetype kSharedFrom = 4096;

qsizetype CountRange(int dir, const FileNameList& names, qint64* sizes, qsizetype begin,
                     qsizetype end, const std::function<bool()>& stopped) {
    qsizetype counted = 0;
    std::string name;
    for (qsizetype i = begin; i < end; ++i) {
        if (stopped && i % 256 == 0 && stopped())
            break;
        if (sizes[i] >= 0)
            continue;
        name = names.Utf8At(i);
        struct stat info {};
        if (::fstatat(dir, name.c_str(), &info, 0) == 0) {
            sizes[i] = info.st_size;
            ++counted;
        }
        // A file that cannot be read is left out; the count goes on.
    }
    return counted;
}

} // namespace

qsizetype CountFileSizes(const QString& folder, const FileNameList& names, QList<qint64>& sizes,
                         const std::function<bool()>& stopped) {
    // stat directly, relative to the folder: a file-info object per post doubled the manager's
    // opening time, and a whole path per file walked the folder's path again each time.
    const int dir =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return 0;
    qint64* const out = sizes.data(); // detached here, before a second thread writes
    const qsizetype count = names.size();
    qsizetype ownEnd = count;
    qsizetype countedThere = 0;
    std::thread second;
    if (count >= kSharedFrom) {
        try {
            second = std::thread([&, dir, out, count] {
                countedThere = CountRange(dir, names, out, count / 2, count, stopped);
            });
            ownEnd = count / 2;
        } catch (const std::system_error&) {
            // Counted here alone.
        }
    }
    const qsizetype counted = CountRange(dir, names, out, 0, ownEnd, stopped);
    if (second.joinable())
        second.join();
    ::close(dir);
    return counted + countedThere;
}

double SumOfSizes(const QList<qint64>& sizes) {
    double total = 0.0;
    for (const qint64 size : sizes) {
        if (size > 0)
            total += static_cast<double>(size);
    }
    return total;
}
