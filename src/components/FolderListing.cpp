#include "components/FolderListing.h"

#include "components/ComponentError.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <string_view>
#include <sys/stat.h>
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

// The order of a list of names: by their case-folded UTF-8 bytes (code point order), then by
// the names' own bytes. An ASCII name is its own key, read from the list and lowered as it is
// compared; only other names get a folded copy. Lowering a folded key changes nothing.
class NameSorter final {
public:
    explicit NameSorter(const FileNameList& names) : m_names(names) {
        m_entries.reserve(static_cast<size_t>(names.size()));
        for (qsizetype i = 0; i < names.size(); ++i) {
            std::string_view key = names.Utf8At(i);
            if (!IsAscii(key)) {
                // QByteArray keeps its bytes in place when the vector moves it.
                m_folded.push_back(FromUtf8(key).toCaseFolded().toUtf8());
                key = {m_folded.back().constData(), static_cast<size_t>(m_folded.back().size())};
            }
            m_entries.push_back(
                {0, key.data(), static_cast<quint32>(key.size()), static_cast<quint32>(i)});
        }
    }

    // The indices of the names, in order.
    std::vector<quint32> Order() {
        // Waiting posts share a long date prefix: skip what all keys share and compare the
        // next eight bytes as one number, so most comparisons end there.
        m_skip = CommonPrefix();
        for (Entry& entry : m_entries)
            entry.head = Head(entry);
        std::sort(m_entries.begin(), m_entries.end(), [this](const Entry& a, const Entry& b) {
            if (a.head != b.head)
                return a.head < b.head;
            const int byKey = CompareTails(a, b);
            return byKey != 0 ? byKey < 0 : m_names.Utf8At(a.index) < m_names.Utf8At(b.index);
        });
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

    const FileNameList& m_names;
    std::vector<QByteArray> m_folded;
    std::vector<Entry> m_entries;
    quint32 m_skip = 0;
};

bool IsRegularFile(const QByteArray& folder, const struct dirent* entry) {
    if (entry->d_type == DT_REG)
        return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return false;
    struct stat info {};
    const QByteArray path = folder + '/' + QByteArray(entry->d_name);
    return ::stat(path.constData(), &info) == 0 && S_ISREG(info.st_mode);
}

// Beyond this a folder's size says little about its names.
constexpr off_t kLargestExpected = 64 << 20;

// Hands `take` the name of each regular file of the folder that `accept` takes, after telling
// `expect` the folder's own size, which on most file systems bounds the bytes of its names.
// readdir directly: QDir builds a file-info object per entry.
template <typename Expect, typename Accept, typename Take>
void ReadFolder(const QString& folder, Expect expect, Accept accept, Take take) {
    const QByteArray encoded = QFile::encodeName(folder);
    DIR* dir = ::opendir(encoded.constData());
    if (!dir)
        ThrowSystemError(ErrorNumber::FileRead, QStringLiteral("Can't read folder"), folder, errno);
    struct stat info {};
    if (::fstat(::dirfd(dir), &info) == 0)
        expect(static_cast<qsizetype>(std::clamp<off_t>(info.st_size, 0, kLargestExpected)));
    for (;;) {
        errno = 0;
        const struct dirent* entry = ::readdir(dir);
        if (!entry)
            break;
        const std::string_view name(entry->d_name);
        if (accept(name) && IsRegularFile(encoded, entry))
            take(name);
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0)
        ThrowSystemError(ErrorNumber::FileRead, QStringLiteral("Can't read folder"), folder, error);
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

void FileNameList::Reserve(qsizetype bytes) {
    m_bytes.reserve(bytes);
}

void FileNameList::Reorder(const std::vector<quint32>& order) {
    QList<Span> reordered;
    reordered.reserve(static_cast<qsizetype>(order.size()));
    for (const quint32 index : order)
        reordered.append(m_names.at(index));
    m_names = std::move(reordered);
}

QStringList ListFileNames(const QString& folder, bool (*accept)(const QString& name)) {
    QStringList names;
    ReadFolder(
        folder, [](qsizetype) {},
        [accept](std::string_view name) { return accept(FromUtf8(name)); },
        [&names](std::string_view name) { names.append(FromUtf8(name)); });
    return names;
}

FileNameList ListFileNamesEndingWith(const QString& folder, QLatin1StringView suffix) {
    FileNameList found;
    ReadFolder(
        folder,
        // Reserved address space costs nothing until used; growing and copying did.
        [&found](qsizetype bytes) { found.Reserve(bytes); },
        [suffix](std::string_view name) { return EndsWithIgnoringCase(name, suffix); },
        [&found](std::string_view name) { found.Append(name); });
    found.Reorder(NameSorter(found).Order());
    return found;
}

void SortFileNames(QStringList& names) {
    QStringList sorted;
    sorted.reserve(names.size());
    const FileNameList list(names);
    for (const quint32 index : NameSorter(list).Order())
        sorted.append(std::move(names[index]));
    names = std::move(sorted);
}
