#include "components/FileFunctions.h"

#include "components/ComponentError.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

// Plain POSIX calls: a post is two whole-file writes, and Qt's temporary files
// (O_TMPFILE and several checks each) made a batch several times slower than cp.

namespace {

// An open file descriptor that is closed on every path.
class Fd final {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return m_fd; }
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

} // namespace

namespace FileFunctions {

// A file written beside the target and put in place whole by Commit; removed otherwise.
// A new file that must not replace another is written unnamed (O_TMPFILE) and linked in
// place: one call fewer than a rename, and a killed program leaves no stray file behind.
// Elsewhere it is a hidden file with a random name, renamed over the target.
// Its data reaches the disk before its name appears, and the folder is synced after, so
// a power cut leaves the old state or the whole new file.
class TempFile final {
public:
    TempFile(const QString& target, bool replaceExisting)
        : m_target(target), m_replace(replaceExisting) {
        const QFileInfo info(target);
        m_folder = QFile::encodeName(info.absolutePath());
        if (!replaceExisting && LinkingWorks()) {
            m_fd = ::open(m_folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
            if (m_fd >= 0)
                return;
            // File systems without unnamed files take the named way.
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
                ThrowSystemError(ErrorNumber::FileWrite, QStringLiteral("Can't create file"),
                                 target, errno);
        }
        m_name = m_folder + "/." + QFile::encodeName(info.fileName()) + ".XXXXXX";
        m_fd = ::mkostemp(m_name.data(), O_CLOEXEC);
        if (m_fd < 0)
            ThrowSystemError(ErrorNumber::FileWrite, QStringLiteral("Can't create file"), target,
                             errno);
    }
    ~TempFile() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_committed && !m_name.isEmpty())
            ::unlink(m_name.constData());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int Get() const { return m_fd; }
    const QString& Target() const { return m_target; }

    void Commit() {
        SyncData();
        Place(m_target);
        SyncFolder(m_target, m_folder);
    }

    void SyncData() const {
        if (::fdatasync(m_fd) != 0)
            ThrowSystemError(ErrorNumber::FileWrite, QStringLiteral("Can't write file"), m_target,
                             errno);
    }

    // Gives the file its name; its data must have been synced, unless it is a cache.
    void Place(const QString& targetPath) {
        m_target = targetPath;
        const QByteArray target = QFile::encodeName(m_target);
        if (m_name.isEmpty()) {
            // link refuses a taken name, as a post file must.
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, target.constData(),
                         AT_SYMLINK_FOLLOW) != 0)
                FailToCreate(errno);
            if (::close(std::exchange(m_fd, -1)) != 0) {
                const int error = errno;
                // Not known to be whole: it must not stay.
                ::unlink(target.constData());
                ThrowSystemError(ErrorNumber::FileWrite, QStringLiteral("Can't write file"),
                                 m_target, error);
            }
            m_committed = true;
            return;
        }
        Close();
        if (m_replace) {
            // rename replaces the old file in one step.
            if (::rename(m_name.constData(), target.constData()) != 0)
                ThrowSystemError(ErrorNumber::FileWrite, QStringLiteral("Can't replace file"),
                                 m_target, errno);
        } else if (::renameat2(AT_FDCWD, m_name.constData(), AT_FDCWD, target.constData(),
                               RENAME_NOREPLACE) != 0) {
            int error = errno;
            // File systems without RENAME_NOREPLACE: link refuses an existing name too.
            if ((error == EINVAL || error == ENOSYS) &&
                ::link(m_name.constData(), target.constData()) == 0) {
                ::unlink(m_name.constData());
                m_committed = true;
                return;
            }
            if (error == EINVAL || error == ENOSYS)
                error = errno;
            FailToCreate(error);
        }
        m_committed = true;
    }

    // Makes the names in a folder durable; `path` names what was written, for the message.
    static void SyncFolder(const QString& path, const QByteArray& folder) {
        Fd fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (fd.Get() < 0 || ::fsync(fd.Get()) != 0)
            ThrowSystemError(ErrorNumber::FileWrite, QStringLiteral("Can't write file"), path,
                             errno);
    }

