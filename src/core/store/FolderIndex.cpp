#include "store/FolderIndex.h"

#include "components/ComponentError.h"
#include "components/FileFunctions.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <bit>
#include <cstring>
#include <ctime>
#include <linux/magic.h>
#include <mutex>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <system_error>
#include <thread>
#include <tuple>

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

// Reads an index's fields in place; anything short or out of place makes it unusable.
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
    bool AtEnd() const { return m_at == m_end; }

private:
    const char* m_at;
    const char* m_end;
};

// Names of a list, each ended by a NUL.
struct NameBlock {
    quint64 Count = 0;
    std::string_view Bytes;
};

// An index file as read, its names not split yet: a stale index only lends its sizes.
struct IndexFile {
    QByteArray Data;
    unsigned Listed = 0;
    FolderStamp Stamp;
    NameBlock Lists[3]; // pictures, ".Info" files, markers
    std::string_view Sizes;

    qint64 SizeAt(quint64 index) const {
        qint64 size = 0;
        std::memcpy(&size, Sizes.data() + index * sizeof size, sizeof size);
        return size;
    }
};

std::optional<IndexFile> ReadIndexFile(const QString& folder) {
    QFile file(IndexPath(folder));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    IndexFile index{file.readAll(), {}, {}, {}, {}};
    Reader in(index.Data);
    FolderStamp& stamp = index.Stamp;
    std::string_view magic;
    std::string_view path;
    quint64 pathSize = 0;
    quint64 listed = 0;
    if (!in.Bytes(kMagic.size(), magic) || magic != kMagic || !in.Number(listed) ||
        listed > kAllPostFiles || !in.Number(pathSize) || !in.Bytes(pathSize, path) ||
        path != QFile::encodeName(folder).toStdString() || !in.Signed(stamp.ModifiedSeconds) ||
        !in.Signed(stamp.ModifiedNanoseconds) || !in.Signed(stamp.ChangedSeconds) ||
        !in.Signed(stamp.ChangedNanoseconds) || !in.Number(stamp.Device) || !in.Number(stamp.Inode))
        return std::nullopt;
    for (NameBlock& list : index.Lists) {
        quint64 size = 0;
        if (!in.Number(list.Count) || !in.Number(size) || list.Count > size ||
            !in.Bytes(size, list.Bytes))
            return std::nullopt;
    }
    if (!in.Bytes(index.Lists[0].Count * sizeof(qint64), index.Sizes) || !in.AtEnd())
        return std::nullopt;
    index.Listed = static_cast<unsigned>(listed);
    return index;
}

// Calls `name` with each name of a block until it answers false; false when the block is
// damaged.
template <typename Visit> bool ForEachName(const NameBlock& list, Visit name) {
    std::string_view rest = list.Bytes;
    quint64 count = 0;
    while (!rest.empty()) {
        const size_t end = rest.find('\0');
        if (end == 0 || end == std::string_view::npos || ++count > list.Count)
            return false;
        if (!name(rest.substr(0, end)))
            return true;
        rest.remove_prefix(end + 1);
    }
    return count == list.Count;
}

std::optional<FolderContents> Contents(const IndexFile& index) {
    FolderContents contents;
    FileNameList* lists[] = {&contents.Pictures, &contents.Infos, &contents.Markers};
    for (size_t i = 0; i < std::size(lists); ++i) {
        FileNameList& names = *lists[i];
        names.Reserve(static_cast<qsizetype>(index.Lists[i].Bytes.size()),
                      static_cast<qsizetype>(index.Lists[i].Count));
        const bool whole = ForEachName(index.Lists[i], [&names](std::string_view name) {
            if (name.find('/') != std::string_view::npos)
                return false;
            names.Append(name);
            return true;
        });
        if (!whole || static_cast<quint64>(names.size()) != index.Lists[i].Count)
            return std::nullopt;
    }
    contents.PictureSizes.reserve(contents.Pictures.size());
    for (quint64 i = 0; i < index.Lists[0].Count; ++i) {
        const qint64 size = index.SizeAt(i);
        if (size < -1)
            return std::nullopt;
        contents.PictureSizes.append(size);
        contents.SizesFromIndex = contents.SizesFromIndex || size >= 0;
    }
    contents.Listed = index.Listed;
    contents.Stamp = index.Stamp;
    contents.Indexable = true;
    return contents;
}

