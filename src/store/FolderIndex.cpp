#include "store/FolderIndex.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <linux/magic.h>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <tuple>
#include <unistd.h>
#include <unordered_map>

namespace {

constexpr std::string_view kMagic = "MRVIDX01";
constexpr unsigned kAllPostFiles = PostFiles::Pictures | PostFiles::Infos | PostFiles::Markers;

// Only where every entry change moves the folder's times by the kernel's clock. Network file
// systems stamp with a clock of their own, FAT in steps of two seconds.
bool KeepsFineTimes(const QByteArray& path) {
    struct statfs fileSystem {};
    if (::statfs(path.constData(), &fileSystem) != 0)
        return false;
    switch (static_cast<quint32>(fileSystem.f_type)) {
    case EXT4_SUPER_MAGIC:
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case F2FS_SUPER_MAGIC:
        return true;
    default:
        return false;
    }
}

std::optional<FolderStamp> StampOf(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    struct stat info {};
    if (::stat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || !KeepsFineTimes(path))
        return std::nullopt;
    return FolderStamp{info.st_dev,          info.st_ino,         info.st_mtim.tv_sec,
                       info.st_mtim.tv_nsec, info.st_ctim.tv_sec, info.st_ctim.tv_nsec};
}

qint64 Nanoseconds(qint64 seconds, qint64 nanoseconds) {
    return seconds * 1000000000LL + nanoseconds;
}

qint64 NowNanoseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now.tv_sec, now.tv_nsec);
}

// Changes within one tick of the kernel's clock share a stamp, so a reading stands for the
// folder only when its last change is older than that; a stamp without nanoseconds (small
// ext4 inodes) moves in whole seconds.
bool QuietSince(const FolderStamp& stamp, qint64 readAt) {
    const bool wholeSeconds = stamp.ModifiedNanoseconds == 0 && stamp.ChangedNanoseconds == 0;
    const qint64 quiet = wholeSeconds ? 3000000000LL : 200000000LL;
    return Nanoseconds(stamp.ChangedSeconds, stamp.ChangedNanoseconds) <= readAt - quiet;
}

QString IndexPath(const QString& folder) {
    const QByteArray key =
        QCryptographicHash::hash(QFile::encodeName(folder), QCryptographicHash::Sha1).toHex();
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/Velmora/Marivane/") + QString::fromLatin1(key) +
           QStringLiteral(".index");
}

void AppendNumber(QByteArray& out, quint64 value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void AppendNames(QByteArray& out, const FileNameList& names) {
    AppendNumber(out, static_cast<quint64>(names.size()));
    AppendNumber(out, static_cast<quint64>(names.Bytes() + names.size()));
    for (qsizetype i = 0; i < names.size(); ++i) {
        const std::string_view name = names.Utf8At(i);
        out.append(name.data(), static_cast<qsizetype>(name.size()));
        out.append('\0');
    }
}

QByteArray Encode(const QString& folder, const FolderContents& contents) {
    const QByteArray path = QFile::encodeName(folder);
    QByteArray out;
    out.reserve(contents.Pictures.Bytes() + contents.Infos.Bytes() + contents.Markers.Bytes() +
                contents.Pictures.size() * 10 + contents.Infos.size() + path.size() + 256);
    out.append(kMagic.data(), static_cast<qsizetype>(kMagic.size()));
    AppendNumber(out, contents.Listed);
    AppendNumber(out, static_cast<quint64>(path.size()));
    out.append(path);
    const FolderStamp& stamp = contents.Stamp;
    for (const qint64 field : {stamp.ModifiedSeconds, stamp.ModifiedNanoseconds,
                               stamp.ChangedSeconds, stamp.ChangedNanoseconds})
        AppendNumber(out, static_cast<quint64>(field));
    AppendNumber(out, stamp.Device);
    AppendNumber(out, stamp.Inode);
    for (const FileNameList* names : {&contents.Pictures, &contents.Infos, &contents.Markers})
        AppendNames(out, *names);
    for (const qint64 size : contents.PictureSizes)
        AppendNumber(out, static_cast<quint64>(size));
    return out;
}

// Reads an index back; anything short, long or out of place makes it unusable.
class Reader final {
public:
    explicit Reader(const QByteArray& data)
        : m_at(data.constData()), m_end(data.constData() + data.size()) {}

    bool Number(quint64& value) {
        if (m_end - m_at < static_cast<std::ptrdiff_t>(sizeof value))
            return false;
        std::memcpy(&value, m_at, sizeof value);
        m_at += sizeof value;
        return true;
    }
    bool Signed(qint64& value) {
        quint64 bits = 0;
        if (!Number(bits))
            return false;
        value = static_cast<qint64>(bits);
        return true;
    }
    bool Bytes(quint64 size, std::string_view& bytes) {
        if (size > static_cast<quint64>(m_end - m_at))
            return false;
        bytes = {m_at, static_cast<size_t>(size)};
        m_at += size;
        return true;
    }
    bool Names(FileNameList& names) {
        quint64 count = 0;
        quint64 size = 0;
        std::string_view block;
        if (!Number(count) || !Number(size) || !Bytes(size, block) || count > size)
            return false;
        names.Reserve(static_cast<qsizetype>(size), static_cast<qsizetype>(count));
        while (!block.empty()) {
            const size_t end = block.find('\0');
            if (end == 0 || end == std::string_view::npos ||
                block.substr(0, end).find('/') != std::string_view::npos)
                return false;
            names.Append(block.substr(0, end));
            block.remove_prefix(end + 1);
        }
        return static_cast<quint64>(names.size()) == count;
    }
    bool AtEnd() const { return m_at == m_end; }

private:
    const char* m_at;
    const char* m_end;
};

std::optional<FolderContents> Decode(const QString& folder, const QByteArray& data) {
    Reader in(data);
    FolderContents contents;
    FolderStamp& stamp = contents.Stamp;
    std::string_view magic;
    std::string_view path;
    quint64 pathSize = 0;
    quint64 listed = 0;
    if (!in.Bytes(kMagic.size(), magic) || magic != kMagic || !in.Number(listed) ||
        listed > kAllPostFiles || !in.Number(pathSize) || !in.Bytes(pathSize, path) ||
        path != QFile::encodeName(folder).toStdString() || !in.Signed(stamp.ModifiedSeconds) ||
        !in.Signed(stamp.ModifiedNanoseconds) || !in.Signed(stamp.ChangedSeconds) ||
        !in.Signed(stamp.ChangedNanoseconds) || !in.Number(stamp.Device) ||
        !in.Number(stamp.Inode) || !in.Names(contents.Pictures) || !in.Names(contents.Infos) ||
        !in.Names(contents.Markers))
        return std::nullopt;
    contents.PictureSizes.reserve(contents.Pictures.size());
    for (qsizetype i = 0; i < contents.Pictures.size(); ++i) {
        qint64 size = 0;
        if (!in.Signed(size) || size < -1)
            return std::nullopt;
        contents.PictureSizes.append(size);
        contents.SizesFromIndex = contents.SizesFromIndex || size >= 0;
    }
    if (!in.AtEnd())
        return std::nullopt;
    contents.Listed = static_cast<unsigned>(listed);
    contents.Indexable = true;
    return contents;
}

std::optional<FolderContents> LoadIndex(const QString& folder) {
    QFile file(IndexPath(folder));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return Decode(folder, file.readAll());
}

bool WriteAll(int fd, const QByteArray& data) {
    const char* at = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, at, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        at += written;
        left -= written;
    }
    return true;
}

