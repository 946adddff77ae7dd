#include "DropSupport.h"
#include "FakeCreator.h"
#include "TestSupport.h"
#include "components/SettingsStore.h"
#include "creation/CreatorFields.h"
#include "creation/frmBatch.h"
#include "history/CHistory.h"
#include "history/frmHistory.h"
#include "widgets/FormFunctions.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

QStringList Items(const QListWidget* list, bool selectedOnly = false) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        if (!selectedOnly || list->item(i)->isSelected())
            items << list->item(i)->text();
    }
    return items;
}

} // namespace

class tst_frmBatch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void listsPicturesInNameOrder();
    void emptyAndMissingFolders();
    void emptyStoredFolderFallsBackToDocuments();
    void runStoresEverySelectedFile();
    void vanishedFilesAnswered_data();
    void vanishedFilesAnswered();
    void keys();
    void ctrlEnterRunsOnListedFolder();
    void folderDialogAndHistory();
    void dropChoosesFolder_data();
    void dropChoosesFolder();

private:
    QString Pictures(const QString& name = QString()) const {
        return m_home.Path() + QStringLiteral("/pics") + (name.isEmpty() ? name : '/' + name);
    }
    QStringList StoredPictures() const {
        QStringList bytes;
        const QDir data(m_home.DataFolder());
        for (const QString& name : m_home.DataFiles({QStringLiteral("*.Picture")}))
            bytes << QString::fromLatin1(ReadFile(data.filePath(name)));
        return bytes;
    }
    QStringList PathHistory() const {
        CHistory history;
        history.InitFileName(m_home.DataFolder(), QStringLiteral("Batch Path History.DAT"));
        history.LoadHistory();
        return history.Entries();
    }
    void StoreFolder(const QString& folder) {
        SettingsStore().SaveText(QStringLiteral("Last batch folder"), folder);
    }

    TestHome m_home;
    FakeCreator m_creator;
};

void tst_frmBatch::init() {
    QDir(m_home.DataFolder()).removeRecursively();
    QDir(Pictures()).removeRecursively();
    QDir().mkpath(Pictures());
    for (const char* name : {"b.png", "A.jpg", "c.JPEG", "readme.txt", ".hidden.gif"})
        WriteFile(Pictures(QString::fromLatin1(name)), name);
    QFile::setPermissions(Pictures(QStringLiteral("b.png")), QFileDevice::ReadOwner);
    QDir(Pictures()).mkdir(QStringLiteral("sub.jpg"));
    StoreFolder(Pictures());
    m_creator = {};
}