// A cache: written whole through a rename, never synced. A lost or damaged index is read
// from the folder again.
void SaveIndex(const QString& folder, const FolderContents& contents) {
    const QString path = IndexPath(folder);
    if (!QDir().mkpath(QFileInfo(path).path()))
        return;
    try {
        FileFunctions::WriteCacheFile(path, Encode(folder, contents));
    } catch (const ComponentError&) {
        // The next opening reads the folder itself.
    }
}

// Writing the index of tens of thousands of posts takes milliseconds that the opening window
// need not wait for. One write at a time, each waited for before the next reading or writing,
// and by the program's end.
class IndexWriter final {
public:
    ~IndexWriter() { Wait(); }

    void Wait() {
        const std::lock_guard lock(m_lock);
        if (m_thread.joinable())
            m_thread.join();
    }

    void Start(const QString& folder, const FolderContents& contents) {
        const std::lock_guard lock(m_lock);
        if (m_thread.joinable())
            m_thread.join();
        try {
            m_thread = std::thread(SaveIndex, folder, contents);
        } catch (const std::system_error&) {
            SaveIndex(folder, contents);
        }
    }

private:
    std::mutex m_lock;
    std::thread m_thread;
};

IndexWriter g_writer;

// Sizes of the pictures a stale index knew, by name. Open addressing over its names: tens of
// thousands of lookups without an allocation each.
QList<qint64> CarriedSizes(const IndexFile& earlier, const FileNameList& pictures, bool& carried) {
    QList<qint64> sizes(pictures.size(), -1);
    std::vector<std::string_view> names;
    names.reserve(static_cast<size_t>(earlier.Lists[0].Count));
    if (pictures.isEmpty() || !ForEachName(earlier.Lists[0], [&names](std::string_view name) {
            names.push_back(name);
            return true;
        }))
        return sizes;
    const size_t mask = std::bit_ceil(names.size() * 2 + 1) - 1;
    const std::hash<std::string_view> hash;
    std::vector<qint32> table(mask + 1, -1);
    for (size_t i = 0; i < names.size(); ++i) {
        size_t slot = hash(names[i]) & mask;
        while (table[slot] >= 0)
            slot = (slot + 1) & mask;
        table[slot] = static_cast<qint32>(i);
    }
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const std::string_view name = pictures.Utf8At(i);
        for (size_t slot = hash(name) & mask; table[slot] >= 0; slot = (slot + 1) & mask) {
            if (names[static_cast<size_t>(table[slot])] == name) {
                sizes[i] = earlier.SizeAt(static_cast<quint64>(table[slot]));
                carried = carried || sizes[i] >= 0;
                break;
            }
        }
    }
    return sizes;
}

} // namespace

FolderContents ReadFolderContents(const QString& folder, unsigned wanted) {
    g_writer.Wait();
    const qint64 readAt = NowNanoseconds();
    const std::optional<FolderStamp> before = StampOf(folder);
    const std::optional<IndexFile> index = before ? ReadIndexFile(folder) : std::nullopt;
    const std::optional<FolderContents> indexed =
        index && index->Stamp == *before ? Contents(*index) : std::nullopt;
    if (indexed && (indexed->Listed & wanted) == wanted)
        return *indexed;

    // Of a current index only the kinds it lacks are read.
    FolderContents read = indexed ? *indexed : FolderContents{};
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
        read.PictureSizes = index ? CarriedSizes(*index, read.Pictures, read.SizesFromIndex)
                                  : QList<qint64>(read.Pictures.size(), -1);
    }
    if (before) {
        read.Stamp = *before;
        // Also unchanged while it was read.
        read.Indexable = QuietSince(*before, readAt) && StampOf(folder) == before;
        if (read.Indexable)
            g_writer.Start(folder, read);
    }
    return read;
}

void RecordPictureSizes(const QString& folder, const FolderContents& contents) {
    if (contents.Indexable && StampOf(folder) == contents.Stamp)
        g_writer.Start(folder, contents);
}
