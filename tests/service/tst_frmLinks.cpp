#include "TestSupport.h"
#include "service/frmLinks.h"
#include "store/modStorage.h"
#include "widgets/WindowSupport.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QtTest>

// The links window shows the links list as it is on disk.
class tst_frmLinks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void showsList_data();
    void showsList();
    void keys();

private:
    QString LinksFile() const { return m_home.DataFolder() + QStringLiteral("/Links.LST"); }
    TestHome m_home;
    MessageRecorder m_messages;
};

void tst_frmLinks::init() {
    QDir().mkpath(m_home.DataFolder());
    QFile::remove(LinksFile());
    m_messages.Clear();
}

void tst_frmLinks::showsList_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("shown");
    const QString three = QStringLiteral("http://a/post/1\r\nhttp://b/post/2\r\nhttp://c/post/3");
    QTest::newRow("three lines, none after the last")
        << QByteArray("http://a/post/1\r\nhttp://b/post/2\r\nhttp://c/post/3\r\n") << three;
    QTest::newRow("missing file") << QByteArray() << QString();
}

void tst_frmLinks::showsList() {
    QFETCH(QByteArray, file);
    QFETCH(QString, shown);
    if (!file.isEmpty())
        WriteFile(LinksFile(), file);
    frmLinks links;
    QCOMPARE(links.windowTitle(), QStringLiteral("Marivane :: Links"));
    QCOMPARE(links.size(), QSize(385, 296));
    QVERIFY(!links.windowIcon().isNull());
    auto* txtLinks = Control<QPlainTextEdit>(links, "txtLinks");
    QCOMPARE(GetBoxText(txtLinks), shown);
    QCOMPARE(txtLinks->document()->blockCount(), shown.isEmpty() ? 1 : 3);
    QVERIFY(m_messages.Shown().isEmpty());
}

void tst_frmLinks::keys() {
    WriteFile(LinksFile(), "http://a/post/1\r\nhttp://b/post/2\r\n");
    frmLinks links;
    links.show();
    QVERIFY(QTest::qWaitForWindowActive(&links));
    auto* txtLinks = Control<QPlainTextEdit>(links, "txtLinks");
    QCOMPARE(txtLinks->contextMenuPolicy(), Qt::CustomContextMenu); // attached
    txtLinks->setFocus();
    QTest::keyClick(txtLinks, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(txtLinks->textCursor().selectedText().size(), 31);
    QCOMPARE(GetBoxText(txtLinks), QStringLiteral("http://a/post/1\r\nhttp://b/post/2"));
    QTest::keyClick(txtLinks, Qt::Key_Escape);
    QVERIFY(!links.isVisible());
    QCOMPARE(txtLinks->contextMenuPolicy(), Qt::DefaultContextMenu); // detached
    // Edits are never written back.
    QCOMPARE(ReadFile(LinksFile()), QByteArray("http://a/post/1\r\nhttp://b/post/2\r\n"));
}

QTEST_MAIN(tst_frmLinks)
#include "tst_frmLinks.moc"