void tst_frmBatch::cleanup() {
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void tst_frmBatch::listsPicturesInNameOrder() {
    MessageRecorder messages;
    frmBatch w(m_creator);
    QCOMPARE(w.CurrentPath(), Pictures());
    QCOMPARE(Control<QLineEdit>(w, "txtPath")->text(), Pictures());
    auto* lstFiles = Control<QListWidget>(w, "lstFiles");
    QCOMPARE(Items(lstFiles), (QStringList{".hidden.gif", "A.jpg", "b.png", "c.JPEG"}));
    QCOMPARE(Items(lstFiles, true), Items(lstFiles));
    QCOMPARE(w.windowTitle(), QStringLiteral("Marivane :: Batch mode :: 4"));
    auto* cmdCreatePhoto = Control<QPushButton>(w, "cmdCreatePhoto");
    QVERIFY(cmdCreatePhoto->isEnabled());
    lstFiles->clearSelection();
    QVERIFY(!cmdCreatePhoto->isEnabled());
    QCOMPARE(w.windowTitle(), QStringLiteral("Marivane :: Batch mode :: 4"));
    lstFiles->item(2)->setSelected(true);
    QVERIFY(cmdCreatePhoto->isEnabled());
    QVERIFY(messages.Shown().isEmpty());
}

void tst_frmBatch::emptyAndMissingFolders() {
    const QString empty = m_home.Path() + QStringLiteral("/empty");
    QDir().mkpath(empty);
    const QString missing = m_home.Path() + QStringLiteral("/gone");
    StoreFolder(QStringLiteral("  ") + missing + QStringLiteral("\t"));
    MessageRecorder messages;
    {
        frmBatch w(m_creator);
        QCOMPARE(messages.Texts(),
                 QStringList{missing + QStringLiteral("\r\n\r\nDirectory was not found.")});
        QCOMPARE(messages.Shown().at(0).icon, MsgIcon::Critical);
        QCOMPARE(w.CurrentPath(), missing);
        auto* lstFiles = Control<QListWidget>(w, "lstFiles");
        QCOMPARE(lstFiles->count(), 0);
        QCOMPARE(w.windowTitle(), QStringLiteral("Marivane :: Batch mode :: 0"));
        auto* cmdCreatePhoto = Control<QPushButton>(w, "cmdCreatePhoto");
        QVERIFY(!cmdCreatePhoto->isEnabled());

        w.SetCurrentPath(QStringLiteral(" \t "));
        QCOMPARE(w.CurrentPath(), missing);
        w.SetCurrentPath(empty);
        QCOMPARE(lstFiles->count(), 0);
        QVERIFY(!cmdCreatePhoto->isEnabled());
        w.SetCurrentPath(missing);
        w.close();
    }
    QCOMPARE(SettingsStore().GetText(QStringLiteral("Last batch folder")), missing);
}

void tst_frmBatch::emptyStoredFolderFallsBackToDocuments() {
    StoreFolder(QString());
    WriteFile(m_home.Path() + QStringLiteral("/Documents/doc.bmp"), "bmp");
    MessageRecorder messages;
    frmBatch w(m_creator);
    QCOMPARE(w.CurrentPath(), m_home.Path() + QStringLiteral("/Documents"));
    QCOMPARE(Items(Control<QListWidget>(w, "lstFiles")), QStringList{"doc.bmp"});
    QVERIFY(messages.Shown().isEmpty());
}

void tst_frmBatch::runStoresEverySelectedFile() {
    MessageRecorder messages;
    {
        frmBatch w(m_creator);
        auto* lstFiles = Control<QListWidget>(w, "lstFiles");
        lstFiles->item(0)->setSelected(false); // .hidden.gif stays out
        // A typed path that is not confirmed does not change what runs.
        Control<QLineEdit>(w, "txtPath")->setText(QStringLiteral("/typed/elsewhere"));
        auto* cmdCreatePhoto = Control<QPushButton>(w, "cmdCreatePhoto");
        cmdCreatePhoto->click();
        QCOMPARE(messages.Texts(), QStringList{"All done ^_^v"});
        QCOMPARE(messages.Shown().at(0).icon, MsgIcon::Information);
        QVERIFY(Items(lstFiles, true).isEmpty());
        QVERIFY(!cmdCreatePhoto->isEnabled());
        w.close();
    }
    QCOMPARE(StoredPictures(), (QStringList{"A.jpg", "b.png", "c.JPEG"}));
    QCOMPARE(ReadFile(Pictures(QStringLiteral("A.jpg"))), QByteArray("A.jpg"));
    QCOMPARE(m_creator.captions.Item(0), QStringLiteral("Caption"));
    QCOMPARE(m_creator.tagLists.Item(0), QStringLiteral("tags"));
    QCOMPARE(PathHistory(), QStringList{"/typed/elsewhere"});
}

void tst_frmBatch::vanishedFilesAnswered_data() {
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("stillSelected");
    QTest::addColumn<bool>("done");
    QTest::newRow("ignore") << QList<int>{int(MsgResult::Ignore)}
                            << QStringList{".hidden.gif", "c.JPEG"} << QStringList{} << true;
    QTest::newRow("retry") << QList<int>{int(MsgResult::Retry)}
                           << QStringList{".hidden.gif", "A.jpg", "c.JPEG"} << QStringList{}
                           << true;
    QTest::newRow("abort") << QList<int>{int(MsgResult::Abort)} << QStringList{".hidden.gif"}
                           << QStringList{"A.jpg", "c.JPEG"} << false;
}

void tst_frmBatch::vanishedFilesAnswered() {
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, stored);
    QFETCH(QStringList, stillSelected);
    QFETCH(bool, done);
    MessageRecorder messages;
    frmBatch w(m_creator);
    auto* lstFiles = Control<QListWidget>(w, "lstFiles");
    lstFiles->item(2)->setSelected(false); // b.png
    QFile::remove(Pictures(QStringLiteral("A.jpg")));

    QStringList asked;
    bool waitPointer = false;
    const Messages::Handler recorder = Messages::SetHandler([&](const MessageRequest& request) {
        asked << request.text;
        if (request.buttons != MsgButtons::AbortRetryIgnore)
            return MsgResult::Ok;
        waitPointer = QApplication::overrideCursor() &&
                      QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        WriteFile(Pictures(QStringLiteral("A.jpg")), "A.jpg");
        return MsgResult(answers.takeFirst());
    });
    Control<QPushButton>(w, "cmdCreatePhoto")->click();
    Messages::SetHandler(recorder);

    QVERIFY(waitPointer);
    QCOMPARE(asked.at(0),
             Pictures(QStringLiteral("A.jpg")) + QStringLiteral("\r\n\r\nCan't pack file."));
    QCOMPARE(asked.contains(QStringLiteral("All done ^_^v")), done);
    QCOMPARE(StoredPictures(), stored);
    QCOMPARE(Items(lstFiles, true), stillSelected);
    QCOMPARE(m_creator.captions.Count(), done ? 1 : 0);
    w.close();
    QCOMPARE(PathHistory(), done ? QStringList{Pictures()} : QStringList{});
}

