#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QStringList>

#include <string_view>
#include <vector>

// Listing the files of a folder, and the order in which the windows show file names.

// File names kept as UTF-8 in one buffer: a folder of thousands of waiting posts costs two
// allocations, not one string each. Copies share the buffer, also across threads.
class FileNameList final {
public:
    FileNameList() = default;
    explicit FileNameList(const QStringList& names);

    qsizetype size() const { return m_names.size(); }
    bool isEmpty() const { return m_names.isEmpty(); }
    QString at(qsizetype index) const;
    std::string_view Utf8At(qsizetype index) const;
    QStringList ToStringList() const;

    qsizetype Bytes() const { return m_bytes.size(); }

    void Append(std::string_view utf8);
    void Reserve(qsizetype bytes, qsizetype names = 0);

private:
    struct Span {
        qsizetype start;
        qsizetype size;
    };
    QByteArray m_bytes;
    QList<Span> m_names; // where each name lies in m_bytes, in list order
};

// Names of the regular files of a folder (hidden ones included) that `accept` takes, in the
// order the file system gives them. Pipes and devices are left out: reading one would hang.
// Raises ComponentError when the folder cannot be read.
QStringList ListFileNames(const QString& folder, bool (*accept)(const QString& name));

// Names of the regular files of a folder that end with `suffix` (any letter case), already in
// SortFileNames order. Raises ComponentError when the folder cannot be read.
FileNameList ListFileNamesEndingWith(const QString& folder, QLatin1StringView suffix);

// The same for several suffixes from one reading of the folder: one list per suffix. A large
// folder is read on several threads.
std::vector<FileNameList> ListFileNamesEndingWith(const QString& folder,
                                                  const std::vector<QLatin1StringView>& suffixes);

// Puts file names in ascending order, letter case ignored; names equal but for their letter
// case keep one fixed order among themselves.
void SortFileNames(QStringList& names);