private:
    // Linking an unnamed file needs /proc (without it, only privileged programs can).
    static bool LinkingWorks() {
        static const bool works = ::access("/proc/self/fd", X_OK) == 0;
        return works;
    }

    void Close() {
        const int closed = ::close(m_fd);
        m_fd = -1;
        if (closed != 0)
            ThrowSystemError(ErrorNumber::FileWrite, QStringLiteral("Can't write file"), m_target,
                             errno);
    }

    [[noreturn]] void FailToCreate(int error) const {
        ThrowSystemError(error == EEXIST ? ErrorNumber::FileExists : ErrorNumber::FileWrite,
                         QStringLiteral("Can't create file"), m_target, error);
    }

    QString m_target;
    bool m_replace;
    QByteArray m_folder;
    QByteArray m_name; // empty for an unnamed file
    int m_fd = -1;
    bool m_committed = false;
};

} // namespace FileFunctions

namespace {

using FileFunctions::TempFile;

void WriteAll(int fd, const char* data, qsizetype size, const QString& path) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ThrowSystemError(ErrorNumber::FileWrite, QStringLiteral("Can't write file"), path,
                             errno);
        }
        data += written;
        size -= written;
    }
}

// Reads a file to its end in blocks, handing each block on.
// Reads to the file's end, or until `limit` bytes came.
template <typename Sink>
void ReadBlocks(int fd, const QString& path, Sink sink,
                qint64 limit = std::numeric_limits<qint64>::max()) {
    char buffer[65536];
    while (limit > 0) {
        const ssize_t got =
            ::read(fd, buffer, static_cast<size_t>(std::min<qint64>(limit, sizeof buffer)));
        if (got == 0)
            return;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ThrowSystemError(ErrorNumber::FileRead, QStringLiteral("Can't read file"), path, errno);
        }
        sink(buffer, got);
        limit -= got;
    }
}

// Opens a file to read and fills `info` in; a folder is refused.
int OpenForReading(const QString& path, struct stat& info) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        ThrowSystemError(ErrorNumber::FileRead, QStringLiteral("Can't open file"), path, errno);
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        ThrowSystemError(ErrorNumber::FileRead, QStringLiteral("Can't open file"), path, EISDIR);
    }
    return fd;
}

// Copies a file's bytes into a new file, in the kernel where it can, as cp does.
void CopyInto(const QString& source, TempFile& temp) {
    struct stat info {};
    Fd in(OpenForReading(source, info));
    for (;;) {
        const ssize_t copied =
            ::copy_file_range(in.Get(), nullptr, temp.Get(), nullptr, 1 << 30, 0);
        if (copied == 0)
            break;
        if (copied > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            ThrowSystemError(ErrorNumber::FileWrite, QStringLiteral("Can't copy file"), source,
                             errno);
        // No in-kernel copy between these files: the plain way.
        ReadBlocks(in.Get(), source, [&temp](const char* block, ssize_t size) {
            WriteAll(temp.Get(), block, size, temp.Target());
        });
        break;
    }
}

[[noreturn]] void Refuse(const QString& path, const QString& why) {
    throw ComponentError(ErrorNumber::FileRefused, QStringLiteral("Can't read file \"") + path +
                                                       QStringLiteral("\": ") + why);
}

QString SizeText(qint64 bytes) {
    constexpr qint64 mebibyte = 1024 * 1024;
    if (bytes >= mebibyte && bytes % mebibyte == 0)
        return QString::number(bytes / mebibyte) + QStringLiteral(" MB");
    return QString::number(bytes) + QStringLiteral(" bytes");
}

} // namespace

