#include "components/ComponentError.h"
#include "components/SupportLibrary.h"

#include <QtTest>

class tst_SupportLibrary : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void trimming();
    void lines_data();
    void lines();
    void utf8RoundTrip();
    void hexAndWords();
    void paths_data();
    void paths();
    void byteSizes();
};

void tst_SupportLibrary::trimming() {
    QCOMPARE(TrimBlanks(QStringLiteral(" \t a b \t ")), QStringLiteral("a b"));
    // Line breaks are not blanks for TrimBlanks, but are for paths and URLs.
    QCOMPARE(TrimBlanks(QStringLiteral("\r\nx\r\n")), QStringLiteral("\r\nx\r\n"));
    QCOMPARE(TrimPathOrURL(QStringLiteral(" \t/home/a.jpg\r\n")), QStringLiteral("/home/a.jpg"));
    QCOMPARE(zsTrimCRLF(QStringLiteral("\r\n\na\r\nb\n\r")), QStringLiteral("a\r\nb"));
    QCOMPARE(zsTrimCRLF(QStringLiteral("\r\n")), QString());
}

void tst_SupportLibrary::lines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("rest");
    QTest::newRow("crlf") << "a\r\nb\r\nc"
                          << "a"
                          << "b\r\nc";
    QTest::newRow("lone lf") << "a\nb"
                             << "a"
                             << "b";
    QTest::newRow("lone cr") << "a\rb"
                             << "a"
                             << "b";
    QTest::newRow("no break") << "abc"
                              << "abc"
                              << "";
    QTest::newRow("break at end") << "abc\r\n"
                                  << "abc"
                                  << "";
    QTest::newRow("empty first") << "\r\nx"
                                 << ""
                                 << "x";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
}

void tst_SupportLibrary::lines() {
    QFETCH(QString, text);
    QFETCH(QString, first);
    QFETCH(QString, rest);
    QString gotRest = QStringLiteral("junk");
    QCOMPARE(zsGetLine(text, gotRest), first);
    QCOMPARE(gotRest, rest);
    QCOMPARE(zsGetLineOnly(text), first);
}

void tst_SupportLibrary::utf8RoundTrip() {
    const QString text = QStringLiteral("Zo\u00eb \u65e5\u672c \U0001F600") + QChar(0);
    const QString bytes = zsUNICODEToUTF8(text);
    for (const QChar c : bytes)
        QVERIFY(c.unicode() < 256);
    QCOMPARE(bytes.toLatin1(), text.toUtf8());
    QCOMPARE(zsUTF8ToUNICODE(bytes), text);
    QCOMPARE(zsCutLeft(QStringLiteral("abcdef"), 2), QStringLiteral("cdef"));
    QCOMPARE(zsCutRight(QStringLiteral("abcdef"), 2), QStringLiteral("abcd"));
    QCOMPARE(zsCutRight(QStringLiteral("ab"), 5), QString());
}

void tst_SupportLibrary::hexAndWords() {
    QCOMPARE(zsHex1(0), QStringLiteral("00"));
    QCOMPARE(zsHex1(10), QStringLiteral("0A"));
    QCOMPARE(zsHex1(255), QStringLiteral("FF"));
    for (int i = 0; i < 1000; ++i) {
        const int r = zsGetRnd(0, 255);
        QVERIFY(r >= 0 && r <= 255);
    }
}

void tst_SupportLibrary::paths_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("folder");
    QTest::newRow("plain") << "/a/b/c.jpg"
                           << "jpg"
                           << "/a/b";
    QTest::newRow("two dots") << "/a/b/c.tar.gz"
                              << "gz"
                              << "/a/b";
    QTest::newRow("none") << "/a/b.d/c"
                          << ""
                          << "/a/b.d";
    QTest::newRow("trailing dot") << "/a/c."
                                  << ""
                                  << "/a";
    QTest::newRow("root") << "/c.png"
                          << "png"
                          << "/";
}

void tst_SupportLibrary::paths() {
    QFETCH(QString, path);
    QFETCH(QString, extension);
    QFETCH(QString, folder);
    QCOMPARE(zsGetFileExtension(path), extension);
    QCOMPARE(zsGetFilePath(path), folder);
    QCOMPARE(zsBuildFileName(QStringLiteral("/a/"), QStringLiteral("b")), QStringLiteral("/a/b"));
    QCOMPARE(zsBuildFileName(QStringLiteral("/a"), QStringLiteral("/b")), QStringLiteral("/a/b"));
    QCOMPARE(zsBuildFileName(QStringLiteral("/"), QStringLiteral("b")), QStringLiteral("/b"));
}

void tst_SupportLibrary::byteSizes() {
    QCOMPARE(zsFormatByteSizeEx(0), QStringLiteral("0 bytes"));
    QCOMPARE(zsFormatByteSizeEx(1023), QStringLiteral("1023 bytes"));
    QCOMPARE(zsFormatByteSizeEx(1536), QStringLiteral("1.50 KB"));
    QCOMPARE(zsFormatByteSizeEx(40.0 * 1024 * 1024), QStringLiteral("40.0 MB"));
    QVERIFY_THROWS_EXCEPTION(ComponentError, zsGetFileSizeEx(QStringLiteral("/no/such/file")));
    QTemporaryDir dir;
    QVERIFY(zsCreateComplexDirectory(dir.path() + QStringLiteral("/x/y/z")));
    QVERIFY(zsIsDirectoryExist(dir.path() + QStringLiteral("/x/y/z")));
    QVERIFY(!zsIsFileExist(dir.path() + QStringLiteral("/x")));
    QVERIFY(!zsIsFileExist(QString()));
}

QTEST_GUILESS_MAIN(tst_SupportLibrary)
#include "tst_SupportLibrary.moc"
