#include "TestSupport.h"
#include "components/ComponentError.h"
#include "components/FolderListing.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

// The order in which the manage and send windows list waiting posts, and the listing that
// reads and sorts them as bytes.
class tst_FolderListing final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void Sorts_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("sorted");
        QTest::newRow("empty") << QStringList() << QStringList();
        QTest::newRow("by date and counter")
            << QStringList{"2011-04-30 17-05-09 0002.Info", "2009-05-01 12-00-00 0001.Info",
                           "2011-04-30 17-05-09 0001.Info"}
            << QStringList{"2009-05-01 12-00-00 0001.Info", "2011-04-30 17-05-09 0001.Info",
                           "2011-04-30 17-05-09 0002.Info"};
        QTest::newRow("letter case ignored") << QStringList{"b.Picture", "A.PICTURE", "c.picture"}
                                             << QStringList{"A.PICTURE", "b.Picture", "c.picture"};
        QTest::newRow("names differing only in case keep one order")
            << QStringList{"a.Info", "A.Info", "a.INFO"}
            << QStringList{"A.Info", "a.INFO", "a.Info"};
        QTest::newRow("prefix first")
            << QStringList{"ab", "AB c", "a"} << QStringList{"a", "ab", "AB c"};
        QTest::newRow("non-ASCII folded")
            << QStringList{"Ärger", "zebra", "äpfel"} << QStringList{"zebra", "äpfel", "Ärger"};
        QTest::newRow("code point order beyond the first plane")
            << QStringList{"\U0001F600.Info", "\uE000.Info", "\u00E9.Info"}
            << QStringList{"\u00E9.Info", "\uE000.Info", "\U0001F600.Info"};
    }
    void Sorts() {
        QFETCH(QStringList, names);
        QFETCH(QStringList, sorted);
        SortFileNames(names);
        QCOMPARE(names, sorted);
    }

    void ManyNamesSharingAPrefix() {
        // Enough names to be sorted in two halves and merged.
        QStringList names;
        for (int i = 9999; i >= 0; --i)
            names.append(
                QStringLiteral("2011-04-30 17-05-09 %1.Info").arg(i, 4, 10, QLatin1Char('0')));
        SortFileNames(names);
        QCOMPARE(names.size(), 10000);
        QCOMPARE(names.first(), QStringLiteral("2011-04-30 17-05-09 0000.Info"));
        QVERIFY(std::is_sorted(names.begin(), names.end()));
    }

    void ListsRegularFilesEndingWithTheSuffix() {
        QTemporaryDir dir;
        const QString at = dir.path() + QLatin1Char('/');
        for (const char* name : {"b.Info", "A.INFO", "c.info.bak", "d.Picture", ".hidden.info",
                                 "\xc3\xa9t\xc3\xa9.Info", "link.Info"})
            WriteFile(at + QString::fromUtf8(name), "x");
        QFile::remove(at + QStringLiteral("link.Info"));
        QFile::link(at + QStringLiteral("b.Info"), at + QStringLiteral("link.Info"));
        QFile::link(at + QStringLiteral("gone"), at + QStringLiteral("dangling.Info"));
        QDir(dir.path()).mkdir(QStringLiteral("folder.Info"));
        QVERIFY(::mkfifo(QFile::encodeName(at + QStringLiteral("pipe.Info")).constData(), 0600) ==
                0);
        QCOMPARE(ListFileNamesEndingWith(dir.path(), QLatin1StringView(".Info")).ToStringList(),
                 (QStringList{".hidden.info", "A.INFO", "b.Info", "link.Info",
                              QString::fromUtf8("\xc3\xa9t\xc3\xa9.Info")}));
        QVERIFY_THROWS_EXCEPTION(
            ComponentError,
            ListFileNamesEndingWith(at + QStringLiteral("missing"), QLatin1StringView(".Info")));
    }

    // The byte-level listing must agree with filtering and sorting the names as strings.
    void ListingAgreesWithSortingStrings() {
        QTemporaryDir dir;
        const QStringList letters = {"a",      "B",      "\u00e4", "\u00c4", "\u00df",     "S",
                                     "\u03a3", "\u03c2", "\u0130", "i",      "\U0001F600", "\uE000",
                                     " ",      "-",      "0",      "9"};
        const QStringList suffixes = {".Picture", ".PICTURE", ".picture", ".Info", ".pict"};
        QRandomGenerator random(7);
        for (int i = 0; i < 250; ++i) {
            QString name;
            for (int length = 1 + random.bounded(6); length > 0; --length)
                name += letters.at(random.bounded(letters.size()));
            name += suffixes.at(random.bounded(suffixes.size()));
            WriteFile(dir.path() + QLatin1Char('/') + name, "x");
        }
        QStringList expected = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        expected.removeIf([](const QString& name) {
            return !name.endsWith(QStringLiteral(".picture"), Qt::CaseInsensitive);
        });
        SortFileNames(expected);
        QVERIFY(expected.size() > 100);
        QCOMPARE(ListFileNamesEndingWith(dir.path(), QLatin1StringView(".picture")).ToStringList(),
                 expected);
        for (qsizetype i = 1; i < expected.size(); ++i)
            QVERIFY2(expected.at(i - 1).toCaseFolded().toUtf8() <=
                         expected.at(i).toCaseFolded().toUtf8(),
                     qPrintable(expected.at(i - 1) + QStringLiteral(" / ") + expected.at(i)));
    }

    // Thousands of posts are read on several threads; together they must find each file once.
    void LargeFolderReadInParts() {
        QTemporaryDir dir;
        QStringList pictures;
        QStringList infos;
        // Long names make a folder large enough to be read in parts with few files.
        const QString padding(200, QLatin1Char('n'));
        for (int i = 0; i < 250; ++i) {
            const QString base = QStringLiteral("%1 ").arg(i, 4, 10, QLatin1Char('0')) + padding;
            pictures.append(base + QStringLiteral(".Picture"));
            infos.append(base + QStringLiteral(".Info"));
            WriteFile(dir.path() + QLatin1Char('/') + pictures.last(), "p");
            WriteFile(dir.path() + QLatin1Char('/') + infos.last(), "i");
        }
        const std::vector<FileNameList> found = ListFileNamesEndingWith(
            dir.path(), {QLatin1StringView(".picture"), QLatin1StringView(".info")});
        QCOMPARE(found.at(0).ToStringList(), pictures);
        QCOMPARE(found.at(1).ToStringList(), infos);
    }
};

QTEST_GUILESS_MAIN(tst_FolderListing)
#include "tst_FolderListing.moc"
