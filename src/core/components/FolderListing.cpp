#include "components/FolderListing.h"

#include "components/ComponentError.h"

#include <QFile>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <limits>
#include <linux/fs.h>
#include <linux/magic.h>
#include <string_view>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <thread>
#include <vector>

// Thousands of waiting posts are listed each time the manage or the send window opens, so
// the names are read, filtered and ordered as bytes; only the names kept become strings.

namespace {

QString FromUtf8(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool EndsWithIgnoringCase(std::string_view name, QLatin1StringView suffix) {
    const auto size = static_cast<size_t>(suffix.size());
    if (name.size() >= size &&
        std::equal(name.end() - static_cast<std::ptrdiff_t>(size), name.end(), suffix.begin(),
                   [](char a, char b) { return AsciiLower(a) == AsciiLower(b); }))
        return true;
    // Letters outside ASCII can fold onto ASCII ones; Qt knows those rules.
    return !IsAscii(name) && FromUtf8(name).endsWith(suffix, Qt::CaseInsensitive);
}

unsigned char LowerByte(char c) {
    return static_cast<unsigned char>(AsciiLower(c));
}

// The order of the names of some lists taken together: by their case-folded UTF-8 bytes (code
// point order), then by the names' own bytes. An ASCII name is its own key, read from its list
// and lowered as it is compared; only other names get a folded copy. Lowering a folded key
// changes nothing.
class NameSorter final {
public:
    explicit NameSorter(std::vector<const FileNameList*> lists) : m_lists(std::move(lists)) {
        quint32 count = 0;
        for (const FileNameList* list : m_lists) {
            m_starts.push_back(count);
            count += static_cast<quint32>(list->size());
        }
        m_entries.reserve(count);
        quint32 index = 0;
        for (const FileNameList* list : m_lists) {
            for (qsizetype i = 0; i < list->size(); ++i, ++index) {
                std::string_view key = list->Utf8At(i);
                if (!IsAscii(key)) {
                    // QByteArray keeps its bytes in place when the vector moves it.
                    m_folded.push_back(FromUtf8(key).toCaseFolded().toUtf8());
                    key = {m_folded.back().constData(),
                           static_cast<size_t>(m_folded.back().size())};
                }
                m_entries.push_back({0, key.data(), static_cast<quint32>(key.size()), index});
            }
        }
    }

    // A name by its index over all the lists.
    std::string_view NameAt(quint32 index) const {
        const auto list = std::upper_bound(m_starts.begin(), m_starts.end(), index) - 1;
        return m_lists[static_cast<size_t>(list - m_starts.begin())]->Utf8At(index - *list);
    }

    // The indices of the names, in order.
    std::vector<quint32> Order() {
        // Waiting posts share a long date prefix: skip what all keys share and compare the
        // next eight bytes as one number, so most comparisons end there.
        m_skip = CommonPrefix();
        for (Entry& entry : m_entries)
            entry.head = Head(entry);
        const auto less = [this](const Entry& a, const Entry& b) {
            if (a.head != b.head)
                return a.head < b.head;
            const int byKey = CompareTails(a, b);
            return byKey != 0 ? byKey < 0 : NameAt(a.index) < NameAt(b.index);
        };
        // Tens of thousands of names: each half on a core of its own, then one merge.
        constexpr size_t kSortedInHalves = 8192;
        if (m_entries.size() >= kSortedInHalves && QThread::idealThreadCount() > 1) {
            const auto middle =
                m_entries.begin() + static_cast<std::ptrdiff_t>(m_entries.size() / 2);
            std::thread second([&] { std::sort(middle, m_entries.end(), less); });
            std::sort(m_entries.begin(), middle, less);
            second.join();
            std::inplace_merge(m_entries.begin(), middle, m_entries.end(), less);
        } else {
            std::sort(m_entries.begin(), m_entries.end(), less);
        }
        std::vector<quint32> order;
        order.reserve(m_entries.size());
        for (const Entry& entry : m_entries)
            order.push_back(entry.index);
        return order;
    }

private:
    static constexpr quint32 kHeadSize = 8;

    struct Entry {
        quint64 head; // key bytes from m_skip on, lowered, big-endian, zero-padded
        const char* key;
        quint32 size;
        quint32 index;
    };

    quint32 CommonPrefix() const {
        if (m_entries.empty())
            return 0;
        const Entry& first = m_entries.front();
        quint32 common = first.size;
        for (const Entry& entry : m_entries) {
            common = std::min(common, entry.size);
            quint32 i = 0;
            while (i < common && LowerByte(entry.key[i]) == LowerByte(first.key[i]))
                ++i;
            common = i;
        }
        return common;
    }

    quint64 Head(const Entry& entry) const {
        quint64 head = 0;
        for (quint32 at = m_skip; at < m_skip + kHeadSize; ++at)
            head = (head << 8) | (at < entry.size ? LowerByte(entry.key[at]) : 0U);
        return head;
    }

    // Names hold no NUL, so equal heads mean equal keys up to where the shorter one ends.
    int CompareTails(const Entry& a, const Entry& b) const {
        const quint32 common = std::min(a.size, b.size);
        for (quint32 at = m_skip + kHeadSize; at < common; ++at) {
            const unsigned char x = LowerByte(a.key[at]);
            const unsigned char y = LowerByte(b.key[at]);
            if (x != y)
                return x < y ? -1 : 1;
        }
        return a.size < b.size ? -1 : (a.size > b.size ? 1 : 0);
    }

    std::vector<const FileNameList*> m_lists;
    std::vector<quint32> m_starts; // index of each list's first name
    std::vector<QByteArray> m_folded;
    std::vector<Entry> m_entries;
    quint32 m_skip = 0;
};

// The names of some lists together, in SortFileNames order, in a list of their own.
FileNameList SortedTogether(const std::vector<const FileNameList*>& lists) {
    NameSorter sorter(lists);
    const std::vector<quint32> order = sorter.Order();
    qsizetype bytes = 0;
    for (const FileNameList* list : lists)
        bytes += list->Bytes();
    FileNameList sorted;
    sorted.Reserve(bytes, static_cast<qsizetype>(order.size()));
    for (const quint32 index : order)
        sorted.Append(sorter.NameAt(index));
    return sorted;
}

bool IsRegularFile(int folder, const struct dirent* entry) {
    if (entry->d_type == DT_REG)
        return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return false;
    struct stat info {};
    return ::fstatat(folder, entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

// Beyond this a folder's size says little about its names.
constexpr off_t kLargestExpected = 64 << 20;
// From this size on a folder is worth reading on several threads.
constexpr off_t kSplitFrom = 128 << 10;
constexpr off_t kLastPosition = std::numeric_limits<off_t>::max();

// Entries whose reading positions lie in [From, To).
struct PositionRange {
    off_t From;
    off_t To;
};

// How many threads read a folder, and the ranges of positions they share out.
struct FolderSplit {
    int Threads = 1;
    std::vector<PositionRange> Ranges{{0, kLastPosition}};
};

// ext4 keeps a large folder as a tree ordered by a hash of the names, and then the reading
// position of an entry is its hash: ranges of hashes can be read on threads of their own.
// Elsewhere positions mean anything, so the folder is read as a whole.
FolderSplit SplitPositions(int folder, off_t folderSize) {
    constexpr int kMaxThreads = 4;
    // More ranges than threads, so that a thread the system holds back leaves the others more.
    constexpr int kRangesPerThread = 4;
    const int threads = std::min(kMaxThreads, QThread::idealThreadCount());
    struct statfs fileSystem {};
    int flags = 0;
    if (sizeof(long) < sizeof(off_t) || threads < 2 || folderSize < kSplitFrom ||
        ::fstatfs(folder, &fileSystem) != 0 || fileSystem.f_type != EXT4_SUPER_MAGIC ||
        ::ioctl(folder, FS_IOC_GETFLAGS, &flags) != 0 || !(flags & FS_INDEX_FL))
        return {};
    // 64-bit positions: the name's hash above bit 32, and below it a second hash.
    const int parts = threads * kRangesPerThread;
    const off_t step = kLastPosition / parts;
    FolderSplit split{threads, {}};
    for (int part = 0; part < parts; ++part)
        split.Ranges.push_back(
            {part * step, part + 1 == parts ? kLastPosition : (part + 1) * step});
    return split;
}

// Hands `take` the name of each regular file of an open folder whose position lies in the range
// and whose name `accept` takes. Returns an errno, or 0. readdir directly: QDir builds a
// file-info object per entry.
template <typename Accept, typename Take>
int ReadRange(DIR* dir, PositionRange range, Accept accept, Take take) {
    if (range.From != 0)
        ::seekdir(dir, static_cast<long>(range.From));
    off_t position = range.From;
    for (;;) {
        errno = 0;
        const struct dirent* entry = ::readdir(dir);
        if (!entry)
            return errno;
        if (position >= range.To)
            return 0;
        // An entry's d_off is where the entry after it starts.
        position = entry->d_off;
        const std::string_view name(entry->d_name);
        if (accept(name) && IsRegularFile(::dirfd(dir), entry))
            take(name);
    }
}

DIR* OpenFolder(const QString& folder) {
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        ThrowSystemError(ErrorNumber::FileRead, QStringLiteral("Can't read folder"), folder, errno);
    return dir;
}

[[noreturn]] void ThrowReadError(const QString& folder, int error) {
    ThrowSystemError(ErrorNumber::FileRead, QStringLiteral("Can't read folder"), folder, error);
}

// What one thread finds in its range of a folder: names per suffix.
struct PartMatches {
    std::vector<FileNameList> Names;
    int Error = 0;
};

void ReadPart(DIR* dir, PositionRange range, const std::vector<QLatin1StringView>& suffixes,
              qsizetype expectedBytes, PartMatches& found) {
    found.Names.resize(suffixes.size());
    // Reserved address space costs nothing until used; growing and copying did.
    for (FileNameList& names : found.Names)
        names.Reserve(expectedBytes);
    size_t matched = 0;
    found.Error = ReadRange(
        dir, range,
        [&suffixes, &matched](std::string_view name) {
            for (matched = 0; matched < suffixes.size(); ++matched) {
                if (EndsWithIgnoringCase(name, suffixes[matched]))
                    return true;
            }
            return false;
        },
        [&found, &matched](std::string_view name) { found.Names[matched].Append(name); });
}

} // namespace

FileNameList::FileNameList(const QStringList& names) {
    for (const QString& name : names) {
        const QByteArray utf8 = name.toUtf8();
        Append({utf8.constData(), static_cast<size_t>(utf8.size())});
    }
}

std::string_view FileNameList::Utf8At(qsizetype index) const {
    const Span& name = m_names.at(index);
    return {m_bytes.constData() + name.start, static_cast<size_t>(name.size)};
}

QString FileNameList::at(qsizetype index) const {
    return FromUtf8(Utf8At(index));
}

QStringList FileNameList::ToStringList() const {
    QStringList names;
    names.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        names.append(at(i));
    return names;
}

void FileNameList::Append(std::string_view utf8) {
    m_names.append({m_bytes.size(), static_cast<qsizetype>(utf8.size())});
    m_bytes.append(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

void FileNameList::Reserve(qsizetype bytes, qsizetype names) {
    m_bytes.reserve(bytes);
    m_names.reserve(names);
}

QStringList ListFileNames(const QString& folder, bool (*accept)(const QString& name)) {
    QStringList names;
    DIR* dir = OpenFolder(folder);
    const int error = ReadRange(
        dir, {0, kLastPosition}, [accept](std::string_view name) { return accept(FromUtf8(name)); },
        [&names](std::string_view name) { names.append(FromUtf8(name)); });
    ::closedir(dir);
    if (error != 0)
        ThrowReadError(folder, error);
    return names;
}

std::vector<FileNameList> ListFileNamesEndingWith(const QString& folder,
                                                  const std::vector<QLatin1StringView>& suffixes) {
    DIR* first = OpenFolder(folder);
    struct stat info {};
    const off_t folderSize = ::fstat(::dirfd(first), &info) == 0 ? info.st_size : 0;
    const FolderSplit split = SplitPositions(::dirfd(first), folderSize);
    const std::vector<PositionRange>& ranges = split.Ranges;
    const auto expected = static_cast<qsizetype>(
        std::clamp<off_t>(folderSize / static_cast<off_t>(ranges.size()), 0, kLargestExpected));

    std::vector<PartMatches> parts(ranges.size());
    std::atomic<size_t> next = 0;
    // Each thread reads with a folder handle of its own. Range 0, the only one that starts at
    // position 0, goes out first, to a handle not read yet.
    const auto readRanges = [&](DIR* dir) {
        for (size_t part; (part = next++) < ranges.size();)
            ReadPart(dir, ranges[part], suffixes, expected, parts[part]);
    };
    std::vector<DIR*> dirs{first};
    std::vector<std::thread> threads;
    for (int thread = 1; thread < split.Threads; ++thread) {
        // Without another handle the threads there are read it all.
        DIR* dir = ::opendir(QFile::encodeName(folder).constData());
        if (!dir)
            break;
        dirs.push_back(dir);
        threads.emplace_back(readRanges, dir);
    }
    readRanges(first);
    for (std::thread& thread : threads)
        thread.join();
    for (DIR* dir : dirs)
        ::closedir(dir);

    for (const PartMatches& part : parts) {
        if (part.Error != 0)
            ThrowReadError(folder, part.Error);
    }
    std::vector<FileNameList> found;
    for (size_t suffix = 0; suffix < suffixes.size(); ++suffix) {
        std::vector<const FileNameList*> lists;
        for (const PartMatches& part : parts)
            lists.push_back(&part.Names[suffix]);
        found.push_back(SortedTogether(lists));
    }
    return found;
}

FileNameList ListFileNamesEndingWith(const QString& folder, QLatin1StringView suffix) {
    return std::move(ListFileNamesEndingWith(folder, std::vector{suffix}).front());
}

void SortFileNames(QStringList& names) {
    QStringList sorted;
    sorted.reserve(names.size());
    const FileNameList list(names);
    for (const quint32 index : NameSorter({&list}).Order())
        sorted.append(std::move(names[index]));
    names = std::move(sorted);
}
