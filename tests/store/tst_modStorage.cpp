#include "TestSupport.h"
#include "components/ComponentError.h"
#include "store/modStorage.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <QtTest>
#include <limits>

static bool IsPrivate(const QString& path) {
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::WriteOther | QFileDevice::ExeOther;
    return !(QFileInfo(path).permissions() & others);
}

class tst_modStorage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void dataFolderIsPrivate_data();
    void dataFolderIsPrivate();
    void namesCountWithinRunAndRestart();
    void counterOverflowRestartsAtZero();
    void infoFileIsByteExact_data();
    void infoFileIsByteExact();
    void pictureBytesAreCopiedExactly();
    void urlPostIsByteExact();
    void neverOverwritesStoredPost();
    void saveGroupShowsPostsOnlyWhenSynced();
    void missingPictureLeavesNothing();
    void dataFolderBlockedByFile();
    void loadRoundTripFromEitherFile();
    void damagedInfoFiles_data();
    void damagedInfoFiles();
    void loadFailures();
    void pictureUrlRecognition_data();
    void pictureUrlRecognition();
    void readPictureUrlOfVanishedFile();
    void deleteRemovesBoth();
    void folderIndexFollowsTheFolder();
    void keptIndexAnswersUnlessDamaged();

private:
    // Two posts, read once the folder has been quiet long enough for the reading to be kept.
    FolderContents KeptReading();
    QStringList Stored() const;
    QString WritePicture(const QByteArray& bytes);
    TestHome m_home;
    QTemporaryDir m_pictures;
};

QStringList tst_modStorage::Stored() const {
    return FolderFiles(m_home.DataFolder(), {}, QDir::Files | QDir::Hidden);
}

QString tst_modStorage::WritePicture(const QByteArray& bytes) {
    const QString path = m_pictures.filePath(QStringLiteral("pic.jpg"));
    WriteFile(path, bytes);
    return path;
}

void tst_modStorage::init() {
    SetPostCounter(0);
}

void tst_modStorage::cleanup() {
    QDir(m_home.DataFolder()).removeRecursively();
}

void tst_modStorage::dataFolderIsPrivate_data() {
    QTest::addColumn<bool>("madeBefore");
    QTest::newRow("made here") << false;
    QTest::newRow("made before, open to others") << true;
}

void tst_modStorage::dataFolderIsPrivate() {
    QFETCH(bool, madeBefore);
    const QString kept = m_home.DataFolder() + QStringLiteral("/History.DAT");
    if (madeBefore) {
        QVERIFY(QDir().mkpath(m_home.DataFolder()));
        QVERIFY(QFile::setPermissions(m_home.DataFolder(),
                                      QFile::permissions(m_home.DataFolder()) |
                                          QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                          QFileDevice::ReadOther | QFileDevice::ExeOther));
        WriteFile(kept, "kept");
    }
    const QString path = GetDataPath();
    QCOMPARE(path, m_home.DataFolder());
    QVERIFY(QFileInfo(path).isDir());
    QVERIFY(IsPrivate(path));
    if (madeBefore)
        QCOMPARE(ReadFile(kept), QByteArray("kept"));
}

void tst_modStorage::namesCountWithinRunAndRestart() {
    const QRegularExpression shape(
        QStringLiteral("/\\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d (\\d{4,})$"));
    const QString first = MakePostFileName();
    const QString second = MakePostFileName();
    QVERIFY(first.startsWith(m_home.DataFolder() + QLatin1Char('/')));
    QCOMPARE(shape.match(first).captured(1), QStringLiteral("0000"));
    QCOMPARE(shape.match(second).captured(1), QStringLiteral("0001"));
    SetPostCounter(0); // what a new run starts with
    QCOMPARE(shape.match(MakePostFileName()).captured(1), QStringLiteral("0000"));
    SetPostCounter(12345);
    QCOMPARE(shape.match(MakePostFileName()).captured(1), QStringLiteral("12345"));
}