namespace FileFunctions {

QByteArray ReadRegularFile(const QString& path, qint64 maxBytes) {
    // Without O_NONBLOCK opening a pipe waits for a writer, and some devices wait too.
    Fd fd(::open(QFile::encodeName(path).constData(),
                 O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0) {
        if (errno == ELOOP)
            Refuse(path, QStringLiteral("it is a symbolic link."));
        ThrowSystemError(ErrorNumber::FileRead, QStringLiteral("Can't open file"), path, errno);
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0)
        ThrowSystemError(ErrorNumber::FileRead, QStringLiteral("Can't read file"), path, errno);
    if (!S_ISREG(info.st_mode))
        Refuse(path, QStringLiteral("it is not a regular file."));
    if (info.st_size > maxBytes)
        Refuse(path, QStringLiteral("it is larger than ") + SizeText(maxBytes) + QLatin1Char('.'));
    // The size fstat gave and no more: a file that grows meanwhile is not followed.
    QByteArray data;
    data.reserve(static_cast<qsizetype>(info.st_size));
    ReadBlocks(
        fd.Get(), path, [&data](const char* block, ssize_t size) { data.append(block, size); },
        info.st_size);
    return data;
}

QByteArray ReadBinaryFile(const QString& path) {
    struct stat info {};
    Fd fd(OpenForReading(path, info));
    QByteArray data;
    try {
        if (info.st_size > 0)
            data.reserve(static_cast<qsizetype>(info.st_size));
        ReadBlocks(fd.Get(), path,
                   [&data](const char* block, ssize_t size) { data.append(block, size); });
    } catch (const std::bad_alloc&) {
        // A file larger than memory is a read failure like any other.
        ThrowSystemError(ErrorNumber::FileRead, QStringLiteral("Can't read file"), path, ENOMEM);
    }
    return data;
}

void WriteBinaryFile(const QString& path, const QByteArray& data, bool replaceExisting) {
    TempFile temp(path, replaceExisting);
    WriteAll(temp.Get(), data.constData(), data.size(), path);
    temp.Commit();
}

void WriteCacheFile(const QString& path, const QByteArray& data) {
    TempFile temp(path, true);
    WriteAll(temp.Get(), data.constData(), data.size(), path);
    temp.Place(path);
}

void CopyFile(const QString& source, const QString& target, bool replaceExisting) {
    TempFile temp(target, replaceExisting);
    CopyInto(source, temp);
    temp.Commit();
}

QString ReadTextFile(const QString& path) {
    return QString::fromUtf8(ReadBinaryFile(path));
}

void WriteTextFile(const QString& path, const QString& text, bool replaceExisting) {
    WriteBinaryFile(path, text.toUtf8(), replaceExisting);
}

void AppendTextFile(const QString& path, const QString& text) {
    // Created and appended in one call: a line another process appends meanwhile stays.
    Fd fd(::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC,
                 0600));
    if (fd.Get() < 0)
        ThrowSystemError(ErrorNumber::FileWrite, QStringLiteral("Can't open file"), path, errno);
    struct stat before {};
    if (::fstat(fd.Get(), &before) != 0)
        ThrowSystemError(ErrorNumber::FileWrite, QStringLiteral("Can't write file"), path, errno);
    const QByteArray data = text.toUtf8();
    WriteAll(fd.Get(), data.constData(), data.size(), path);
    if (::fsync(fd.Get()) != 0)
        ThrowSystemError(ErrorNumber::FileWrite, QStringLiteral("Can't write file"), path, errno);
    if (::close(fd.Release()) != 0)
        ThrowSystemError(ErrorNumber::FileWrite, QStringLiteral("Can't write file"), path, errno);
    // An empty file may be new, and then its name must last too; a file with lines in it
    // got a lasting name from the write that put them there.
    if (before.st_size == 0)
        SyncFolder(QFileInfo(path).absolutePath());
}

UnplacedFile::UnplacedFile(std::unique_ptr<TempFile> file) : m_file(std::move(file)) {}
UnplacedFile::~UnplacedFile() = default;
UnplacedFile::UnplacedFile(UnplacedFile&&) noexcept = default;
UnplacedFile& UnplacedFile::operator=(UnplacedFile&&) noexcept = default;

UnplacedFile UnplacedFile::Write(const QString& folder, const QByteArray& data) {
    const QString path = folder + QStringLiteral("/new");
    auto file = std::make_unique<TempFile>(path, false);
    WriteAll(file->Get(), data.constData(), data.size(), path);
    return UnplacedFile(std::move(file));
}

UnplacedFile UnplacedFile::Copy(const QString& source, const QString& folder) {
    auto file = std::make_unique<TempFile>(folder + QStringLiteral("/new"), false);
    CopyInto(source, *file);
    return UnplacedFile(std::move(file));
}

void UnplacedFile::Place(const QString& target) {
    m_file->Place(target);
}

void SyncFileSystem(const QString& folder) {
    Fd fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() < 0 || ::syncfs(fd.Get()) != 0)
        ThrowSystemError(ErrorNumber::FileWrite, QStringLiteral("Can't write file"), folder, errno);
}

void SyncFolder(const QString& folder) {
    TempFile::SyncFolder(folder, QFile::encodeName(folder));
}

} // namespace FileFunctions