// A cache: written whole through a rename, never synced. A lost or damaged index is read
// from the folder again.
void SaveIndex(const QString& folder, const FolderContents& contents) {
    const QString path = IndexPath(folder);
    if (!QDir().mkpath(QFileInfo(path).path()))
        return;
    QByteArray temporary = QFile::encodeName(path) + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return;
    bool written = WriteAll(fd, Encode(folder, contents));
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0)
        ::unlink(temporary.constData());
}

// Sizes of the pictures the earlier reading knew, by name.
QList<qint64> CarriedSizes(const FolderContents& earlier, const FileNameList& pictures,
                           bool& carried) {
    std::unordered_map<std::string_view, qint64> known;
    known.reserve(static_cast<size_t>(earlier.Pictures.size()));
    for (qsizetype i = 0; i < earlier.Pictures.size(); ++i) {
        if (earlier.PictureSizes.at(i) >= 0)
            known.emplace(earlier.Pictures.Utf8At(i), earlier.PictureSizes.at(i));
    }
    QList<qint64> sizes(pictures.size(), -1);
    for (qsizetype i = 0; !known.empty() && i < pictures.size(); ++i) {
        const auto found = known.find(pictures.Utf8At(i));
        if (found != known.end()) {
            sizes[i] = found->second;
            carried = true;
        }
    }
    return sizes;
}

} // namespace

FolderContents ReadFolderContents(const QString& folder, unsigned wanted) {
    const qint64 readAt = NowNanoseconds();
    const std::optional<FolderStamp> before = StampOf(folder);
    const std::optional<FolderContents> indexed = before ? LoadIndex(folder) : std::nullopt;
    const bool current = indexed && indexed->Stamp == *before;
    if (current && (indexed->Listed & wanted) == wanted)
        return *indexed;

    // Of a current index only the kinds it lacks are read.
    FolderContents read = current ? *indexed : FolderContents{};
    const unsigned missing = wanted & ~read.Listed;
    std::vector<QLatin1StringView> suffixes;
    std::vector<FileNameList*> lists;
    for (const auto& [kind, suffix, list] :
         {std::tuple{PostFiles::Pictures, ".picture", &read.Pictures},
          std::tuple{PostFiles::Infos, ".info", &read.Infos},
          std::tuple{PostFiles::Markers, ".sending", &read.Markers}}) {
        if (missing & kind) {
            suffixes.emplace_back(suffix);
            lists.push_back(list);
        }
    }
    std::vector<FileNameList> found = ListFileNamesEndingWith(folder, suffixes);
    for (size_t i = 0; i < lists.size(); ++i)
        *lists[i] = std::move(found[i]);
    read.Listed |= missing;
    if (missing & PostFiles::Pictures) {
        read.SizesFromIndex = false;
        read.PictureSizes = indexed ? CarriedSizes(*indexed, read.Pictures, read.SizesFromIndex)
                                    : QList<qint64>(read.Pictures.size(), -1);
    }
    if (before) {
        read.Stamp = *before;
        // Also unchanged while it was read.
        read.Indexable = QuietSince(*before, readAt) && StampOf(folder) == before;
        if (read.Indexable)
            SaveIndex(folder, read);
    }
    return read;
}

void RecordPictureSizes(const QString& folder, const FolderContents& contents) {
    if (contents.Indexable && StampOf(folder) == contents.Stamp)
        SaveIndex(folder, contents);
}