void tst_modStorage::counterOverflowRestartsAtZero() {
    SetPostCounter(std::numeric_limits<qint32>::max());
    QVERIFY(MakePostFileName().endsWith(QStringLiteral(" 2147483647")));
    QVERIFY(MakePostFileName().endsWith(QStringLiteral(" 0000")));
}

void tst_modStorage::infoFileIsByteExact_data() {
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("title and blog")
        << "My photos | blog.example.com"
        << "One\r\nTwo\r\nThree"
        << QByteArray("blog.example.com\r\ntags, x\r\nOne\r\nTwo\r\nThree");
    QTest::newRow("last bar wins") << "a | b |  c "
                                   << "cap" << QByteArray("c\r\ntags, x\r\ncap");
    QTest::newRow("no bar untrimmed") << "  spaced  "
                                      << "" << QByteArray("  spaced  \r\ntags, x\r\n");
    QTest::newRow("unicode") << "g" << QStringLiteral("Zo\u00eb \u65e5")
                             << QByteArray("g\r\ntags, x\r\nZo\xc3\xab \xe6\x97\xa5");
}

void tst_modStorage::infoFileIsByteExact() {
    QFETCH(QString, group);
    QFETCH(QString, caption);
    QFETCH(QByteArray, expected);
    QVERIFY(SavePost(
        NewPost(group, caption, QStringLiteral("tags, x"), WritePicture("JPEG"), QString())));
    const QStringList files = Stored();
    QCOMPARE(files.size(), 2);
    QVERIFY(files.at(0).endsWith(QStringLiteral(" 0000.Info")));
    QVERIFY(files.at(1).endsWith(QStringLiteral(" 0000.Picture")));
    QCOMPARE(ReadFile(m_home.DataFolder() + QLatin1Char('/') + files.at(0)), expected);

    const Outcome<Post> post = LoadPost(m_home.DataFolder() + QLatin1Char('/') + files.at(0));
    QVERIFY(post);
    QCOMPARE(post->Caption, caption);
    QCOMPARE(post->Tags, QStringLiteral("tags, x"));
}

void tst_modStorage::pictureBytesAreCopiedExactly() {
    QByteArray all;
    for (int round = 0; round < 4; ++round)
        for (int i = 0; i < 256; ++i)
            all.append(static_cast<char>(i));
    QVERIFY(SavePost(NewPost(QStringLiteral("g"), QStringLiteral("c"), QStringLiteral("t"),
                             WritePicture(all), QString())));
    const QString picture = m_home.DataFolder() + QLatin1Char('/') + Stored().at(1);
    QCOMPARE(ReadFile(picture), all);
    const Outcome<Post> post = LoadPost(picture, PostParts::WithPicture);
    QVERIFY(post);
    QCOMPARE(post->Picture, all);
    QVERIFY(!post->IsURLPost());
}

void tst_modStorage::urlPostIsByteExact() {
    const QString url = QStringLiteral("http://example.com/p\u00e9.jpg");
    QVERIFY(SavePost(NewPost(QStringLiteral("g"), QString(), QString(), QString(), url)));
    const QString picture = m_home.DataFolder() + QLatin1Char('/') + Stored().at(1);
    QCOMPARE(
        ReadFile(picture),
        QByteArray("{07460945-55B8-4ac3-8811-76B4CEA99932}\r\nhttp://example.com/p\xc3\xa9.jpg"));
    QCOMPARE(ReadPictureURL(picture), url);
    QCOMPARE(ReadFile(m_home.DataFolder() + QLatin1Char('/') + Stored().at(0)),
             QByteArray("g\r\n\r\n"));
}

