#include "TestSupport.h"
#include "service/modLinks.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

class tst_modLinks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QDir(m_home.DataFolder()).removeRecursively(); }
    void appendCreatesThenAdds();
    void missingListIsEmpty();
    void unreadableList();
    void noDataFolder();

private:
    QString LinksFile() const { return m_home.DataFolder() + QStringLiteral("/Links.LST"); }
    TestHome m_home;
};

void tst_modLinks::appendCreatesThenAdds() {
    AppendLink(QStringLiteral("http://blog.example.com/post/123"));
    QCOMPARE(ReadFile(LinksFile()), QByteArray("http://blog.example.com/post/123\r\n"));
    AppendLink(QStringLiteral("http:///post/ 456 "));
    QCOMPARE(ReadFile(LinksFile()),
             QByteArray("http://blog.example.com/post/123\r\nhttp:///post/ 456 \r\n"));
    QCOMPARE(*ReadLinksList(),
             QStringLiteral("http://blog.example.com/post/123\r\nhttp:///post/ 456 "));
}

void tst_modLinks::missingListIsEmpty() {
    QCOMPARE(*ReadLinksList(), QString());
}

void tst_modLinks::unreadableList() {
    QDir().mkpath(LinksFile());            // a folder in the file's place cannot be read as a file
    QCOMPARE(*ReadLinksList(), QString()); // not a file: behaves as missing
    QDir().rmdir(LinksFile());

    WriteFile(LinksFile(), "http://a/post/1\r\n");
    QFile::setPermissions(LinksFile(), QFileDevice::WriteOwner);
    if (QFile(LinksFile()).open(QIODevice::ReadOnly))
        QSKIP("running with rights that read any file");
    QCOMPARE(ReadLinksList().Error().Message, QStringLiteral("Can't read links list."));
}

void tst_modLinks::noDataFolder() {
    QDir().mkpath(QFileInfo(m_home.DataFolder()).absolutePath());
    WriteFile(m_home.DataFolder(), "blocked");
    AppendLink(QStringLiteral("http://a/post/1"));
    QCOMPARE(*ReadLinksList(), QString());
    QFile::remove(m_home.DataFolder());
}

QTEST_GUILESS_MAIN(tst_modLinks)
#include "tst_modLinks.moc"
