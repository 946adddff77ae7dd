// A history or settings file replaced by junk costs at most that file's content: the program
// reads on, writes the file anew, and every stored post and other file stays as it was.
#include "PostFolderCheck.h"
#include "TestSupport.h"
#include "components/ComponentError.h"
#include "components/SettingsStore.h"
#include "history/CHistory.h"
#include "store/modStorage.h"

#include <QDir>
#include <QRandomGenerator>
#include <QtTest>

namespace {

const QStringList kSettingKeys = {"Last Caption",
                                  "Last Tags",
                                  "Quick Mode",
                                  "Tags From Caption",
                                  "Groups",
                                  "Group Index",
                                  "Window placement",
                                  "Last open picture dir",
                                  "Last batch folder",
                                  "Last batch URLs text",
                                  "E-Mail",
                                  "Password",
                                  "Publish Post On",
                                  "Last State Index",
                                  "HTTP Proxy"};

} // namespace

class tst_DamagedFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void historyReplacedByJunk_data() { JunkRows(); }
    void historyReplacedByJunk();
    void settingsReplacedByJunk_data();
    void settingsReplacedByJunk();

private:
    void JunkRows();
    void VerifyOthersUntouched();

    TestHome m_home;
    QTemporaryDir m_pictures;
    ExpectedPost m_expected;
    QByteArray m_tagsHistory;
};

void tst_DamagedFiles::JunkRows() {
    QTest::addColumn<QByteArray>("junk");
    QTest::newRow("random 1") << RandomBytes(3000, 1);
    QTest::newRow("random 2") << RandomBytes(100, 2);
    QTest::newRow("random 3") << RandomBytes(1 << 20, 3);
    QTest::newRow("zeros") << QByteArray(4096, '\0');
    QTest::newRow("broken UTF-8") << QByteArray("\xc3\x28\xa0\xa1\xe2\x28\xa1\xf0\x28\x8c\xbc");
    QTest::newRow("empty") << QByteArray();
}

void tst_DamagedFiles::init() {
    QDir(m_home.DataFolder()).removeRecursively();
    QFile::remove(SettingsStore::FileName());
    QDir().mkpath(QFileInfo(SettingsStore::FileName()).absolutePath());

    const QString picture = m_pictures.filePath(QStringLiteral("picture.png"));
    m_expected = {QStringLiteral("blog.example.com"), QStringLiteral("a, b"),
                  QStringLiteral("Caption"), RandomBytes(50000, 9)};
    WriteFile(picture, m_expected.picture);
    QVERIFY(SavePost(NewPost(m_expected.group, m_expected.caption, m_expected.tags, picture)));
    QVERIFY(SavePost(NewPost(m_expected.group, m_expected.caption, m_expected.tags, picture)));

    CHistory tags;
    tags.InitFileName(GetDataPath(), QStringLiteral("Tags History.DAT"));
    tags.Add(QStringLiteral("sea"));
    tags.Add(QStringLiteral("sand"));
    tags.SaveHistory();
    m_tagsHistory = ReadFile(tags.FileName());
}

void tst_DamagedFiles::VerifyOthersUntouched() {
    const PostFolderState state = CheckPostFolder(m_home.DataFolder(), m_expected);
    QVERIFY2(state.problems.isEmpty(), qPrintable(state.problems.join(QLatin1Char('\n'))));
    QCOMPARE(state.posts, 2);
    QCOMPARE(ReadFile(QDir(m_home.DataFolder()).filePath(QStringLiteral("Tags History.DAT"))),
             m_tagsHistory);
}

void tst_DamagedFiles::historyReplacedByJunk() {
    QFETCH(QByteArray, junk);
    CHistory history;
    history.InitFileName(GetDataPath(), QStringLiteral("History.DAT"));
    WriteFile(history.FileName(), junk);

    // Junk is text like any other: it loads as entries without a complaint.
    QVERIFY(!history.LoadHistory());
    history.Add(QStringLiteral("A caption typed afterwards"));
    QVERIFY(!history.SaveHistory());

    CHistory reloaded;
    reloaded.InitFileName(GetDataPath(), QStringLiteral("History.DAT"));
    reloaded.LoadHistory();
    QCOMPARE(reloaded.Entries(), history.Entries());
    QVERIFY(reloaded.Entries().contains(QStringLiteral("A caption typed afterwards")));
    VerifyOthersUntouched();
}

void tst_DamagedFiles::settingsReplacedByJunk_data() {
    JunkRows();
    static const char variantJunk[] =
        "[General]\nGroup%20Index=@Variant(\0\0\0\x7f"
        "\xff\xff\xff\xffjunk)\nQuick%20Mode=@Variant(\0\0\0\x0c\xff\xff)\n";
    QTest::newRow("variant junk") << QByteArray(variantJunk, sizeof variantJunk - 1);
    QTest::newRow("unterminated byte array")
        << QByteArray("[General]\nWindow%20placement=@ByteArray(\x01\x02");
    QTest::newRow("unbalanced section") << QByteArray("[General\nE-Mail=\"unterminated\n[[[\n=\n");
}

void tst_DamagedFiles::settingsReplacedByJunk() {
    QFETCH(QByteArray, junk);
    WriteFile(SettingsStore::FileName(), junk);

    {
        // Every value reads as some value or as a wrong-value error the windows handle.
        SettingsStore settings;
        for (const QString& key : kSettingKeys) {
            for (const SettingsStore::Kind kind :
                 {SettingsStore::Text, SettingsStore::Long, SettingsStore::Bool}) {
                try {
                    settings.GetValue({}, key, kind, {});
                } catch (const ComponentError&) {
                }
            }
            settings.GetBytes(key);
        }
        settings.SaveText(QStringLiteral("E-Mail"), QStringLiteral("me@example.com"));
        settings.SaveLong(QStringLiteral("Group Index"), 3);
    }

    const SettingsStore reread;
    QCOMPARE(reread.GetText(QStringLiteral("E-Mail")), QStringLiteral("me@example.com"));
    QCOMPARE(reread.GetLong(QStringLiteral("Group Index"), 0), 3);
    VerifyOthersUntouched();
}

QTEST_GUILESS_MAIN(tst_DamagedFiles)
#include "tst_DamagedFiles.moc"