void tst_modStorage::neverOverwritesStoredPost() {
    // Files that hold the names this run takes next (as after the clock was set back): a
    // whole post, a lone ".Info" and a lone ".Picture", in this second and the next.
    QDir().mkpath(m_home.DataFolder());
    const QDateTime now = QDateTime::currentDateTime();
    const QStringList kept[3] = {{".Info", ".Picture"}, {".Info"}, {".Picture"}};
    for (int s = 0; s < 2; ++s) {
        for (int counter = 0; counter < 3; ++counter) {
            const QString base = m_home.DataFolder() + QLatin1Char('/') +
                                 now.addSecs(s).toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")) +
                                 QStringLiteral(" 000%1").arg(counter);
            for (const QString& extension : kept[counter])
                WriteFile(base + extension, "old");
        }
    }
    QVERIFY(SavePost(NewPost(QStringLiteral("new"), QStringLiteral("c"), QStringLiteral("t"),
                             WritePicture("new picture"), QString())));
    int old = 0;
    int fresh = 0;
    for (const QString& name : Stored()) {
        const QByteArray data = ReadFile(m_home.DataFolder() + QLatin1Char('/') + name);
        if (!name.contains(QStringLiteral(" 0003."))) {
            QCOMPARE(data, QByteArray("old"));
            ++old;
        } else if (name.endsWith(QStringLiteral(".Picture"))) {
            QCOMPARE(data, QByteArray("new picture"));
            ++fresh;
        }
    }
    QCOMPARE(old, 8);
    QCOMPARE(fresh, 1);
    // Nothing stray is left beside them, hidden or not.
    QCOMPARE(Stored().size(), 10);
}

