#include "components/FolderListing.h"

#include "components/ComponentError.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

// Thousands of waiting posts are listed each time the manage or the send window opens, so
// the names are read, filtered and ordered as bytes; only the names kept become strings.

namespace {

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
    return !IsAscii(name) && QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))
                                 .endsWith(suffix, Qt::CaseInsensitive);
}

// Collects UTF-8 names with their case-folded sort keys in two flat buffers, and orders
// them by key, then by the name itself. Byte order of UTF-8 is code point order.
class NameSorter final {
public:
    void Add(std::string_view name) {
        Entry entry{Span(m_names, name), {}};
        if (IsAscii(name)) {
            const size_t start = m_keys.size();
            m_keys.append(name);
            std::transform(m_keys.begin() + static_cast<std::ptrdiff_t>(start), m_keys.end(),
                           m_keys.begin() + static_cast<std::ptrdiff_t>(start), AsciiLower);
            entry.key = {static_cast<quint32>(start), static_cast<quint32>(name.size())};
        } else {
            const QByteArray folded =
                QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))
                    .toCaseFolded()
                    .toUtf8();
            entry.key = Span(m_keys, {folded.constData(), static_cast<size_t>(folded.size())});
        }
        m_entries.push_back(entry);
    }

    // Indices of the added names, in order.
    std::vector<quint32> Order() const {
        std::vector<quint32> order(m_entries.size());
        for (quint32 i = 0; i < order.size(); ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(), [this](quint32 a, quint32 b) {
            const Entry& x = m_entries[a];
            const Entry& y = m_entries[b];
            const int byKey = Compare(m_keys, x.key, y.key);
            return byKey != 0 ? byKey < 0 : Compare(m_names, x.name, y.name) < 0;
        });
        return order;
    }

    std::string_view Name(quint32 index) const {
        const Range& name = m_entries[index].name;
        return {m_names.data() + name.start, name.size};
    }

private:
    struct Range {
        quint32 start;
        quint32 size;
    };
    struct Entry {
        Range name;
        Range key;
    };

    static Range Span(std::string& buffer, std::string_view text) {
        const auto start = static_cast<quint32>(buffer.size());
        buffer.append(text);
        return {start, static_cast<quint32>(text.size())};
    }

    static int Compare(const std::string& buffer, Range a, Range b) {
        const int common =
            std::memcmp(buffer.data() + a.start, buffer.data() + b.start, std::min(a.size, b.size));
        if (common != 0)
            return common;
        return a.size < b.size ? -1 : (a.size > b.size ? 1 : 0);
    }

    std::string m_names;
    std::string m_keys;
    std::vector<Entry> m_entries;
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

[[noreturn]] void FailToRead(const QString& folder, int error) {
    throw ComponentError(ErrorNumber::FileRead, QStringLiteral("Can't read folder \"") + folder +
                                                    QStringLiteral("\": ") +
                                                    QString::fromLocal8Bit(std::strerror(error)));
}

// Hands `take` the name of each regular file of the folder that `accept` takes.
// readdir directly: QDir builds a file-info object per entry.
template <typename Accept, typename Take>
void ReadFolder(const QString& folder, Accept accept, Take take) {
    const QByteArray encoded = QFile::encodeName(folder);
    DIR* dir = ::opendir(encoded.constData());
    if (!dir)
        FailToRead(folder, errno);
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
        FailToRead(folder, error);
}

QString FromUtf8(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

QStringList ListFileNames(const QString& folder, bool (*accept)(const QString& name)) {
    QStringList names;
    ReadFolder(
        folder, [accept](std::string_view name) { return accept(FromUtf8(name)); },
        [&names](std::string_view name) { names.append(FromUtf8(name)); });
    return names;
}

QStringList ListFileNamesEndingWith(const QString& folder, QLatin1StringView suffix) {
    NameSorter sorter;
    ReadFolder(
        folder, [suffix](std::string_view name) { return EndsWithIgnoringCase(name, suffix); },
        [&sorter](std::string_view name) { sorter.Add(name); });
    QStringList names;
    const std::vector<quint32> order = sorter.Order();
    names.reserve(static_cast<qsizetype>(order.size()));
    for (const quint32 index : order)
        names.append(FromUtf8(sorter.Name(index)));
    return names;
}

void SortFileNames(QStringList& names) {
    NameSorter sorter;
    for (const QString& name : names) {
        const QByteArray utf8 = name.toUtf8();
        sorter.Add({utf8.constData(), static_cast<size_t>(utf8.size())});
    }
    QStringList sorted;
    sorted.reserve(names.size());
    for (const quint32 index : sorter.Order())
        sorted.append(std::move(names[index]));
    names = std::move(sorted);
}
