#include "manage/modPostList.h"

#include <QFile>

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

void CountFileSizes(const QString& folder, const FileNameList& names, QList<qint64>& sizes,
                    const std::function<bool()>& stopped) {
    // stat directly, relative to the folder: a file-info object per post doubled the manager's
    // opening time, and a whole path per file walked the folder's path again each time.
    const int dir =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return;
    std::string name;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (stopped && i % 256 == 0 && stopped())
            break;
        if (sizes.at(i) >= 0)
            continue;
        name = names.Utf8At(i);
        struct stat info {};
        if (::fstatat(dir, name.c_str(), &info, 0) == 0)
            sizes[i] = info.st_size;
        // A file that cannot be read is left out; the count goes on.
    }
    ::close(dir);
}

double SumOfSizes(const QList<qint64>& sizes) {
    double total = 0.0;
    for (const qint64 size : sizes) {
        if (size > 0)
            total += static_cast<double>(size);
    }
    return total;
}
