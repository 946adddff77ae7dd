#include "components/FormFunctions.h"

#include <QTest>

// The order in which the manage and send windows list waiting posts.
class tst_SortFileNames final : public QObject {
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
    }
    void Sorts() {
        QFETCH(QStringList, names);
        QFETCH(QStringList, sorted);
        SortFileNames(names);
        QCOMPARE(names, sorted);
    }

    void ManyNamesSharingAPrefix() {
        QStringList names;
        for (int i = 4999; i >= 0; --i)
            names.append(
                QStringLiteral("2011-04-30 17-05-09 %1.Info").arg(i, 4, 10, QLatin1Char('0')));
        SortFileNames(names);
        QCOMPARE(names.size(), 5000);
        QCOMPARE(names.first(), QStringLiteral("2011-04-30 17-05-09 0000.Info"));
        QVERIFY(std::is_sorted(names.begin(), names.end()));
    }
};

QTEST_GUILESS_MAIN(tst_SortFileNames)
#include "tst_SortFileNames.moc"
