// A batch that runs out of room or loses write access part-way: the posts stored before
// stay whole, the failed ones leave nothing behind, and storing works again afterwards.
#include "PostFolderCheck.h"
#include "TestSupport.h"
#include "store/modStorage.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <sys/mount.h>
#include <sys/statvfs.h>

namespace {

constexpr qsizetype kPictureSize = 256 * 1024;

qint64 FreeBytes(const QString& folder) {
    struct statvfs info {};
    if (statvfs(QFile::encodeName(folder).constData(), &info) != 0)
        return -1;
    return static_cast<qint64>(info.f_bavail) * static_cast<qint64>(info.f_frsize);
}

} // namespace

class tst_StoreOnFullDisk : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void fileSizeLimitMidBatch();
    void diskFullMidBatch_data();
    void diskFullMidBatch();
    void readOnlyMidBatch();

private:
    bool StorePost() const {
        return SavePost(NewPost(kGroup, m_expected.caption, m_expected.tags, m_picture));
    }
    bool MountSmallDisk(qint64 bytes);
    void VerifyClean(int posts);

    const QString kGroup = QStringLiteral("Holidays | fault.example.com");
    TestHome m_home;
    QTemporaryDir m_pictures;
    QString m_picture;
    ExpectedPost m_expected;
    bool m_mounted = false;
};

void tst_StoreOnFullDisk::initTestCase() {
    const QByteArray bytes = RandomBytes(kPictureSize, 4711);
    m_picture = m_pictures.filePath(QStringLiteral("picture.jpg"));
    WriteFile(m_picture, bytes);
    m_expected = {QStringLiteral("fault.example.com"), QStringLiteral("sea, sand"),
                  QStringLiteral("Line one\r\nLine two"), bytes};
}

void tst_StoreOnFullDisk::init() {
    QDir(m_home.DataFolder()).removeRecursively();
    GetDataPath();
}

void tst_StoreOnFullDisk::cleanup() {
    if (m_mounted)
        umount2(QFile::encodeName(m_home.DataFolder()).constData(), MNT_DETACH);
    m_mounted = false;
}

// A tmpfs of the given size over the data folder; false where the machine does not allow it.
bool tst_StoreOnFullDisk::MountSmallDisk(qint64 bytes) {
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0700";
    m_mounted = mount("tmpfs", QFile::encodeName(m_home.DataFolder()).constData(), "tmpfs", 0,
                      options.constData()) == 0;
    return m_mounted;
}

void tst_StoreOnFullDisk::VerifyClean(int posts) {
    const PostFolderState state = CheckPostFolder(m_home.DataFolder(), m_expected);
    QVERIFY2(state.problems.isEmpty(), qPrintable(state.problems.join(QLatin1Char('\n'))));
    QCOMPARE(state.posts, posts);
    QCOMPARE(state.lonePictures, 0);
    QCOMPARE(state.leftovers, QStringList());
}

void tst_StoreOnFullDisk::fileSizeLimitMidBatch() {
    // The limit lives in a child process: the test process itself keeps writing freely.
    QProcess child;
    child.start(QStringLiteral(FAULT_CHILD),
                {QStringLiteral("limited"), m_picture, QStringLiteral("3"), QStringLiteral("4"),
                 QString::number(kPictureSize / 2)});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitCode(), 0);
    const QStringList results = QString::fromLatin1(child.readAllStandardOutput())
                                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(results, QStringList({"ok", "ok", "ok", "failed", "failed", "failed", "failed"}));
    VerifyClean(3);

    // With room again the same picture stores (the batch's Retry).
    QVERIFY(StorePost());
    VerifyClean(4);
}

void tst_StoreOnFullDisk::diskFullMidBatch_data() {
    QTest::addColumn<int>("roomForPictures");
    QTest::addColumn<bool>("roomForLastInfo");
    QTest::newRow("room for two posts") << 2 << true;
    QTest::newRow("room for a picture but not its info") << 1 << false;
}

void tst_StoreOnFullDisk::diskFullMidBatch() {
    QFETCH(int, roomForPictures);
    QFETCH(bool, roomForLastInfo);
    if (!MountSmallDisk(4 * kPictureSize))
        QSKIP("a tmpfs cannot be mounted here; the file-size limit test covers a full disk");
    GetDataPath();

    // Fill the disk so that exactly the room asked for is left.
    const qint64 page = 4096;
    const qint64 room = roomForPictures * kPictureSize + (roomForLastInfo ? 2 * page : 0) +
                        (roomForPictures - 1) * page;
    const QString filler = QDir(m_home.DataFolder()).filePath(QStringLiteral("filler.bin"));
    WriteFile(filler, QByteArray(FreeBytes(m_home.DataFolder()) - room, 'f'));
    QCOMPARE(FreeBytes(m_home.DataFolder()), room);

    int stored = 0;
    for (int i = 0; i < roomForPictures + 3; ++i)
        stored += StorePost() ? 1 : 0;
    QCOMPARE(stored, roomForLastInfo ? roomForPictures : roomForPictures - 1);
    VerifyClean(stored);

    QVERIFY(QFile::remove(filler));
    QVERIFY(StorePost());
    VerifyClean(stored + 1);
}

void tst_StoreOnFullDisk::readOnlyMidBatch() {
    if (!MountSmallDisk(16 * kPictureSize))
        QSKIP("a tmpfs cannot be mounted here");
    const QByteArray folder = QFile::encodeName(m_home.DataFolder());
    QVERIFY(StorePost());
    QVERIFY(StorePost());

    // Root ignores permission bits, so the disk itself goes read-only.
    QCOMPARE(mount(nullptr, folder.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    QVERIFY(!StorePost());
    QVERIFY(!StorePost());
    VerifyClean(2);

    QCOMPARE(mount(nullptr, folder.constData(), nullptr, MS_REMOUNT, nullptr), 0);
    QVERIFY(StorePost());
    VerifyClean(3);
}

QTEST_GUILESS_MAIN(tst_StoreOnFullDisk)
#include "tst_StoreOnFullDisk.moc"
