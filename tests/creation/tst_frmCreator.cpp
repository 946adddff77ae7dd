#include "CreatorTestSupport.h"
#include "DropSupport.h"
#include "creation/frmBatch.h"
#include "creation/frmCreator.h"
#include "widgets/FormFunctions.h"
#include "widgets/WindowSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

// Making posts in the creator window: keys, buttons, quick mode, tags, the indicator.
class tst_frmCreator : public QObject {
    Q_OBJECT
public Q_SLOTS:
    void OpenUrl(const QUrl& url) { m_opened.append(url); }

private Q_SLOTS:
    void init();
    void cleanup();
    void enterMakesPostAndWritesFiles();
    void enterInCaption();
    void failedPostTurnsIndicatorRed();
    void autoTags_data();
    void autoTags();
    void noGroupsNoPost();
    void quickModeBrowse_data();
    void quickModeBrowse();
    void shiftInsertTakesFilePath();
    void shiftInsertPassesOrdinaryText();
    void openPictureKeys_data();
    void openPictureKeys();
    void aboutAndEsc();
    void ctrlASelectsCaption();
    void indicatorClicks();
    void historyDeduplicatesCaption();
    void droppedFileTakenAsPasted();
    void droppedFilesOpenBatch_data();
    void droppedFilesOpenBatch();
    void dropsRefused_data();
    void dropsRefused();

private:
    std::unique_ptr<frmCreator> OpenCreator(const QStringList& groups = {"Blog | mine"});
    QString Picture(const char* name = "pic.jpg");
    // Paths under the folder "drop" (a name's folder is made too; "" is the folder itself);
    // entries with a scheme stay as they are.
    QStringList DropPaths(const QStringList& names) const;

    TestHome m_home;
    MessageRecorder m_messages;
    QList<QUrl> m_opened;
};

void tst_frmCreator::init() {
    ClearSettings();
    RemoveStoredPosts(m_home);
    m_messages.Clear();
    m_opened.clear();
    OpenFileDialog::SetHook({});
}

