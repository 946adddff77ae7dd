#include "TestSupport.h"
#include "components/ComponentError.h"
#include "components/Failure.h"
#include "components/PictureKinds.h"
#include "creation/CreatorFields.h"
#include "creation/modBatch.h"
#include "history/CHistory.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <sys/stat.h>

namespace {

class FakeCreator final : public CreatorFields {
public:
    QString GetGroup() const override { return group; }
    QString CaptionText() const override { return caption; }
    QString TagsText() const override { return tags; }
    CHistory& History() override { return captions; }
    CHistory& TagsHistory() override { return tagLists; }

    QString group = QStringLiteral("Travel | travel.example.com");
    QString caption = QStringLiteral("Sea\r\nsecond line");
    QString tags = QStringLiteral("sea sand");
    CHistory captions;
    CHistory tagLists;
};

// Answers each question with the next scripted decision, and records the questions.
struct ScriptedDecisions {
    QList<StoreDecision> answers;
    QStringList asked;
    std::function<void()> beforeAnswer = [] {
    };
    StoreFailureDecision Decide() {
        return [this](const Failure& question) {
            asked << question.Message;
            beforeAnswer();
            return answers.isEmpty() ? StoreDecision::Abort : answers.takeFirst();
        };
    }
};

} // namespace

class tst_modBatch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void pictureExtensions_data();
    void pictureExtensions();
    void listsFilesOnly();
    void listingAMissingFolderRaises();
    void splitsAtCRLFOnly_data();
    void splitsAtCRLFOnly();
    void packAnswers_data();
    void packAnswers();
    void urlRun();
    void urlRunAbortAddsNothing();
    void folderRunTakesScriptedDecisions();

private:
    QStringList Stored() const { return m_home.DataFiles(); }
    TestHome m_home;
    QTemporaryDir m_folder;
};

void tst_modBatch::init() {
    QDir(m_home.DataFolder()).removeRecursively();
}

void tst_modBatch::pictureExtensions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("picture");
    for (const char* yes : {"PHOTO.JPG", "photo.Jpeg", "x.jpe", "x.JFIF", "x.gif", "x.png", "x.bmp",
                            "x.dib", "x.rle", ".hidden.png", "two.dots.jpg"})
        QTest::newRow(yes) << QString::fromLatin1(yes) << true;
    for (const char* no :
         {"x.jp", "x.e", "x.tiff", "noextension", "x.", "x.jpg.txt", "jpg", "x.pn", "x.|jpg"})
        QTest::newRow(no) << QString::fromLatin1(no) << false;
}

void tst_modBatch::pictureExtensions() {
    QFETCH(QString, name);
    QFETCH(bool, picture);
    QCOMPARE(IsPictureFile(name), picture);
}

void tst_modBatch::listsFilesOnly() {
    const QString dir = m_folder.path();
    WriteFile(dir + QStringLiteral("/a.jpg"), "a");
    WriteFile(dir + QStringLiteral("/.hidden.PNG"), "h");
    WriteFile(dir + QStringLiteral("/readonly.gif"), "r");
    QFile::setPermissions(dir + QStringLiteral("/readonly.gif"), QFileDevice::ReadOwner);
    WriteFile(dir + QStringLiteral("/notes.txt"), "n");
    QDir(dir).mkdir(QStringLiteral("folder.jpg"));
    QVERIFY(::mkfifo(QFile::encodeName(dir + QStringLiteral("/pipe.jpg")).constData(), 0600) == 0);
    QFile::link(dir + QStringLiteral("/a.jpg"), dir + QStringLiteral("/link.jpg"));
    QFile::link(dir + QStringLiteral("/gone.jpg"), dir + QStringLiteral("/dangling.jpg"));

    QStringList names = ListPictureFiles(dir);
    names.sort();
    QCOMPARE(names, (QStringList{".hidden.PNG", "a.jpg", "link.jpg", "readonly.gif"}));
}

void tst_modBatch::listingAMissingFolderRaises() {
    QVERIFY_THROWS_EXCEPTION(ComponentError,
                             ListPictureFiles(m_folder.path() + QStringLiteral("/missing")));
    const QString file = m_folder.path() + QStringLiteral("/plain.jpg");
    WriteFile(file, "x");
    QVERIFY_THROWS_EXCEPTION(ComponentError, ListPictureFiles(file));
}

void tst_modBatch::splitsAtCRLFOnly_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QString() << QStringList{QString()};
    QTest::newRow("crlf") << QStringLiteral("a\r\nb\r\n") << QStringList{"a", "b", ""};
    QTest::newRow("lone lf stays") << QStringLiteral("a\nb\r\nc") << QStringList{"a\nb", "c"};
    QTest::newRow("lone cr stays") << QStringLiteral("a\rb") << QStringList{"a\rb"};
    QTest::newRow("cr cr lf") << QStringLiteral("a\r\r\nb") << QStringList{"a\r", "b"};
}

void tst_modBatch::splitsAtCRLFOnly() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(SplitURLLines(text), lines);
}

void tst_modBatch::packAnswers_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("outcome");
    QTest::newRow("abort") << int(StoreDecision::Abort) << int(StoreOutcome::Aborted);
    QTest::newRow("ignore") << int(StoreDecision::Ignore) << int(StoreOutcome::Ignored);
    QTest::newRow("retry, then stored") << int(StoreDecision::Retry) << int(StoreOutcome::Stored);
}

