#include "TestSupport.h"
#include "components/ComponentError.h"
#include "history/CHistory.h"

#include <QDir>
#include <QtTest>

class tst_CHistory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addTrimsAndIgnoresCase();
    void saveWritesNulSeparatedUtf8();
    void loadDropsBlanksAndKeepsFileDuplicates_data();
    void loadDropsBlanksAndKeepsFileDuplicates();
    void itemOutOfRangeRaises();
    void defaultFolder();
    void withoutFileName();
    void unreadableAndUnwritableFiles();

private:
    QString Path(const char* name) const {
        return m_home.Path() + QLatin1Char('/') + QLatin1String(name);
    }
    TestHome m_home;
};

void tst_CHistory::addTrimsAndIgnoresCase() {
    CHistory history;
    history.Add(QStringLiteral("  Beach \t"));
    history.Add(QStringLiteral("BEACH"));
    history.Add(QStringLiteral("   "));
    history.Add(QString());
    QCOMPARE(history.Count(), 1);
    QCOMPARE(history.Item(0), QStringLiteral("Beach"));
}

void tst_CHistory::saveWritesNulSeparatedUtf8() {
    CHistory history;
    history.InitFileName(m_home.Path(), QStringLiteral("History.DAT"));
    QCOMPARE(history.FileName(), Path("History.DAT"));
    history.SaveHistory();
    QCOMPARE(ReadFile(Path("History.DAT")), QByteArray());
    history.Add(QStringLiteral("one"));
    history.Add(QStringLiteral("two \u00e9\r\nlines"));
    history.SaveHistory();
    QCOMPARE(ReadFile(Path("History.DAT")), QByteArray("one\0two \xc3\xa9\r\nlines", 17));
    CHistory again;
    again.InitFileName(m_home.Path(), QStringLiteral("History.DAT"));
    again.LoadHistory();
    QCOMPARE(again.Count(), 2);
    QCOMPARE(again.Item(1), QStringLiteral("two \u00e9\r\nlines"));
}

void tst_CHistory::loadDropsBlanksAndKeepsFileDuplicates_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("blanks and doubled nuls")
        << QByteArray("a\0 \0\0  b  ", 11) << QStringList{"a", "b"};
    QTest::newRow("case duplicates stay") << QByteArray("x\0X", 3) << QStringList{"x", "X"};
    QTest::newRow("only blanks") << QByteArray("  \t ") << QStringList{};
    QTest::newRow("empty") << QByteArray() << QStringList{};
    QTest::newRow("invalid utf8") << QByteArray("ok\0bad\xff\xfe", 8)
                                  << QStringList{"ok", QStringLiteral("bad\ufffd\ufffd")};
}

void tst_CHistory::loadDropsBlanksAndKeepsFileDuplicates() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, entries);
    WriteFile(Path("Load.DAT"), file);
    CHistory history;
    history.InitFileName(m_home.Path(), QStringLiteral("Load.DAT"));
    history.Add(QStringLiteral("replaced by loading"));
    QVERIFY(!history.LoadHistory());
    QStringList got;
    for (int i = 0; i < history.Count(); ++i)
        got << history.Item(i);
    QCOMPARE(got, entries);
}

void tst_CHistory::itemOutOfRangeRaises() {
    CHistory history;
    QVERIFY_THROWS_EXCEPTION(ComponentError, history.Item(0));
    history.Add(QStringLiteral("a"));
    QVERIFY_THROWS_EXCEPTION(ComponentError, history.Item(-1));
    QVERIFY_THROWS_EXCEPTION(ComponentError, history.Item(1));
}

void tst_CHistory::defaultFolder() {
    CHistory history;
    history.InitFileName(QString(), QStringLiteral("X.DAT"));
    const QString folder = m_home.Path() + QStringLiteral("/data/Velmora/Marivane");
    QCOMPARE(history.FileName(), folder + QStringLiteral("/X.DAT"));
    QVERIFY(QDir(folder).exists());
}

void tst_CHistory::withoutFileName() {
    CHistory history;
    history.Add(QStringLiteral("kept"));
    for (const Problem& problem : {history.LoadHistory(), history.SaveHistory()})
        QCOMPARE(problem.value_or(Failure()).Message, QStringLiteral("History file not defined."));
    QCOMPARE(history.Count(), 1);
}

void tst_CHistory::unreadableAndUnwritableFiles() {
    // A folder where the file should be: it exists for no one as a file, reading and writing fail.
    QDir().mkpath(Path("Folder.DAT"));
    CHistory history;
    history.InitFileName(m_home.Path(), QStringLiteral("Folder.DAT"));
    history.Add(QStringLiteral("kept"));
    QCOMPARE(history.SaveHistory().value_or(Failure()).Message,
             QStringLiteral("Can't save history."));
    QCOMPARE(history.Count(), 1);

    WriteFile(Path("Locked.DAT"), QByteArray("a"));
    QFile::setPermissions(Path("Locked.DAT"), QFileDevice::WriteOwner);
    if (QFile(Path("Locked.DAT")).open(QIODevice::ReadOnly))
        QSKIP("running with rights that read any file");
    CHistory locked;
    locked.InitFileName(m_home.Path(), QStringLiteral("Locked.DAT"));
    QCOMPARE(locked.LoadHistory().value_or(Failure()).Message,
             QStringLiteral("Can't load history."));
    QCOMPARE(locked.Count(), 0);
}

QTEST_GUILESS_MAIN(tst_CHistory)
#include "tst_CHistory.moc"