void tst_modStorage::saveGroupShowsPostsOnlyWhenSynced() {
    const QString picture = WritePicture("grouped");
    QDir().mkpath(m_home.DataFolder());
    // A lone old ".Info" where the third post's name falls: that post is handed back.
    const QString taken =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    WriteFile(m_home.DataFolder() + QLatin1Char('/') + taken + QStringLiteral(" 0002.Info"), "old");
    PostSaveGroup group(2);
    QVERIFY(
        group.Add(NewPost(QStringLiteral("g"), QStringLiteral("c"), QStringLiteral("t"), picture)));
    QCOMPARE(Stored().size(), 1);
    QVERIFY(
        group.Add(NewPost(QStringLiteral("g"), QStringLiteral("c"), QStringLiteral("t"), picture)));
    QCOMPARE(Stored().size(), 5);
    QVERIFY(group.Add(NewPost(QStringLiteral("g"), QStringLiteral("c"), QStringLiteral("t"), {},
                              QStringLiteral("http://example.org/a.jpg"))));
    QCOMPARE(Stored().size(), 5);
    const QStringList failed = group.Flush();
    if (QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")) != taken)
        QSKIP("the clock moved on to another second");
    QCOMPARE(failed, QStringList{QStringLiteral("http://example.org/a.jpg")});
    QCOMPARE(Stored().size(), 5);
    QCOMPARE(Stored().size(), 5);
}

void tst_modStorage::missingPictureLeavesNothing() {
    QVERIFY(!SavePost(NewPost(QStringLiteral("g"), QStringLiteral("c"), QStringLiteral("t"),
                              m_pictures.filePath(QStringLiteral("gone.jpg")), QString())));
    QVERIFY(Stored().isEmpty());
    // A folder given as the picture cannot be read as one, whoever runs the test.
    QVERIFY(!SavePost(NewPost(QStringLiteral("g"), QStringLiteral("c"), QStringLiteral("t"),
                              m_pictures.path(), QString())));
    QVERIFY(Stored().isEmpty());
    // A picture that exists but cannot be read.
    const QString locked = WritePicture("secret");
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    if (QFile(locked).open(QIODevice::ReadOnly))
        QSKIP("running with rights that read any file");
    QVERIFY(!SavePost(
        NewPost(QStringLiteral("g"), QStringLiteral("c"), QStringLiteral("t"), locked, QString())));
    QVERIFY(Stored().isEmpty());
}

void tst_modStorage::dataFolderBlockedByFile() {
    QDir().mkpath(QFileInfo(m_home.DataFolder()).absolutePath());
    WriteFile(m_home.DataFolder(), "a file where the folder belongs");
    try {
        GetDataPath();
        QFAIL("no error raised");
    } catch (const ComponentError& e) {
        QCOMPARE(e.Number(), 0x80040001u);
        QCOMPARE(e.Description(), QStringLiteral("Can't create data folder."));
    }
    QVERIFY(!SavePost(NewPost(QStringLiteral("g"), QStringLiteral("c"), QStringLiteral("t"),
                              WritePicture("x"), QString())));
    QFile::remove(m_home.DataFolder());
    // The failures used up no post number.
    QVERIFY(MakePostFileName().endsWith(QStringLiteral(" 0000")));
}

void tst_modStorage::loadRoundTripFromEitherFile() {
    QVERIFY(SavePost(NewPost(QStringLiteral("blog"), QStringLiteral("a\r\nb\r\nc"),
                             QStringLiteral("t1, t2"), WritePicture("PNG"), QString())));
    for (const QString& name : Stored()) {
        const Outcome<Post> post =
            LoadPost(m_home.DataFolder() + QLatin1Char('/') + name, PostParts::WithPicture);
        QVERIFY(post);
        QCOMPARE(post->Group, QStringLiteral("blog"));
        QCOMPARE(post->Caption, QStringLiteral("a\r\nb\r\nc"));
        QCOMPARE(post->Tags, QStringLiteral("t1, t2"));
        QCOMPARE(post->Picture, QByteArray("PNG"));
    }
}

void tst_modStorage::damagedInfoFiles_data() {
    QTest::addColumn<QByteArray>("info");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("tags");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<bool>("loads");
    // Cut short: never loaded, so never sent.
    QTest::newRow("no break") << QByteArray("only") << ""
                              << ""
                              << "" << QByteArray("p") << false;
    QTest::newRow("one break") << QByteArray("g\r\nt") << ""
                               << ""
                               << "" << QByteArray("p") << false;
    QTest::newRow("empty") << QByteArray() << ""
                           << ""
                           << "" << QByteArray("p") << false;
    QTest::newRow("empty picture") << QByteArray("g\r\nt\r\nc") << ""
                                   << ""
                                   << "" << QByteArray() << false;
    // Other line breaks and bad bytes are read leniently.
    QTest::newRow("lone lf") << QByteArray("g\nt\ncap") << "g"
                             << "t"
                             << "cap" << QByteArray("p") << true;
    QTest::newRow("lone cr") << QByteArray("g\rt\rcap") << "g"
                             << "t"
                             << "cap" << QByteArray("p") << true;
    QTest::newRow("bad utf8") << QByteArray("g\xff\r\nt\r\nc\xc3") << QStringLiteral("g\ufffd")
                              << "t" << QStringLiteral("c\ufffd") << QByteArray("p") << true;
}

void tst_modStorage::damagedInfoFiles() {
    QFETCH(QByteArray, info);
    QFETCH(QString, group);
    QFETCH(QString, tags);
    QFETCH(QString, caption);
    QFETCH(QByteArray, picture);
    QFETCH(bool, loads);
    QDir().mkpath(m_home.DataFolder());
    const QString base = m_home.DataFolder() + QStringLiteral("/2020-01-01 00-00-00 0000");
    WriteFile(base + QStringLiteral(".Info"), info);
    WriteFile(base + QStringLiteral(".Picture"), picture);
    const Outcome<Post> post = LoadPost(base + QStringLiteral(".Picture"), PostParts::WithPicture);
    QCOMPARE(static_cast<bool>(post), loads);
    if (!loads) {
        QCOMPARE(post.Error().Number, ErrorNumber::PostDamaged);
        QCOMPARE(post.Error().Message, QStringLiteral("Can't load post files."));
        QVERIFY(post.Error().Details.contains(QStringLiteral("damaged")));
        return;
    }
    QCOMPARE(post->Group, group);
    QCOMPARE(post->Tags, tags);
    QCOMPARE(post->Caption, caption);
    QCOMPARE(post->Picture, picture);
}

void tst_modStorage::loadFailures() {
    const Outcome<Post> unnamed = LoadPost(QStringLiteral("/tmp/noextension"));
    QVERIFY(!unnamed);
    QCOMPARE(unnamed.Error().Message,
             QStringLiteral("/tmp/noextension\r\n\r\nWrong filename. Can't load post."));
    QVERIFY(unnamed.Error().Details.isEmpty());

    const Outcome<Post> missing = LoadPost(m_home.DataFolder() + QStringLiteral("/missing.Info"));
    QVERIFY(!missing);
    QCOMPARE(missing.Error().Message, QStringLiteral("Can't load post files."));
    QVERIFY(!missing.Error().Details.isEmpty());

    // The ".Info" is there, the asked-for ".Picture" is not.
    QDir().mkpath(m_home.DataFolder());
    WriteFile(m_home.DataFolder() + QStringLiteral("/half.Info"), "g\r\nt\r\nc");
    const QString half = m_home.DataFolder() + QStringLiteral("/half.Info");
    QCOMPARE(LoadPost(half, PostParts::WithPicture).Error().Message,
             QStringLiteral("Can't load post files."));
    QVERIFY(LoadPost(half));
}

void tst_modStorage::pictureUrlRecognition_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("url");
    const QByteArray marker("{07460945-55B8-4ac3-8811-76B4CEA99932}\r\n");
    QTest::newRow("url") << marker + "http://x/a.jpg"
                         << "http://x/a.jpg";
    QTest::newRow("lower-case marker") << marker.toLower() + "http://x/a.jpg"
                                       << "http://x/a.jpg";
    QTest::newRow("not trimmed") << marker + "http://x/a.jpg "
                                 << "http://x/a.jpg ";
    QTest::newRow("marker only") << marker << "";
    QTest::newRow("short") << marker.left(39) << "";
    QTest::newRow("bad url") << marker + "not a url"
                             << "";
    QTest::newRow("file url") << marker + "file:///etc/passwd"
                              << "";
    QTest::newRow("line break after") << marker + "http://x/a.jpg\r\n"
                                      << "";
    QTest::newRow("tab inside") << marker + "http://x/\ta.jpg"
                                << "";
    QTest::newRow("nul inside") << marker + QByteArray("http://x/\0a", 11) << "";
    QTest::newRow("no crlf in marker") << marker.left(38) + "  http://x/a.jpg"
                                       << "";
    QTest::newRow("picture bytes") << QByteArray("\xff\xd8\xff\xe0") << "";
    QTest::newRow("empty") << QByteArray() << "";
}

