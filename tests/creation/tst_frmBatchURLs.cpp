#include "DropSupport.h"
#include "FakeCreator.h"
#include "TestSupport.h"
#include "components/SettingsStore.h"
#include "creation/CreatorFields.h"
#include "creation/frmBatchURLs.h"
#include "history/CHistory.h"
#include "widgets/WindowSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QString kMarker = QStringLiteral("{07460945-55B8-4ac3-8811-76B4CEA99932}\r\n");
const QString kTextKey = QStringLiteral("Last batch URLs text");

} // namespace

class tst_frmBatchURLs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void validLinesBecomePosts();
    void emptyTextStillRuns();
    void abortKeepsTheText();
    void textKeptExactly();
    void everyCharacterButLineBreaksKept();
    void buttonFollowsText();
    void keys();
    void dropAddsLines_data();
    void dropAddsLines();

private:
    QStringList StoredURLs() const {
        QStringList urls;
        const QDir data(m_home.DataFolder());
        for (const QString& name : m_home.DataFiles({QStringLiteral("*.Picture")}))
            urls << QString::fromUtf8(ReadFile(data.filePath(name))).remove(kMarker);
        return urls;
    }

    TestHome m_home;
};

void tst_frmBatchURLs::init() {
    QDir(m_home.DataFolder()).removeRecursively();
    SettingsStore().SaveText(kTextKey, QString());
}