void tst_frmCreator::cleanup() {
    OpenFileDialog::SetHook({});
    FormFunctions::SetAboutHook({});
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

std::unique_ptr<frmCreator> tst_frmCreator::OpenCreator(const QStringList& groups) {
    auto creator = std::make_unique<frmCreator>();
    auto* cboGroup = Control<QComboBox>(*creator, "cboGroup");
    cboGroup->addItems(groups);
    cboGroup->setCurrentIndex(groups.isEmpty() ? -1 : 0);
    creator->show();
    if (!QTest::qWaitForWindowActive(creator.get()))
        qWarning("creator window not active");
    return creator;
}

QString tst_frmCreator::Picture(const char* name) {
    const QString path = m_home.Path() + QLatin1Char('/') + QLatin1String(name);
    WriteFile(path, QByteArray("\xff\xd8picture bytes", 15));
    return path;
}

void tst_frmCreator::enterMakesPostAndWritesFiles() {
    auto creator = OpenCreator({"Holiday | holiday-blog", "other"});
    auto* txtCaption = Control<QPlainTextEdit>(*creator, "txtCaption");
    QCOMPARE(QApplication::focusWidget(), txtCaption);
    SetBoxText(txtCaption, QStringLiteral("Line one\r\nLine two"));
    auto* txtTags = Control<QLineEdit>(*creator, "txtTags");
    QTest::keyClicks(txtTags, QStringLiteral("sea, #sun"));
    const QString picture = Picture();
    auto* txtFileName = Control<QLineEdit>(*creator, "txtFileName");
    txtFileName->setText(picture);
    auto* cmdCreatePhoto = Control<QPushButton>(*creator, "cmdCreatePhoto");
    QVERIFY(cmdCreatePhoto->isEnabled());
    txtTags->setFocus();
    QTest::keyClick(txtTags, Qt::Key_Return);

    const QStringList infos = StoredInfoFiles(m_home);
    QCOMPARE(infos.size(), 1);
    const QString base = m_home.DataFolder() + QLatin1Char('/') + infos.first().chopped(5);
    QCOMPARE(ReadFile(base + QStringLiteral(".Info")),
             QByteArray("holiday-blog\r\nsea, #sun\r\nLine one\r\nLine two"));
    QCOMPARE(ReadFile(base + QStringLiteral(".Picture")), ReadFile(picture));
    QCOMPARE(Control<QLabel>(*creator, "lblResult")->palette().color(QPalette::Window),
             QColor(0, 255, 0));
    QVERIFY(m_messages.Shown().isEmpty());
    // Caption, tags and group stay; the file moves to the previous-file box.
    QCOMPARE(creator->CaptionText(), QStringLiteral("Line one\r\nLine two"));
    QCOMPARE(creator->TagsText(), QStringLiteral("sea, #sun"));
    QCOMPARE(creator->GetGroup(), QStringLiteral("Holiday | holiday-blog"));
    QCOMPARE(txtFileName->text(), QString());
    auto* txtOldFileName = Control<QLineEdit>(*creator, "txtOldFileName");
    QCOMPARE(txtOldFileName->text(), picture);
    QCOMPARE(txtOldFileName->cursorPosition(), picture.size());
    QVERIFY(!cmdCreatePhoto->isEnabled());
    QCOMPARE(creator->History().Count(), 1);
    QCOMPARE(creator->History().Item(0), QStringLiteral("Line one\r\nLine two"));
    QCOMPARE(creator->TagsHistory().Item(0), QStringLiteral("sea, #sun"));
}

void tst_frmCreator::enterInCaption() {
    auto creator = OpenCreator();
    auto* txtCaption = Control<QPlainTextEdit>(*creator, "txtCaption");
    txtCaption->setFocus();
    // Without a picture "Create post" is disabled: Enter makes nothing and types nothing.
    QTest::keyClick(txtCaption, Qt::Key_Return);
    QCOMPARE(creator->CaptionText(), QString());
    QTest::keyClicks(txtCaption, QStringLiteral("a"));
    QTest::keyClick(txtCaption, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(txtCaption, QStringLiteral("b"));
    QCOMPARE(creator->CaptionText(), QStringLiteral("a\r\nb"));
    QVERIFY(StoredInfoFiles(m_home).isEmpty());

    Control<QLineEdit>(*creator, "txtFileName")->setText(Picture());
    QTest::keyClick(txtCaption, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(StoredInfoFiles(m_home).size(), 1);
    QCOMPARE(creator->CaptionText(), QStringLiteral("a\r\nb"));
}

void tst_frmCreator::failedPostTurnsIndicatorRed() {
    auto creator = OpenCreator();
    const QString missing = m_home.Path() + QStringLiteral("/gone.jpg");
    auto* txtFileName = Control<QLineEdit>(*creator, "txtFileName");
    txtFileName->setText(missing);
    QTest::keyClicks(Control<QLineEdit>(*creator, "txtTags"), QStringLiteral("kept"));
    QTest::mouseClick(Control<QPushButton>(*creator, "cmdCreatePhoto"), Qt::LeftButton);
    QCOMPARE(Control<QLabel>(*creator, "lblResult")->palette().color(QPalette::Window),
             QColor(255, 0, 0));
    QVERIFY(StoredInfoFiles(m_home).isEmpty());
    QVERIFY(m_messages.Shown().isEmpty());
    QCOMPARE(Control<QLineEdit>(*creator, "txtOldFileName")->text(), missing);
    QCOMPARE(txtFileName->text(), QString());
    QCOMPARE(creator->TagsHistory().Count(), 1);
}

void tst_frmCreator::autoTags_data() {
    QTest::addColumn<bool>("autoTags");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("expected");
    QTest::newRow("quoted with commas") << true << "Sun, sea/sand #beach \"best\"\r\nmore"
                                        << "\"Sun, sea-sand beach best\"";
    QTest::newRow("no comma") << true << "a|b\\c"
                              << "a-b-c";
    QTest::newRow("empty caption empties tags") << true << ""
                                                << "";
    QTest::newRow("unchecked keeps typed tags") << false << "x, y"
                                                << "typed #tag, z";
}

void tst_frmCreator::autoTags() {
    QFETCH(bool, autoTags);
    QFETCH(QString, caption);
    QFETCH(QString, expected);
    auto creator = OpenCreator({"g"});
    Control<QCheckBox>(*creator, "chkTagsFromCaption")->setChecked(autoTags);
    SetBoxText(Control<QPlainTextEdit>(*creator, "txtCaption"), caption);
    auto* txtTags = Control<QLineEdit>(*creator, "txtTags");
    txtTags->setText(QStringLiteral("typed #tag, z"));
    Control<QLineEdit>(*creator, "txtFileName")->setText(Picture());
    QTest::mouseClick(Control<QPushButton>(*creator, "cmdCreatePhoto"), Qt::LeftButton);
    QCOMPARE(txtTags->text(), expected);
    const QStringList infos = StoredInfoFiles(m_home);
    QCOMPARE(infos.size(), 1);
    const QByteArray info = ReadFile(m_home.DataFolder() + QLatin1Char('/') + infos.first());
    QCOMPARE(info.split('\n').at(1), (expected + QStringLiteral("\r")).toUtf8());
}

void tst_frmCreator::noGroupsNoPost() {
    auto creator = OpenCreator({});
    Control<QLineEdit>(*creator, "txtFileName")->setText(Picture());
    QVERIFY(!Control<QPushButton>(*creator, "cmdCreatePhoto")->isEnabled());
    QCOMPARE(creator->GetGroup(), QString());
    auto* txtTags = Control<QLineEdit>(*creator, "txtTags");
    txtTags->setFocus();
    QTest::keyClick(txtTags, Qt::Key_Return);
    QVERIFY(StoredInfoFiles(m_home).isEmpty());
}

void tst_frmCreator::quickModeBrowse_data() {
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<bool>("quick");
    QTest::addColumn<int>("posts");
    QTest::newRow("quick mode makes the post") << QStringList{"g"} << true << 1;
    QTest::newRow("quick mode without groups") << QStringList{} << true << 0;
    QTest::newRow("normal mode only fills the name") << QStringList{"g"} << false << 0;
}

void tst_frmCreator::quickModeBrowse() {
    QFETCH(QStringList, groups);
    QFETCH(bool, quick);
    QFETCH(int, posts);
    auto creator = OpenCreator(groups);
    Control<QCheckBox>(*creator, "chkQuickMode")->setChecked(quick);
    const QString picture = Picture();
    QString filter;
    OpenFileDialog::SetHook([&](const OpenFileDialog& dialog) {
        filter = dialog.Filter;
        return picture;
    });
    QTest::mouseClick(Control<QPushButton>(*creator, "cmdBrowsePictureFile"), Qt::LeftButton);
    QCOMPARE(filter, QStringLiteral("Picture files|*.JPG;*.JPE;*.JPEG;*.JFIF;*.GIF;*.PNG;*.BMP;"
                                    "*.RLE|All files|*.*"));
    QCOMPARE(StoredInfoFiles(m_home).size(), posts);
    auto* txtFileName = Control<QLineEdit>(*creator, "txtFileName");
    if (posts > 0) {
        QCOMPARE(txtFileName->text(), QString());
        QCOMPARE(Control<QLineEdit>(*creator, "txtOldFileName")->text(), picture);
        QCOMPARE(Control<QLabel>(*creator, "lblResult")->palette().color(QPalette::Window),
                 QColor(0, 255, 0));
    } else {
        QCOMPARE(txtFileName->text(), picture);
        QCOMPARE(Control<QPushButton>(*creator, "cmdCreatePhoto")->isEnabled(), !groups.isEmpty());
    }
}

void tst_frmCreator::shiftInsertTakesFilePath() {
    auto creator = OpenCreator();
    auto* chkQuickMode = Control<QCheckBox>(*creator, "chkQuickMode");
    chkQuickMode->setChecked(true);
    const QString picture = Picture();
    QApplication::clipboard()->setText(QStringLiteral("  ") + picture + QStringLiteral("\r\n"));
    auto* txtCaption = Control<QPlainTextEdit>(*creator, "txtCaption");
    SetBoxText(txtCaption, QStringLiteral("cap"));
    txtCaption->setFocus();
    QTest::keyClick(txtCaption, Qt::Key_Insert, Qt::ShiftModifier);
    // Quick mode made the post at once; the caption received nothing.
    QCOMPARE(StoredInfoFiles(m_home).size(), 1);
    QCOMPARE(Control<QLineEdit>(*creator, "txtOldFileName")->text(), picture);
    QCOMPARE(creator->CaptionText(), QStringLiteral("cap"));

    chkQuickMode->setChecked(false);
    QTest::keyClick(txtCaption, Qt::Key_Insert, Qt::ShiftModifier);
    auto* txtFileName = Control<QLineEdit>(*creator, "txtFileName");
    QCOMPARE(txtFileName->text(), picture);
    QCOMPARE(txtFileName->cursorPosition(), picture.size());
    QCOMPARE(StoredInfoFiles(m_home).size(), 1);
}

void tst_frmCreator::shiftInsertPassesOrdinaryText() {
    auto creator = OpenCreator();
    auto* txtFileName = Control<QLineEdit>(*creator, "txtFileName");
    txtFileName->setText(QStringLiteral("/kept.jpg"));
    for (const QString& text :
         QStringList{QStringLiteral("hello"), m_home.Path() + QStringLiteral("/missing.jpg")}) {
        QApplication::clipboard()->setText(text);
        auto* txtTags = Control<QLineEdit>(*creator, "txtTags");
        txtTags->clear();
        txtTags->setFocus();
        QTest::keyClick(txtTags, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(txtTags->text(), text);
        QCOMPARE(txtFileName->text(), QStringLiteral("/kept.jpg"));
    }
}

void tst_frmCreator::openPictureKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("opens");
    QTest::newRow("F5") << int(Qt::Key_F5) << int(Qt::NoModifier) << true;
    QTest::newRow("Alt+Enter") << int(Qt::Key_Return) << int(Qt::AltModifier) << true;
    QTest::newRow("Shift+F5 does nothing") << int(Qt::Key_F5) << int(Qt::ShiftModifier) << false;
    QTest::newRow("Ctrl+Alt+Enter does nothing")
        << int(Qt::Key_Return) << int(Qt::AltModifier | Qt::ControlModifier) << false;
}

void tst_frmCreator::openPictureKeys() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, opens);
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "OpenUrl");
    auto creator = OpenCreator({});
    const QString picture = Picture();
    auto* txtFileName = Control<QLineEdit>(*creator, "txtFileName");
    txtFileName->setText(picture);
    auto* txtTags = Control<QLineEdit>(*creator, "txtTags");
    txtTags->setFocus();
    QTest::keyClick(txtTags, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    if (opens) {
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(m_opened.first(), QUrl::fromLocalFile(picture));
    } else {
        QVERIFY(m_opened.isEmpty());
    }
    QCOMPARE(txtFileName->text(), picture);
    QVERIFY(StoredInfoFiles(m_home).isEmpty());
    QVERIFY(creator->isVisible());

    // With no picture the window stays as it is.
    txtFileName->clear();
    QTest::keyClick(txtTags, Qt::Key_F5);
    QCOMPARE(txtFileName->text(), QString());
    QCOMPARE(txtTags->text(), QString());
}

void tst_frmCreator::aboutAndEsc() {
    QWidget* aboutFor = nullptr;
    QString credit;
    FormFunctions::SetAboutHook([&](QWidget* window, const QString& text) {
        aboutFor = window;
        credit = text;
    });
    auto creator = OpenCreator();
    auto* txtCaption = Control<QPlainTextEdit>(*creator, "txtCaption");
    txtCaption->setFocus();
    QTest::keyClick(txtCaption, Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(aboutFor, creator.get());
    QVERIFY(!credit.isEmpty());
    QCOMPARE(creator->CaptionText(), QString());
    QTest::keyClick(txtCaption, Qt::Key_Escape, Qt::ShiftModifier);
    QVERIFY(creator->isVisible());
    QTest::keyClick(txtCaption, Qt::Key_Escape);
    QVERIFY(!creator->isVisible());
    QVERIFY(creator->Unloaded());
}

void tst_frmCreator::ctrlASelectsCaption() {
    auto creator = OpenCreator();
    auto* txtCaption = Control<QPlainTextEdit>(*creator, "txtCaption");
    SetBoxText(txtCaption, QStringLiteral("one\r\ntwo"));
    txtCaption->setFocus();
    QTest::keyClick(txtCaption, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(txtCaption->textCursor().selectedText().size(), 7);
    QCOMPARE(creator->CaptionText(), QStringLiteral("one\r\ntwo"));
    // The next key types normally (and replaces the selection).
    QTest::keyClicks(txtCaption, QStringLiteral("x"));
    QCOMPARE(creator->CaptionText(), QStringLiteral("x"));
    // Ctrl+Shift+A and Ctrl+Alt+A select nothing.
    QTest::keyClick(txtCaption, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(txtCaption, Qt::Key_A, Qt::ControlModifier | Qt::AltModifier);
    QVERIFY(!txtCaption->textCursor().hasSelection());
}

void tst_frmCreator::indicatorClicks() {
    auto creator = OpenCreator();
    const QString usual = QStringLiteral(
        "Don't click here! It's just indicate if any errors occured while saving posts.");
    const QString third = QStringLiteral(
        "Ok. There is a secret in this prog. Open about box and drag icon to program title.");
    for (int i = 0; i < 4; ++i)
        QTest::mouseClick(Control<QLabel>(*creator, "lblResult"), Qt::LeftButton);
    QCOMPARE(m_messages.Texts(), (QStringList{usual, usual, third, usual}));
    QCOMPARE(m_messages.Shown().at(2).icon, MsgIcon::Information);
    // Another window does not start the count again.
    auto again = OpenCreator();
    m_messages.Clear();
    QTest::mouseClick(Control<QLabel>(*again, "lblResult"), Qt::LeftButton);
    QCOMPARE(m_messages.Texts(), QStringList{usual});
}

void tst_frmCreator::historyDeduplicatesCaption() {
    auto creator = OpenCreator();
    for (const char* caption : {"Beach day", "BEACH DAY"}) {
        SetBoxText(Control<QPlainTextEdit>(*creator, "txtCaption"), QString::fromLatin1(caption));
        Control<QLineEdit>(*creator, "txtFileName")->setText(Picture());
        QTest::mouseClick(Control<QPushButton>(*creator, "cmdCreatePhoto"), Qt::LeftButton);
    }
    QCOMPARE(StoredInfoFiles(m_home).size(), 2);
    QCOMPARE(creator->History().Count(), 1);
    QCOMPARE(creator->History().Item(0), QStringLiteral("Beach day"));
}

QStringList tst_frmCreator::DropPaths(const QStringList& names) const {
    const QString folder = m_home.Path() + QStringLiteral("/drop");
    QStringList paths;
    for (const QString& name : names)
        paths << (name.contains(QStringLiteral("://")) ? name : folder + QLatin1Char('/') + name);
    for (const char* name : {"a.jpg", "b.png", "c.gif", "notes.txt", "sub/d.jpg"}) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (!QFile::exists(path))
            WriteFile(path, name);
    }
    return paths;
}

void tst_frmCreator::droppedFileTakenAsPasted() {
    auto creator = OpenCreator();
    auto* txtCaption = Control<QPlainTextEdit>(*creator, "txtCaption");
    SetBoxText(txtCaption, QStringLiteral("cap"));
    const QString picture = Picture();
    QMimeData dragged;
    SetDraggedPaths(dragged, {picture});
    // Over the caption box too, which would otherwise take the link as text.
    QCOMPARE(DropOn(txtCaption, dragged), Qt::CopyAction);
    auto* txtFileName = Control<QLineEdit>(*creator, "txtFileName");
    QCOMPARE(txtFileName->text(), picture);
    QCOMPARE(txtFileName->cursorPosition(), picture.size());
    QCOMPARE(creator->CaptionText(), QStringLiteral("cap"));
    QVERIFY(StoredInfoFiles(m_home).isEmpty());

    Control<QCheckBox>(*creator, "chkQuickMode")->setChecked(true);
    QCOMPARE(DropOn(Control<QLabel>(*creator, "lblResult"), dragged), Qt::CopyAction);
    QCOMPARE(StoredInfoFiles(m_home).size(), 1);
    QCOMPARE(Control<QLineEdit>(*creator, "txtOldFileName")->text(), picture);
    QCOMPARE(txtFileName->text(), QString());
    QVERIFY(m_messages.Shown().isEmpty());

    // Text from another program still goes into the box under the pointer.
    QMimeData text;
    text.setText(QStringLiteral("more"));
    QVERIFY(DropOn(txtCaption, text) != Qt::IgnoreAction);
    QVERIFY(creator->CaptionText().contains(QStringLiteral("more")));
}

void tst_frmCreator::droppedFilesOpenBatch_data() {
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QStringList>("selected");
    QTest::newRow("a folder") << QStringList{""} << QStringList{"a.jpg", "b.png", "c.gif"};
    QTest::newRow("two of its pictures")
        << QStringList{"c.gif", "a.jpg"} << QStringList{"a.jpg", "c.gif"};
}

void tst_frmCreator::droppedFilesOpenBatch() {
    QFETCH(QStringList, dropped);
    QFETCH(QStringList, selected);
    auto creator = OpenCreator();
    Control<QCheckBox>(*creator, "chkTagsFromCaption")->setChecked(true);
    SetBoxText(Control<QPlainTextEdit>(*creator, "txtCaption"), QStringLiteral("Sun, sea"));
    QMimeData dragged;
    SetDraggedPaths(dragged, DropPaths(dropped));

    QString folder;
    QStringList seenSelected;
    QString tagsSeen;
    Qt::DropAction behindBatch = Qt::CopyAction;
    QTimer poll;
    auto* txtTags = Control<QLineEdit>(*creator, "txtTags");
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* batch = qobject_cast<frmBatch*>(QApplication::activeModalWidget());
        if (!batch || !batch->isVisible())
            return;
        poll.stop();
        folder = batch->CurrentPath();
        for (const QListWidgetItem* item :
             Control<QListWidget>(*batch, "lstFiles")->selectedItems())
            seenSelected << item->text();
        tagsSeen = creator->TagsText();
        // The creator waits behind the batch and takes no further drop.
        behindBatch = DropOn(txtTags, dragged);
        QTest::keyClick(batch, Qt::Key_Escape);
    });
    poll.start(10);
    QCOMPARE(DropOn(txtTags, dragged), Qt::CopyAction);
    QTRY_VERIFY(!poll.isActive());
    QCOMPARE(folder, m_home.Path() + QStringLiteral("/drop"));
    seenSelected.sort();
    QCOMPARE(seenSelected, selected);
    QCOMPARE(tagsSeen, QStringLiteral("\"Sun, sea\"")); // as for "B!"
    QCOMPARE(behindBatch, Qt::IgnoreAction);
    QVERIFY(StoredInfoFiles(m_home).isEmpty());
}

void tst_frmCreator::dropsRefused_data() {
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QStringList>("groups");
    const QStringList group{"g"};
    QTest::newRow("web link") << QStringList{"https://example.org/a.jpg"} << group;
    QTest::newRow("file and web link")
        << QStringList{"a.jpg", "https://example.org/b.jpg"} << group;
    QTest::newRow("missing file") << QStringList{"gone.jpg"} << group;
    QTest::newRow("pictures of two folders") << QStringList{"a.jpg", "sub/d.jpg"} << group;
    QTest::newRow("picture and other file") << QStringList{"a.jpg", "notes.txt"} << group;
    QTest::newRow("two folders") << QStringList{"", "sub"} << group;
    QTest::newRow("folder without a group") << QStringList{""} << QStringList{};
    QTest::newRow("pictures without a group") << QStringList{"a.jpg", "b.png"} << QStringList{};
}

void tst_frmCreator::dropsRefused() {
    QFETCH(QStringList, dropped);
    QFETCH(QStringList, groups);
    auto creator = OpenCreator(groups);
    auto* txtFileName = Control<QLineEdit>(*creator, "txtFileName");
    txtFileName->setText(QStringLiteral("/kept.jpg"));
    Control<QCheckBox>(*creator, "chkQuickMode")->setChecked(true);
    QMimeData dragged;
    SetDraggedPaths(dragged, DropPaths(dropped));
    QCOMPARE(DropOn(Control<QPlainTextEdit>(*creator, "txtCaption"), dragged), Qt::IgnoreAction);
    QCOMPARE(DropOn(Control<QLabel>(*creator, "lblResult"), dragged), Qt::IgnoreAction);
    QCOMPARE(txtFileName->text(), QStringLiteral("/kept.jpg"));
    QCOMPARE(creator->CaptionText(), QString());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(StoredInfoFiles(m_home).isEmpty());
}

QTEST_MAIN(tst_frmCreator)
#include "tst_frmCreator.moc"