void tst_modStorage::pictureUrlRecognition() {
    QFETCH(QByteArray, data);
    QFETCH(QString, url);
    QCOMPARE(PictureURLFromData(data), url);
}

void tst_modStorage::readPictureUrlOfVanishedFile() {
    QVERIFY_THROWS_EXCEPTION(ComponentError,
                             ReadPictureURL(m_home.DataFolder() + QStringLiteral("/gone.Picture")));
    QDir().mkpath(m_home.DataFolder());
    WriteFile(m_home.DataFolder() + QStringLiteral("/empty.Picture"), "");
    QCOMPARE(ReadPictureURL(m_home.DataFolder() + QStringLiteral("/empty.Picture")), QString());
}

void tst_modStorage::deleteRemovesBoth() {
    QVERIFY(SavePost(NewPost(QStringLiteral("g"), QStringLiteral("c"), QStringLiteral("t"),
                             WritePicture("x"), QString())));
    QVERIFY(SavePost(NewPost(QStringLiteral("g"), QStringLiteral("c"), QStringLiteral("t"),
                             WritePicture("y"), QString())));
    const QStringList before = Stored();
    QVERIFY(DeletePost(m_home.DataFolder() + QLatin1Char('/') + before.at(1))); // by ".Picture"
    QCOMPARE(Stored(), before.mid(2));
    DeletePost(m_home.DataFolder() + QStringLiteral("/noextension"));
    QVERIFY(DeletePost(m_home.DataFolder() + QLatin1Char('/') + before.at(2))); // by ".Info"
    QVERIFY(Stored().isEmpty());
}