void tst_frmBatchURLs::cleanup() {
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void tst_frmBatchURLs::validLinesBecomePosts() {
    FakeCreator creator;
    MessageRecorder messages;
    frmBatchURLs w(creator);
    QCOMPARE(w.windowTitle(), QStringLiteral("Marivane :: URLs mode"));
    auto* txtURLs = Control<QPlainTextEdit>(w, "txtURLs");
    SetBoxText(txtURLs, QStringLiteral("http://a.example/1.jpg\r\n"
                                       "  https://b.example/2.png \t\r\n"
                                       "\r\n"
                                       "  word  \r\n"
                                       "http://c.example/3.gif\r\n"
                                       "file://C:/x.jpg"));
    Control<QPushButton>(w, "cmdCreatePhoto")->click();
    QCOMPARE(StoredURLs(), (QStringList{"http://a.example/1.jpg", "https://b.example/2.png",
                                        "http://c.example/3.gif"}));
    QCOMPARE(GetBoxText(txtURLs), QStringLiteral("word\r\nfile://C:/x.jpg"));
    QCOMPARE(
        messages.Texts(),
        QStringList{"All done ^_^v\r\n\r\nSome lines contains invalid URLs. Please fix them."});
    QCOMPARE(messages.Shown().at(0).icon, MsgIcon::Information);
    QCOMPARE(creator.captions.Item(0), QStringLiteral("Caption"));
    QCOMPARE(creator.tagLists.Item(0), QStringLiteral("tags"));
}

void tst_frmBatchURLs::emptyTextStillRuns() {
    FakeCreator creator;
    MessageRecorder messages;
    frmBatchURLs w(creator);
    auto* cmdCreatePhoto = Control<QPushButton>(w, "cmdCreatePhoto");
    QVERIFY(cmdCreatePhoto->isEnabled());
    cmdCreatePhoto->click();
    QVERIFY(StoredURLs().isEmpty());
    QCOMPARE(GetBoxText(Control<QPlainTextEdit>(w, "txtURLs")), QString());
    QCOMPARE(messages.Texts(), QStringList{"All done ^_^v"});
    QCOMPARE(creator.captions.Count(), 1);
}

void tst_frmBatchURLs::abortKeepsTheText() {
    FakeCreator creator;
    frmBatchURLs w(creator);
    const QString text = QStringLiteral("http://a.example/1.jpg\r\nhttp://b.example/2.jpg\r\nbad");
    auto* txtURLs = Control<QPlainTextEdit>(w, "txtURLs");
    SetBoxText(txtURLs, text);
    // A file where the data folder belongs makes the first store fail.
    QStringList asked;
    const Messages::Handler previous = Messages::SetHandler([&](const MessageRequest& request) {
        asked << request.text;
        return MsgResult::Abort;
    });
    QDir(m_home.Path()).mkpath(QStringLiteral("data/Velmora"));
    WriteFile(m_home.DataFolder(), "in the way");
    Control<QPushButton>(w, "cmdCreatePhoto")->click();
    Messages::SetHandler(previous);
    QFile::remove(m_home.DataFolder());
    QCOMPARE(asked, QStringList{"http://a.example/1.jpg\r\n\r\nCan't pack URL to file."});
    QCOMPARE(GetBoxText(txtURLs), text);
    QCOMPARE(creator.captions.Count(), 0);
    QCOMPARE(creator.tagLists.Count(), 0);
}

void tst_frmBatchURLs::textKeptExactly() {
    const QString text = QStringLiteral("  http://a.example/1.jpg  \r\n\r\n\tbad line\r\n\r\n");
    {
        FakeCreator creator;
        frmBatchURLs w(creator);
        SetBoxText(Control<QPlainTextEdit>(w, "txtURLs"), text);
        w.close();
    }
    QCOMPARE(SettingsStore().GetText(kTextKey), text);
    FakeCreator creator;
    frmBatchURLs w(creator);
    QCOMPARE(GetBoxText(Control<QPlainTextEdit>(w, "txtURLs")), text);
    QCOMPARE(Control<QPlainTextEdit>(w, "txtURLs")->textCursor().position(), 0);
}

void tst_frmBatchURLs::everyCharacterButLineBreaksKept() {
    // A non-breaking space is part of a URL like any other character; any line break ends a line.
    const QString url = QStringLiteral("http://a.example/x\u00a0y.jpg");
    const QString word = QStringLiteral("no\u00a0url");
    SettingsStore().SaveText(kTextKey, url + QStringLiteral("\n") + word + QStringLiteral("\r"));
    FakeCreator creator;
    MessageRecorder messages;
    {
        frmBatchURLs w(creator);
        QCOMPARE(GetBoxText(Control<QPlainTextEdit>(w, "txtURLs")),
                 url + QStringLiteral("\r\n") + word + QStringLiteral("\r\n"));
        w.close();
    }
    QCOMPARE(SettingsStore().GetText(kTextKey),
             url + QStringLiteral("\r\n") + word + QStringLiteral("\r\n"));
    frmBatchURLs w(creator);
    Control<QPushButton>(w, "cmdCreatePhoto")->click();
    QCOMPARE(StoredURLs(), QStringList{url});
    QCOMPARE(GetBoxText(Control<QPlainTextEdit>(w, "txtURLs")), word);
}

void tst_frmBatchURLs::buttonFollowsText() {
    FakeCreator creator;
    frmBatchURLs w(creator);
    auto* txtURLs = Control<QPlainTextEdit>(w, "txtURLs");
    SetBoxText(txtURLs, QStringLiteral(" \r\n\t "));
    auto* cmdCreatePhoto = Control<QPushButton>(w, "cmdCreatePhoto");
    QVERIFY(!cmdCreatePhoto->isEnabled());
    SetBoxText(txtURLs, QStringLiteral(" x "));
    QVERIFY(cmdCreatePhoto->isEnabled());
}

void tst_frmBatchURLs::keys() {
    FakeCreator creator;
    MessageRecorder messages;
    frmBatchURLs w(creator);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* txtURLs = Control<QPlainTextEdit>(w, "txtURLs");
    txtURLs->setFocus();
    QTest::keyClicks(txtURLs, QStringLiteral("http://a.example/1.jpg"));
    QTest::keyClick(txtURLs, Qt::Key_Return);
    QTest::keyClicks(txtURLs, QStringLiteral("x"));
    QCOMPARE(GetBoxText(txtURLs), QStringLiteral("http://a.example/1.jpg\r\nx"));
    QVERIFY(messages.Shown().isEmpty());
    QVERIFY(StoredURLs().isEmpty());
    QTest::keyClick(txtURLs, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(txtURLs->textCursor().selectedText().size(), 24);
    // Tab goes on to the button, as in the groups editor; a pasted tab stays in the text.
    QTest::keyClick(txtURLs, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Control<QPushButton>(w, "cmdCreatePhoto"));
    txtURLs->setFocus();
    txtURLs->moveCursor(QTextCursor::End);
    QApplication::clipboard()->setText(QStringLiteral("\ty"));
    txtURLs->paste();
    QCOMPARE(GetBoxText(txtURLs), QStringLiteral("http://a.example/1.jpg\r\nx\ty"));
    txtURLs->undo();
    QTest::keyClick(txtURLs, Qt::Key_Escape);
    QVERIFY(w.Unloaded());
    QCOMPARE(SettingsStore().GetText(kTextKey), QStringLiteral("http://a.example/1.jpg\r\nx"));
}

void tst_frmBatchURLs::dropAddsLines_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QStringList>("links");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("after"); // empty: refused, the box unchanged
    QTest::newRow("links after a last line")
        << "kept" << QStringList{"http://a.example/1.jpg", "https://b.example/2 x.png"} << ""
        << "kept\r\nhttp://a.example/1.jpg\r\nhttps://b.example/2%20x.png";
    QTest::newRow("text after a line break") << "kept\r\n"
                                             << QStringList{} << "http://c.example/3.jpg"
                                             << "kept\r\nhttp://c.example/3.jpg";
    QTest::newRow("text with every kind of line break into an empty box")
        << "" << QStringList{} << "http://a/1.jpg\nhttp://b/2.jpg\rword\r\nhttp://d/4.jpg"
        << "http://a/1.jpg\r\nhttp://b/2.jpg\r\nword\r\nhttp://d/4.jpg";
    QTest::newRow("local file") << "kept" << QStringList{"/tmp/x.jpg"} << ""
                                << "";
    QTest::newRow("link and local file")
        << "kept" << QStringList{"http://a.example/1.jpg", "/tmp/x.jpg"} << ""
        << "";
    QTest::newRow("blank text") << "kept" << QStringList{} << " \r\n\t "
                                << "";
}

void tst_frmBatchURLs::dropAddsLines() {
    QFETCH(QString, before);
    QFETCH(QStringList, links);
    QFETCH(QString, text);
    QFETCH(QString, after);
    QMimeData dragged;
    if (links.isEmpty())
        dragged.setText(text);
    else
        SetDraggedPaths(dragged, links);
    FakeCreator creator;
    MessageRecorder messages;
    frmBatchURLs w(creator);
    auto* txtURLs = Control<QPlainTextEdit>(w, "txtURLs");
    SetBoxText(txtURLs, before);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // Dropped on the box, the lines still go to its end.
    QCOMPARE(DropOn(txtURLs, dragged), after.isEmpty() ? Qt::IgnoreAction : Qt::CopyAction);
    QCOMPARE(GetBoxText(txtURLs), after.isEmpty() ? before : after);
    QVERIFY(Control<QPushButton>(w, "cmdCreatePhoto")->isEnabled());
    QVERIFY(messages.Shown().isEmpty());
    QVERIFY(StoredURLs().isEmpty());
}

QTEST_MAIN(tst_frmBatchURLs)
#include "tst_frmBatchURLs.moc"
