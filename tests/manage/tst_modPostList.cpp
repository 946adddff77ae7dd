#include "TestSupport.h"
#include "components/ComponentError.h"
#include "manage/modPostList.h"
#include "store/modStorage.h"

#include <QDir>
#include <QtTest>

class tst_modPostList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void infoPath_data();
    void infoPath();
    void listsPictureFilesInAnyCase();
    void deletesBothFiles_data();
    void deletesBothFiles();
    void keepsPostWhenInfoCannotGo();
    void totalSkipsMissingFiles();

private:
    QString In(const QString& name) const { return m_dir.path() + QLatin1Char('/') + name; }
    QStringList Files() const {
        return QDir(m_dir.path())
            .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }
    QTemporaryDir m_dir;
};

void tst_modPostList::infoPath_data() {
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("info");
    QTest::newRow("usual") << "/d/2011-04-30 17-05-09 0001.Picture"
                           << "/d/2011-04-30 17-05-09 0001.Info";
    QTest::newRow("upper") << "/d/A.PICTURE"
                           << "/d/A.Info";
    QTest::newRow("mixed") << "/d/A.pIcTuRe"
                           << "/d/A.Info";
    QTest::newRow("other suffix") << "/d/A.Pictures" << QString();
    QTest::newRow("no dot") << "/d/APicture" << QString();
    QTest::newRow("bare suffix") << ".picture"
                                 << ".Info";
}

void tst_modPostList::infoPath() {
    QFETCH(QString, picture);
    QFETCH(QString, info);
    QCOMPARE(InfoPathFor(picture), info);
}

void tst_modPostList::listsPictureFilesInAnyCase() {
    WriteFile(In("b.Picture"), "b");
    WriteFile(In("A.PICTURE"), "a");
    WriteFile(In("b.Info"), "i");
    WriteFile(In("c.Picture.bak"), "c");
    QDir(m_dir.path()).mkdir(QStringLiteral("dir.Picture"));
    QStringList names = ListPostPictures(m_dir.path()).ToStringList();
    names.sort();
    QCOMPARE(names, (QStringList{"A.PICTURE", "b.Picture"}));
    QVERIFY_THROWS_EXCEPTION(ComponentError, ListPostPictures(In("missing")));
    QDir(m_dir.path()).removeRecursively();
    QVERIFY(QDir().mkpath(m_dir.path()));
}

void tst_modPostList::deletesBothFiles_data() {
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("pair") << "p.Picture" << QStringList{"keep.Info", "keep.Picture"};
    QTest::newRow("upper case name")
        << "P.PICTURE" << QStringList{"P.Picture", "keep.Info", "keep.Picture"};
    QTest::newRow("lone picture") << "lone.Picture" << QStringList{"keep.Info", "keep.Picture"};
}

void tst_modPostList::deletesBothFiles() {
    QFETCH(QString, picture);
    QFETCH(QStringList, left);
    for (const char* name : {"p.Picture", "p.Info", "P.PICTURE", "P.Picture", "P.Info",
                             "lone.Picture", "keep.Picture", "keep.Info"})
        WriteFile(In(QString::fromLatin1(name)), name);
    QFile::remove(In("lone.Info"));
    DeletePost(In(picture));
    QStringList files = Files();
    files.sort();
    for (const QString& name : left)
        QVERIFY2(files.contains(name), qPrintable(name));
    QVERIFY(!files.contains(picture));
    QVERIFY(!QFile::exists(InfoPathFor(In(picture))));
    for (const QString& name : Files())
        QFile::remove(In(name));
}

void tst_modPostList::keepsPostWhenInfoCannotGo() {
    WriteFile(In("x.Picture"), "picture");
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("x.Info/inside")));
    DeletePost(In("x.Picture"));
    QCOMPARE(ReadFile(In("x.Picture")), QByteArray("picture"));
    QVERIFY(QDir(In("x.Info")).exists());
    QDir(In("x.Info")).removeRecursively();
    QFile::remove(In("x.Picture"));
}

void tst_modPostList::totalSkipsMissingFiles() {
    WriteFile(In("a.Picture"), QByteArray(1000, 'a'));
    WriteFile(In("b.Picture"), QByteArray(24, 'b'));
    const FileNameList names({"a.Picture", "gone.Picture", "b.Picture", "known.Picture"});
    // A size already known is not looked up again.
    QList<qint64> sizes{-1, -1, -1, 5};
    CountFileSizes(m_dir.path(), names, sizes);
    QCOMPARE(sizes, (QList<qint64>{1000, -1, 24, 5}));
    QCOMPARE(SumOfSizes(sizes), 1029.0);
    QCOMPARE(SumOfSizes({}), 0.0);
    // A closed window stops its count.
    int asked = 0;
    QList<qint64> unknown{-1, -1};
    CountFileSizes(m_dir.path(), FileNameList({"a.Picture", "b.Picture"}), unknown,
                   [&asked] { return ++asked > 0; });
    QCOMPARE(unknown, (QList<qint64>{-1, -1}));
    QCOMPARE(asked, 1);
}

QTEST_GUILESS_MAIN(tst_modPostList)
#include "tst_modPostList.moc"