FolderContents tst_modStorage::KeptReading() {
    const QString folder = GetDataPath();
    for (const char* name : {"a.Picture", "a.Info", "b.Picture", "b.Info"})
        WriteFile(folder + '/' + QLatin1String(name), "1234");
    QThread::msleep(250);
    const FolderContents read = ReadFolderContents(folder, PostFiles::Pictures);
    // The index is written beside the caller; the next reading waits for it.
    ReadFolderContents(folder, PostFiles::Pictures);
    return read;
}

void tst_modStorage::folderIndexFollowsTheFolder() {
    const QString folder = GetDataPath();
    FolderContents first = KeptReading();
    if (!first.Indexable)
        QSKIP("This file system's times do not show every change of a folder.");
    QCOMPARE(first.PictureSizes, (QList<qint64>{-1, -1}));
    first.PictureSizes = {10, 20};
    RecordPictureSizes(folder, first);
    // Rewritten in place, a picture leaves the folder's times alone: the kept sizes answer,
    // and say so. Kinds not read before are read into the index.
    WriteFile(folder + QStringLiteral("/a.Picture"), "12345678");
    const FolderContents again = ReadFolderContents(folder, PostFiles::Pictures | PostFiles::Infos);
    QCOMPARE(again.PictureSizes, (QList<qint64>{10, 20}));
    QVERIFY(again.SizesFromIndex);
    QCOMPARE(again.Infos.ToStringList(), (QStringList{"a.Info", "b.Info"}));
    // Any post added or removed is seen at once; known sizes are carried over.
    QVERIFY(QFile::remove(folder + QStringLiteral("/a.Picture")));
    WriteFile(folder + QStringLiteral("/c.Picture"), "1");
    const FolderContents changed = ReadFolderContents(folder, PostFiles::Pictures);
    QCOMPARE(changed.Pictures.ToStringList(), (QStringList{"b.Picture", "c.Picture"}));
    QCOMPARE(changed.PictureSizes, (QList<qint64>{20, -1}));
    // Just changed, the folder could change again within the same tick of the clock.
    QVERIFY(!changed.Indexable);
}

void tst_modStorage::keptIndexAnswersUnlessDamaged() {
    const QString folder = GetDataPath();
    if (!KeptReading().Indexable)
        QSKIP("This file system's times do not show every change of a folder.");
    const QString indexFolder = m_home.Path() + QStringLiteral("/cache/Velmora/Marivane/");
    const QStringList indexes = FolderFiles(indexFolder, {QStringLiteral("*.index")});
    QCOMPARE(indexes.size(), 1);
    const QString index = indexFolder + indexes.first();
    const QByteArray kept = ReadFile(index);
    // While the folder's times hold, what the index says is the listing.
    WriteFile(index, QByteArray(kept).replace("b.Picture", "x.Picture"));
    QCOMPARE(ReadFolderContents(folder, PostFiles::Pictures).Pictures.ToStringList(),
             (QStringList{"a.Picture", "x.Picture"}));
    QByteArray wrongLength = kept;
    wrongLength[16] = '\xff';
    for (const QByteArray& damaged :
         {QByteArray(), kept.left(8), kept.left(kept.size() / 2), kept.chopped(1),
          QByteArray(kept + "x"), wrongLength, QByteArray(kept.size(), '\xff')}) {
        WriteFile(index, damaged);
        const FolderContents read = ReadFolderContents(folder, PostFiles::Pictures);
        QCOMPARE(read.Pictures.ToStringList(), (QStringList{"a.Picture", "b.Picture"}));
    }
}

QTEST_GUILESS_MAIN(tst_modStorage)
#include "tst_modStorage.moc"