void tst_modBatch::packAnswers() {
    QFETCH(int, answer);
    QFETCH(int, outcome);
    FakeCreator creator;
    const QString picture = m_folder.path() + QStringLiteral("/later.png");
    QFile::remove(picture);
    ScriptedDecisions decisions;
    decisions.answers = {StoreDecision(answer)};
    // The retry finds the file in place, and the caption as it now stands.
    decisions.beforeAnswer = [&] {
        WriteFile(picture, "png bytes");
        creator.caption = QStringLiteral("changed");
    };
    const StoreOutcome got = StoreRunPost(creator, picture, QString(), decisions.Decide());

    QCOMPARE(int(got), outcome);
    QCOMPARE(decisions.asked, QStringList{picture + QStringLiteral("\r\n\r\nCan't pack file.")});
    const QStringList stored = Stored();
    if (got != StoreOutcome::Stored) {
        QVERIFY(stored.isEmpty());
        return;
    }
    QCOMPARE(stored.size(), 2);
    QCOMPARE(ReadFile(m_home.DataFolder() + QLatin1Char('/') + stored.at(1)),
             QByteArray("png bytes"));
    QCOMPARE(ReadFile(m_home.DataFolder() + QLatin1Char('/') + stored.at(0)),
             QByteArray("travel.example.com\r\nsea sand\r\nchanged"));
}

void tst_modBatch::urlRun() {
    FakeCreator creator;
    ScriptedDecisions decisions;
    const QString text = QStringLiteral(" http://a.example/1.jpg\t\r\n"
                                        "https://b.example/2.png\r\n"
                                        "   \r\n"
                                        "word\r\n"
                                        "FILE:///home/x.jpg\r\n"
                                        "http://c.example/3.gif\r\n"
                                        "http://d.example/4.jpg\nhttp://e.example/5.jpg");
    const URLBatchResult result = StoreURLPosts(text, creator, decisions.Decide());
    QVERIFY(!result.aborted);
    QCOMPARE(result.invalidLines,
             QStringLiteral("word\r\nFILE:///home/x.jpg\r\nhttp://d.example/4.jpg\n"
                            "http://e.example/5.jpg\r\n"));
    QVERIFY(decisions.asked.isEmpty());
    const QStringList stored = Stored();
    QCOMPARE(stored.size(), 6);
    QStringList urls;
    for (const QString& name : stored) {
        if (name.endsWith(QStringLiteral(".Picture")))
            urls << QString::fromUtf8(ReadFile(m_home.DataFolder() + QLatin1Char('/') + name));
    }
    const QString marker = QStringLiteral("{07460945-55B8-4ac3-8811-76B4CEA99932}\r\n");
    QCOMPARE(urls, (QStringList{marker + QStringLiteral("http://a.example/1.jpg"),
                                marker + QStringLiteral("https://b.example/2.png"),
                                marker + QStringLiteral("http://c.example/3.gif")}));
    QCOMPARE(creator.captions.Count(), 1);
    QCOMPARE(creator.tagLists.Item(0), QStringLiteral("sea sand"));
}

void tst_modBatch::urlRunAbortAddsNothing() {
    FakeCreator creator;
    // A file where the data folder belongs makes every store fail.
    QDir(m_home.Path()).mkpath(QStringLiteral("data/Velmora"));
    WriteFile(m_home.DataFolder(), "in the way");
    ScriptedDecisions decisions;
    decisions.answers = {StoreDecision::Ignore, StoreDecision::Abort};
    const URLBatchResult result = StoreURLPosts(
        QStringLiteral(
            "http://a.example/1.jpg\r\nhttp://b.example/2.jpg\r\nhttp://c.example/3.jpg"),
        creator, decisions.Decide());
    QFile::remove(m_home.DataFolder());
    QVERIFY(result.aborted);
    QCOMPARE(
        decisions.asked,
        (QStringList{QStringLiteral("http://a.example/1.jpg\r\n\r\nCan't pack URL to file."),
                     QStringLiteral("http://b.example/2.jpg\r\n\r\nCan't pack URL to file.")}));
    QCOMPARE(creator.captions.Count(), 0);
    QCOMPARE(creator.tagLists.Count(), 0);
}

void tst_modBatch::folderRunTakesScriptedDecisions() {
    FakeCreator creator;
    const QString folder = m_folder.path() + QStringLiteral("/run");
    QDir().mkpath(folder);
    for (const char* name : {"a.png", "c.png", "d.png"})
        WriteFile(folder + QLatin1Char('/') + QLatin1String(name), name);
    const QString late = folder + QStringLiteral("/late.png");
    ScriptedDecisions decisions;
    // "late.png" turns up before the retry; "gone.png" is ignored; "none.png" aborts the run.
    decisions.answers = {StoreDecision::Retry, StoreDecision::Ignore, StoreDecision::Abort};
    decisions.beforeAnswer = [&] {
        WriteFile(late, "late");
    };
    const QStringList names = {QStringLiteral("a.png"),    QStringLiteral("late.png"),
                               QStringLiteral("gone.png"), QStringLiteral("c.png"),
                               QStringLiteral("none.png"), QStringLiteral("d.png")};
    const FolderBatchResult result = StoreFolderPosts(creator, folder, names, decisions.Decide());

    QVERIFY(result.Aborted);
    QCOMPARE(result.Left, (QStringList{QStringLiteral("none.png"), QStringLiteral("d.png")}));
    QCOMPARE(decisions.asked.size(), 3);
    QCOMPARE(decisions.asked.at(1), folder + QStringLiteral("/gone.png\r\n\r\nCan't pack file."));
    QStringList pictures;
    for (const QString& name : m_home.DataFiles({QStringLiteral("*.Picture")}))
        pictures << QString::fromLatin1(ReadFile(m_home.DataFolder() + QLatin1Char('/') + name));
    QCOMPARE(pictures, (QStringList{QStringLiteral("a.png"), QStringLiteral("late"),
                                    QStringLiteral("c.png")}));
}

QTEST_GUILESS_MAIN(tst_modBatch)
#include "tst_modBatch.moc"