void tst_frmBatch::keys() {
    MessageRecorder messages;
    frmBatch w(m_creator);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    // F5 re-lists what stands in the box, wherever the focus is.
    WriteFile(Pictures(QStringLiteral("new.dib")), "dib");
    auto* lstFiles = Control<QListWidget>(w, "lstFiles");
    lstFiles->setFocus();
    QTest::keyClick(lstFiles, Qt::Key_F5);
    QCOMPARE(lstFiles->count(), 5);

    // Enter in the path box lists the folder and runs nothing.
    const QString other = m_home.Path() + QStringLiteral("/other");
    QDir().mkpath(other);
    WriteFile(other + QStringLiteral("/x.rle"), "rle");
    auto* txtPath = Control<QLineEdit>(w, "txtPath");
    txtPath->setFocus();
    auto* cmdCreatePhoto = Control<QPushButton>(w, "cmdCreatePhoto");
    QVERIFY(!cmdCreatePhoto->isDefault());
    txtPath->setText(other);
    QTest::keyClick(txtPath, Qt::Key_Return);
    QCOMPARE(w.CurrentPath(), other);
    QCOMPARE(Items(lstFiles), QStringList{"x.rle"});
    QVERIFY(StoredPictures().isEmpty());

    // Ctrl+A in the list selects everything and types nothing.
    w.SetCurrentPath(Pictures());
    lstFiles->setFocus();
    QVERIFY(cmdCreatePhoto->isDefault());
    lstFiles->clearSelection();
    lstFiles->setCurrentRow(1, QItemSelectionModel::NoUpdate);
    QTest::keyClick(lstFiles, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(Items(lstFiles, true).size(), 5);
    QCOMPARE(lstFiles->currentRow(), 1);

    // Enter in the list is "Create posts".
    QTest::keyClick(lstFiles, Qt::Key_Return);
    QCOMPARE(messages.Texts(), QStringList{"All done ^_^v"});
    QCOMPARE(StoredPictures().size(), 5);

    // Shift+F1 shows the about box, Esc closes.
    int abouts = 0;
    const FormFunctions::AboutHook previous =
        FormFunctions::SetAboutHook([&](QWidget*, const QString&) { ++abouts; });
    QTest::keyClick(lstFiles, Qt::Key_F1, Qt::ShiftModifier);
    FormFunctions::SetAboutHook(previous);
    QCOMPARE(abouts, 1);
    QTest::keyClick(lstFiles, Qt::Key_Escape);
    QVERIFY(w.Unloaded());
}

void tst_frmBatch::ctrlEnterRunsOnListedFolder() {
    MessageRecorder messages;
    frmBatch w(m_creator);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* txtPath = Control<QLineEdit>(w, "txtPath");
    txtPath->setFocus();
    txtPath->setText(m_home.Path() + QStringLiteral("/Documents"));
    QTest::keyClick(txtPath, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(txtPath->text(), Pictures());
    QCOMPARE(messages.Texts(), QStringList{"All done ^_^v"});
    QCOMPARE(StoredPictures().size(), 4);
    w.close();
    QCOMPARE(PathHistory(), QStringList{Pictures()});
}

void tst_frmBatch::folderDialogAndHistory() {
    MessageRecorder messages;
    const QString other = m_home.Path() + QStringLiteral("/chosen");
    QDir().mkpath(other);
    WriteFile(other + QStringLiteral("/y.jfif"), "jfif");
    {
        frmBatch w(m_creator);
        QString title;
        QString start;
        FolderDialog::Hook previous = FolderDialog::SetHook([&](const FolderDialog& dialog) {
            title = dialog.Title;
            start = dialog.Folder;
            return QString();
        });
        auto* cmdBrowse = Control<QPushButton>(w, "cmdBrowse");
        cmdBrowse->click();
        QCOMPARE(title, QStringLiteral("Choose directory with pictures to be converted in batch."));
        QCOMPARE(start, Pictures());
        QCOMPARE(w.CurrentPath(), Pictures());
        FolderDialog::SetHook([&](const FolderDialog&) { return other; });
        cmdBrowse->click();
        FolderDialog::SetHook(previous);
        QCOMPARE(w.CurrentPath(), other);
        QCOMPARE(Items(Control<QListWidget>(w, "lstFiles")), QStringList{"y.jfif"});

        Control<QPushButton>(w, "cmdBatchPathHistory")->click();
        QCOMPARE(messages.Texts(), QStringList{"History empty."});
        Control<QPushButton>(w, "cmdCreatePhoto")->click();
        w.close();
    }
    QCOMPARE(PathHistory(), QStringList{other});
    // The next opening offers the folder again; picking it lists it.
    StoreFolder(Pictures());
    frmBatch w(m_creator);
    QTimer::singleShot(0, this, [] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* pick = qobject_cast<frmHistory*>(top); pick && pick->isVisible())
                Control<QPushButton>(*pick, "cmdOk")->click();
        }
    });
    Control<QPushButton>(w, "cmdBatchPathHistory")->click();
    QCOMPARE(w.CurrentPath(), other);
    QCOMPARE(Items(Control<QListWidget>(w, "lstFiles")), QStringList{"y.jfif"});
}

