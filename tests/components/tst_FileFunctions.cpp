#include "TestSupport.h"
#include "components/ComponentError.h"
#include "components/FileFunctions.h"

#include <QtTest>

#include <sys/stat.h>

class tst_FileFunctions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void binaryRoundTrip();
    void textKeepsEveryCharacter();
    void noReplaceNeverTouchesExistingFile();
    void failuresRaise();
    void readsOnlyRegularFilesWithinCap_data();
    void readsOnlyRegularFilesWithinCap();
    void append();
    void copyIsExactAndNeverReplaces();

private:
    QTemporaryDir m_dir;
    QString Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
};

void tst_FileFunctions::binaryRoundTrip() {
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(static_cast<char>(i));
    FileFunctions::WriteBinaryFile(Path("bin"), all);
    QCOMPARE(FileFunctions::ReadBinaryFile(Path("bin")), all);
    FileFunctions::WriteBinaryFile(Path("bin"), QByteArray("new"));
    QCOMPARE(ReadFile(Path("bin")), QByteArray("new"));
    // No temporary file is left beside it.
    QCOMPARE(FolderFiles(m_dir.path(), {}, QDir::Files | QDir::Hidden).size(), 1);
    QFile::remove(Path("bin"));
}

void tst_FileFunctions::textKeepsEveryCharacter() {
    const QString text =
        QStringLiteral("a") + QChar(0) + QStringLiteral("\r\n\u00e9\u4e2d\U0001F600");
    FileFunctions::WriteTextFile(Path("text"), text);
    QCOMPARE(ReadFile(Path("text")), text.toUtf8());
    QCOMPARE(FileFunctions::ReadTextFile(Path("text")), text);
}

void tst_FileFunctions::noReplaceNeverTouchesExistingFile() {
    WriteFile(Path("keep"), "old");
    QVERIFY_THROWS_EXCEPTION(ComponentError,
                             FileFunctions::WriteBinaryFile(Path("keep"), "new", false));
    QCOMPARE(ReadFile(Path("keep")), QByteArray("old"));
    QCOMPARE(FolderFiles(m_dir.path(), {}, QDir::Files | QDir::Hidden)
                 .filter(QStringLiteral("keep"))
                 .size(),
             1);
}

void tst_FileFunctions::failuresRaise() {
    QVERIFY_THROWS_EXCEPTION(ComponentError, FileFunctions::ReadBinaryFile(Path("missing")));
    QVERIFY_THROWS_EXCEPTION(ComponentError,
                             FileFunctions::WriteBinaryFile(Path("no/such/dir/f"), "x"));
    try {
        FileFunctions::ReadTextFile(Path("missing"));
        QFAIL("no error raised");
    } catch (const ComponentError& e) {
        QCOMPARE(e.Number(), ErrorNumber::FileRead);
        QVERIFY(e.Description().contains(Path("missing")));
    }
}

void tst_FileFunctions::readsOnlyRegularFilesWithinCap_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal"); // empty: read whole
    QTest::newRow("at the cap") << "file"
                                << "";
    QTest::newRow("over the cap") << "large"
                                  << "it is larger than 16 bytes.";
    QTest::newRow("link to a file") << "link"
                                    << "it is a symbolic link.";
    QTest::newRow("pipe") << "pipe"
                          << "it is not a regular file.";
    QTest::newRow("device") << "/dev/null"
                            << "it is not a regular file.";
}

void tst_FileFunctions::readsOnlyRegularFilesWithinCap() {
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    const QByteArray bytes = RandomBytes(16, 4);
    WriteFile(Path("file"), bytes);
    WriteFile(Path("large"), bytes + 'x');
    QFile::link(Path("file"), Path("link"));
    ::mkfifo(QFile::encodeName(Path("pipe")).constData(), 0600);
    const QString path = QDir(m_dir.path()).filePath(name);
    try {
        QCOMPARE(FileFunctions::ReadRegularFile(path, 16), bytes);
        QVERIFY(refusal.isEmpty());
    } catch (const ComponentError& e) {
        QCOMPARE(e.Number(), ErrorNumber::FileRefused);
        QCOMPARE(e.Description(), "Can't read file \"" + path + "\": " + refusal);
    }
}

void tst_FileFunctions::append() {
    FileFunctions::WriteTextFile(Path("log"), QStringLiteral("one\r\n"));
    FileFunctions::AppendTextFile(Path("log"), QStringLiteral("two \u00e9\r\n"));
    QCOMPARE(ReadFile(Path("log")), QStringLiteral("one\r\ntwo \u00e9\r\n").toUtf8());
}

void tst_FileFunctions::copyIsExactAndNeverReplaces() {
    QByteArray all;
    for (int i = 0; i < 70000; ++i)
        all.append(static_cast<char>(i * 31));
    WriteFile(Path("source"), all);
    FileFunctions::CopyFile(Path("source"), Path("copy"), false);
    QCOMPARE(ReadFile(Path("copy")), all);
    WriteFile(Path("empty"), QByteArray());
    FileFunctions::CopyFile(Path("empty"), Path("emptycopy"), false);
    QCOMPARE(ReadFile(Path("emptycopy")), QByteArray());

    WriteFile(Path("taken"), "old");
    QVERIFY_THROWS_EXCEPTION(ComponentError,
                             FileFunctions::CopyFile(Path("source"), Path("taken"), false));
    QCOMPARE(ReadFile(Path("taken")), QByteArray("old"));
    QVERIFY_THROWS_EXCEPTION(ComponentError,
                             FileFunctions::CopyFile(Path("gone"), Path("x"), false));
    QVERIFY(!QFile::exists(Path("x")));
    // Nothing half-made is left beside the files.
    for (const QString& name : FolderFiles(m_dir.path(), {}, QDir::Files | QDir::Hidden))
        QVERIFY2(!name.startsWith(QLatin1Char('.')), qPrintable(name));
}

QTEST_GUILESS_MAIN(tst_FileFunctions)
#include "tst_FileFunctions.moc"