void tst_frmBatch::dropChoosesFolder_data() {
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<bool>("taken");
    QTest::newRow("a folder") << QStringList{"other"} << true;
    QTest::newRow("a file inside one") << QStringList{"other/x.gif"} << true;
    QTest::newRow("web link") << QStringList{"https://example.org/other/x.gif"} << false;
    QTest::newRow("two folders") << QStringList{"other", ""} << false;
    QTest::newRow("missing file") << QStringList{"other/gone.gif"} << false;
}

void tst_frmBatch::dropChoosesFolder() {
    QFETCH(QStringList, dropped);
    QFETCH(bool, taken);
    const QString other = Pictures(QStringLiteral("other"));
    QDir().mkpath(other);
    WriteFile(other + QStringLiteral("/x.gif"), "gif");
    QStringList paths;
    for (const QString& name : dropped)
        paths << (name.contains(QStringLiteral("://")) ? name : Pictures(name));
    QMimeData dragged;
    SetDraggedPaths(dragged, paths);
    MessageRecorder messages;
    frmBatch w(m_creator);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* txtPath = Control<QLineEdit>(w, "txtPath");
    // Over the path box too, which would otherwise take the link as text.
    QCOMPARE(DropOn(txtPath, dragged), taken ? Qt::CopyAction : Qt::IgnoreAction);
    QCOMPARE(w.CurrentPath(), taken ? other : Pictures());
    QCOMPARE(txtPath->text(), w.CurrentPath());
    auto* lstFiles = Control<QListWidget>(w, "lstFiles");
    QCOMPARE(Items(lstFiles, true), taken ? QStringList{"x.gif"} : Items(lstFiles));
    QVERIFY(messages.Shown().isEmpty());
}

QTEST_MAIN(tst_frmBatch)
#include "tst_frmBatch.moc"
