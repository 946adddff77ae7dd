#include "TestSupport.h"
#include "components/SupportLibrary.h"
#include "manage/frmPostManager.h"
#include "store/modStorage.h"
#include "widgets/FileListBox.h"
#include "widgets/PicturePreview.h"

#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QThread>
#include <QTimer>
#include <QtTest>
#include <cmath>

class tst_frmPostManager : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void listsPostsInNameOrder();
    void totalSizeInFirstFrame();
    void emptyFolderIgnoresKeys();
    void previewStretchesPicture();
    void previewOfUrlAndBrokenPosts();
    void holdToHideInfo();
    void deleteSelected();
    void deleteKeepsSelectionPlace_data();
    void deleteKeepsSelectionPlace();
    void rightButtonMenu();
    void keyboardMenu_data();
    void keyboardMenu();
    void infoBoxReadable_data();
    void infoBoxReadable();
    void dataFolderMissing();

private:
    QString Data(const QString& name) const { return m_home.DataFolder() + '/' + name; }
    QStringList Stored() const { return m_home.DataFiles(); }
    QString SavePicture(const QImage& image, const QString& caption);
    void SaveCyanPictures(const QStringList& captions) {
        QImage image(30, 30, QImage::Format_RGB32);
        image.fill(Qt::cyan);
        for (const QString& caption : captions)
            SavePicture(image, caption);
    }
    static QStringList Selected(const FileListBox* list);
    // Once the menu about to open is up: notes it in `shown`, chooses `choose` if any, closes it.
    void CloseNextMenu(QMenu*& shown, QAction* choose) {
        QTimer::singleShot(0, this, [&shown, choose] {
            shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!shown)
                return;
            if (choose)
                choose->trigger();
            shown->close();
        });
    }
    static void Open(frmPostManager& w) {
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        Control<FileListBox>(w, "filFiles")->setFocus();
    }

    TestHome m_home;
    QTemporaryDir m_sources;
};

QString tst_frmPostManager::SavePicture(const QImage& image, const QString& caption) {
    const QString source = m_sources.path() + QStringLiteral("/source.png");
    image.save(source, "PNG");
    const QStringList before = Stored();
    if (!SavePost(
            NewPost(QStringLiteral("blog.example"), caption, QStringLiteral("t1 t2"), source)))
        qFatal("cannot store test post");
    for (const QString& name : Stored()) {
        if (!before.contains(name) && name.endsWith(QStringLiteral(".Picture")))
            return name;
    }
    return {};
}

QStringList tst_frmPostManager::Selected(const FileListBox* list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i) {
        if (list->isRowSelected(i))
            names << list->text(i);
    }
    return names;
}

void tst_frmPostManager::init() {
    QDir(m_home.Path() + QStringLiteral("/data")).removeRecursively();
    QDir().mkpath(m_home.DataFolder());
}

void tst_frmPostManager::listsPostsInNameOrder() {
    for (const char* name : {"b 0002.Picture", "a 0001.Picture", "C.PICTURE", "a 0001.Info",
                             "notes.txt", "b 0002.Sending"})
        WriteFile(Data(QString::fromLatin1(name)), QByteArray(512, 'x'));
    MessageRecorder messages;
    frmPostManager w;
    QVERIFY(w.Loaded());
    auto* filFiles = Control<FileListBox>(w, "filFiles");
    QCOMPARE(filFiles->count(), 3);
    QCOMPARE(filFiles->text(0), QStringLiteral("a 0001.Picture"));
    QCOMPARE(filFiles->text(1), QStringLiteral("b 0002.Picture"));
    QCOMPARE(filFiles->text(2), QStringLiteral("C.PICTURE"));
    // A post whose upload got no answer is marked in its line, not in its name.
    QCOMPARE(filFiles->model()->index(1, 0).data().toString(),
             QStringLiteral("b 0002.Picture (upload unanswered)"));
    QCOMPARE(filFiles->model()->index(0, 0).data().toString(), QStringLiteral("a 0001.Picture"));
    QCOMPARE(Selected(filFiles), QStringList{"a 0001.Picture"});
    QCOMPARE(filFiles->currentRow(), 0);
    QCOMPARE(w.windowTitle(), QStringLiteral("Marivane :: Manage mode :: 3"));
    auto* lblSize = Control<QLabel>(w, "lblSize");
    Open(w);
    QTRY_COMPARE(lblSize->text(), QStringLiteral("Total size: ") + zsFormatByteSizeEx(1536));
    auto* picPreview = Control<PicturePreview>(w, "picPreview");
    QCOMPARE(picPreview->geometry(), filFiles->geometry());
    QVERIFY(!picPreview->isVisible());
    QCOMPARE(w.mnuContextList->actions().size(), 3);
    QVERIFY(w.mnuContextList->actions().at(1)->isSeparator());
    QCOMPARE(w.mnuPreview->text(), QStringLiteral("Preview\tEnter"));
    QCOMPARE(w.mnuDelete->text(), QStringLiteral("Delete\tDel"));
    QCOMPARE(w.mnuBackToList->text(), QStringLiteral("Back to list\tEnter"));
    QCOMPARE(w.mnuContextList->defaultAction(), w.mnuPreview);
    QCOMPARE(w.mnuContextPicture->defaultAction(), w.mnuBackToList);
    QVERIFY(messages.Shown().isEmpty());
}

namespace {

// The text a label shows when its window paints its first frame.
class FirstFrameText final : public QObject {
public:
    FirstFrameText(QWidget* window, const QLabel* label) : m_window(window), m_label(label) {
        window->installEventFilter(this);
    }
    const QString& Text() const { return m_text; }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::Paint && m_text.isNull())
            m_text = m_label->text();
        return false;
    }

private:
    QWidget* m_window;
    const QLabel* m_label;
    QString m_text;
};

} // namespace

void tst_frmPostManager::totalSizeInFirstFrame() {
    WriteFile(Data("a.Picture"), QByteArray(1000, 'x'));
    WriteFile(Data("b.Picture"), QByteArray(24, 'x'));
    {
        frmPostManager w;
        const FirstFrameText painted(&w, Control<QLabel>(w, "lblSize"));
        Open(w);
        QCOMPARE(painted.Text(), QStringLiteral("Total size: ") + zsFormatByteSizeEx(1024));
    }
    // Enough to be counted on two threads, all before the first frame; then the sizes come
    // from the folder's index, and a picture rewritten in place is corrected once all are
    // counted again.
    for (int i = 0; i < 5000; ++i)
        WriteFile(Data(QStringLiteral("p%1.Picture").arg(i)), "1");
    QThread::msleep(250);
    {
        frmPostManager counted;
        const FirstFrameText painted(&counted, Control<QLabel>(counted, "lblSize"));
        Open(counted);
        QCOMPARE(painted.Text(), QStringLiteral("Total size: ") + zsFormatByteSizeEx(6024));
    }
    WriteFile(Data("a.Picture"), QByteArray(2000, 'x'));
    if (!ReadFolderContents(m_home.DataFolder(), PostFiles::Pictures).Indexable)
        QSKIP("This file system's times do not show every change of a folder.");
    frmPostManager w;
    const FirstFrameText painted(&w, Control<QLabel>(w, "lblSize"));
    Open(w);
    QCOMPARE(painted.Text(), QStringLiteral("Total size: ") + zsFormatByteSizeEx(6024));
    QTRY_COMPARE(Control<QLabel>(w, "lblSize")->text(),
                 QStringLiteral("Total size: ") + zsFormatByteSizeEx(7024));
}

void tst_frmPostManager::emptyFolderIgnoresKeys() {
    MessageRecorder messages;
    frmPostManager w;
    QCOMPARE(w.windowTitle(), QStringLiteral("Marivane :: Manage mode :: 0"));
    Open(w);
    QTRY_COMPARE(Control<QLabel>(w, "lblSize")->text(), QStringLiteral("Total size: 0 bytes"));
    auto* filFiles = Control<FileListBox>(w, "filFiles");
    QTest::keyClick(filFiles, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(filFiles, Qt::Key_Return);
    QTest::keyClick(filFiles, Qt::Key_Delete);
    QTest::mouseDClick(filFiles->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseClick(filFiles->viewport(), Qt::RightButton, {}, QPoint(20, 20));
    QVERIFY(!Control<PicturePreview>(w, "picPreview")->isVisible());
    QVERIFY(messages.Shown().isEmpty());
    QTest::keyClick(filFiles, Qt::Key_Escape);
    QVERIFY(w.Unloaded());
}

void tst_frmPostManager::previewStretchesPicture() {
    // Much wider than high: left half red, right half blue.
    QImage wide(800, 40, QImage::Format_RGB32);
    wide.fill(Qt::red);
    for (int y = 0; y < wide.height(); ++y)
        for (int x = 400; x < 800; ++x)
            wide.setPixel(x, y, qRgb(0, 0, 255));
    SavePicture(wide, QStringLiteral("First line\r\nsecond line"));
    MessageRecorder messages;
    frmPostManager w;
    Open(w);
    auto* filFiles = Control<FileListBox>(w, "filFiles");
    QTest::keyClick(filFiles, Qt::Key_Return);
    auto* picPreview = Control<PicturePreview>(w, "picPreview");
    QVERIFY(picPreview->isVisible());
    QVERIFY(!filFiles->isVisible());
    QVERIFY(messages.Shown().isEmpty());
    // Decoded at the size shown, not at full size.
    QVERIFY(w.PreviewPicture().width() <= picPreview->width() * w.devicePixelRatio());

    // As the window paints it, with its own background behind the boxes.
    const QImage shown =
        w.grab(QRect(picPreview->mapTo(&w, QPoint()), picPreview->size())).toImage();
    const int right = shown.width() - 2;
    const int bottom = shown.height() - 2;
    QCOMPARE(QColor(shown.pixel(right / 4, bottom)), QColor(Qt::red));
    QCOMPARE(QColor(shown.pixel(right - 2, bottom)), QColor(Qt::blue));
    QCOMPARE(QColor(shown.pixel(right - 2, 1)), QColor(Qt::blue));

    auto* lblInfo = Control<QLabel>(w, "lblInfo");
    QCOMPARE(lblInfo->text(),
             QStringLiteral("Group: blog.example\nCaption: First line\nTags: t1 t2"));
    QVERIFY(lblInfo->isVisible());
    auto* shpInfoBack = Control<QFrame>(w, "shpInfoBack");
    QVERIFY(shpInfoBack->isVisible());
    QCOMPARE(shpInfoBack->pos(), QPoint(12, 12));
    QCOMPARE(shpInfoBack->size(), lblInfo->size() + QSize(16, 8));
    QVERIFY(!Control<QLabel>(w, "lblInfoURL")->isVisible());

    QTest::keyClick(picPreview, Qt::Key_Return);
    QVERIFY(filFiles->isVisible());
    QTest::keyClick(filFiles, Qt::Key_Return);
    QTest::keyClick(picPreview, Qt::Key_Escape);
    QVERIFY(filFiles->isVisible());
    QVERIFY(!w.Unloaded());
    QTest::mouseDClick(filFiles->viewport(), Qt::LeftButton, {}, filFiles->rowRect(0).center());
    QVERIFY(picPreview->isVisible());
    QTest::mouseDClick(picPreview, Qt::LeftButton, {}, QPoint(300, 150));
    QVERIFY(filFiles->isVisible());
}

void tst_frmPostManager::previewOfUrlAndBrokenPosts() {
    QVERIFY(SavePost(NewPost(QStringLiteral("blog.example"), QStringLiteral("url post"), QString(),
                             {}, QStringLiteral("http://pics.example/a.jpg"))));
    WriteFile(Data(QStringLiteral("b.Picture")), "neither a picture nor a URL");
    WriteFile(Data(QStringLiteral("b.Info")), "g\r\nt\r\nbroken");
    const QByteArray png = [] {
        QImage image(10, 10, QImage::Format_RGB32);
        image.fill(Qt::green);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }();
    WriteFile(Data(QStringLiteral("c.Picture")), png);
    QDir(m_home.DataFolder()).mkpath(QStringLiteral("c.Info/blocked"));
    const QStringList before = Stored();

    MessageRecorder messages;
    frmPostManager w;
    Open(w);
    auto* filFiles = Control<FileListBox>(w, "filFiles");
    QCOMPARE(filFiles->count(), 3);
    // The URL post: no message, the URL box instead of a picture.
    QTest::keyClick(filFiles, Qt::Key_Return);
    QVERIFY(messages.Shown().isEmpty());
    QVERIFY(w.PreviewPicture().isNull());
    auto* lblInfoURL = Control<QLabel>(w, "lblInfoURL");
    QVERIFY(lblInfoURL->isVisible());
    QCOMPARE(lblInfoURL->text(), QStringLiteral("Picture URL:\nhttp://pics.example/a.jpg"));
    QCOMPARE(Control<QFrame>(w, "shpInfoBackURL")->size(), lblInfoURL->size() + QSize(16, 8));
    auto* lblInfo = Control<QLabel>(w, "lblInfo");
    QVERIFY(lblInfo->isVisible());

    auto* picPreview = Control<PicturePreview>(w, "picPreview");
    // Neither picture nor URL: the message, then the info without picture or URL box.
    QTest::keyClick(picPreview, Qt::Key_Escape);
    filFiles->setCurrentRow(1);
    QTest::keyClick(filFiles, Qt::Key_Return);
    QCOMPARE(messages.Texts(), QStringList{Data(QStringLiteral("b.Picture")) +
                                           QStringLiteral("\r\n\r\nCan't load picture file.")});
    QCOMPARE(messages.Shown().at(0).icon, MsgIcon::Critical);
    QVERIFY(picPreview->isVisible());
    QVERIFY(w.PreviewPicture().isNull());
    QVERIFY(lblInfo->isVisible());
    QVERIFY(!lblInfoURL->isVisible());

    // An unreadable ".Info": the store's message, the picture without the info box.
    messages.Clear();
    QTest::keyClick(picPreview, Qt::Key_Escape);
    filFiles->setCurrentRow(2);
    QTest::keyClick(filFiles, Qt::Key_Return);
    QCOMPARE(messages.Texts(), QStringList{"Can't load post files."});
    QVERIFY(picPreview->isVisible());
    QVERIFY(!w.PreviewPicture().isNull());
    QVERIFY(!lblInfo->isVisible());
    QVERIFY(!Control<QFrame>(w, "shpInfoBack")->isVisible());
    QCOMPARE(Stored(), before);
}

void tst_frmPostManager::holdToHideInfo() {
    QImage image(50, 50, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    SavePicture(image, QStringLiteral("c"));
    frmPostManager w;
    Open(w);
    QTest::keyClick(Control<FileListBox>(w, "filFiles"), Qt::Key_Return);
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        auto* lblInfo = Control<QLabel>(w, "lblInfo");
        QTest::mousePress(lblInfo, button, {}, QPoint(3, 3));
        QVERIFY(!lblInfo->isVisible());
        auto* shpInfoBack = Control<QFrame>(w, "shpInfoBack");
        QVERIFY(!shpInfoBack->isVisible());
        QVERIFY(!w.mnuContextPicture->isVisible());
        QTest::mouseRelease(lblInfo, button, {}, QPoint(3, 3));
        QVERIFY(lblInfo->isVisible());
        QVERIFY(shpInfoBack->isVisible());
    }
    QVERIFY(Control<PicturePreview>(w, "picPreview")->isVisible());
}

void tst_frmPostManager::deleteSelected() {
    for (const char* name : {"a.Picture", "a.Info", "B.PICTURE", "B.Info", "c.Picture", "c.Info"})
        WriteFile(Data(QString::fromLatin1(name)), name);
    MessageRecorder messages;
    frmPostManager w;
    Open(w);
    auto* filFiles = Control<FileListBox>(w, "filFiles");
    filFiles->selectionModel()->select(filFiles->model()->index(1, 0),
                                       QItemSelectionModel::Select); // a and B selected
    messages.Answer(MsgResult::Cancel);
    QTest::keyClick(filFiles, Qt::Key_Delete);
    QCOMPARE(messages.Texts(), QStringList{"Delete selected files?"});
    QCOMPARE(messages.Shown().at(0).icon, MsgIcon::Question);
    QCOMPARE(messages.Shown().at(0).buttons, MsgButtons::OkCancel);
    QCOMPARE(Stored().size(), 6);

    QTest::keyClick(filFiles, Qt::Key_Delete);
    QCOMPARE(Stored(), (QStringList{"c.Info", "c.Picture"}));
    QCOMPARE(w.windowTitle(), QStringLiteral("Marivane :: Manage mode :: 1"));
    QTRY_COMPARE(Control<QLabel>(w, "lblSize")->text(), QStringLiteral("Total size: 9 bytes"));
    QCOMPARE(Selected(filFiles), QStringList{"c.Picture"});

    QTest::keyClick(filFiles, Qt::Key_Delete);
    QVERIFY(Stored().isEmpty());
    QCOMPARE(filFiles->count(), 0);
    QVERIFY(Selected(filFiles).isEmpty());
    QCOMPARE(messages.Shown().size(), 3);
}

void tst_frmPostManager::deleteKeepsSelectionPlace_data() {
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("last");
    QTest::addColumn<QString>("after");
    QTest::newRow("range in the middle") << 1 << 2 << "d.Picture";
    QTest::newRow("range at the end") << 3 << 4 << "c.Picture";
    QTest::newRow("whole list but one") << 0 << 3 << "e.Picture";
}

void tst_frmPostManager::deleteKeepsSelectionPlace() {
    QFETCH(int, anchor);
    QFETCH(int, last);
    QFETCH(QString, after);
    for (const char* name : {"a", "b", "c", "d", "e"})
        WriteFile(Data(QString::fromLatin1(name) + QStringLiteral(".Picture")), name);
    MessageRecorder messages;
    frmPostManager w;
    Open(w);
    auto* filFiles = Control<FileListBox>(w, "filFiles");
    auto* view = filFiles->viewport();
    QTest::mouseClick(view, Qt::LeftButton, {}, filFiles->rowRect(anchor).center());
    QTest::mouseClick(view, Qt::LeftButton, Qt::ShiftModifier, filFiles->rowRect(last).center());
    QCOMPARE(Selected(filFiles).size(), last - anchor + 1);
    QTest::keyClick(filFiles, Qt::Key_Delete);
    QCOMPARE(Selected(filFiles), QStringList{after});
    QCOMPARE(filFiles->text(filFiles->currentRow()), after);
}

void tst_frmPostManager::rightButtonMenu() {
    SaveCyanPictures({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    MessageRecorder messages;
    frmPostManager w;
    Open(w);
    auto* filFiles = Control<FileListBox>(w, "filFiles");
    auto* view = filFiles->viewport();
    const QPoint belowItems(30, filFiles->rowRect(2).bottom() + 20);
    QMenu* shown = nullptr;
    auto closeMenu = [&](QAction* choose) {
        CloseNextMenu(shown, choose);
    };

    // Below the items: no menu, the selection unchanged.
    filFiles->selectionModel()->select(filFiles->model()->index(1, 0), QItemSelectionModel::Select);
    closeMenu(nullptr);
    QTest::mouseClick(view, Qt::RightButton, {}, belowItems);
    QCoreApplication::processEvents();
    QCOMPARE(shown, nullptr);
    QCOMPARE(Selected(filFiles).size(), 2);

    // On a selected item the selection stays; "Preview" shows the item of the last left press.
    QTest::mouseClick(view, Qt::LeftButton, Qt::ControlModifier, filFiles->rowRect(1).center());
    QTest::mouseClick(view, Qt::LeftButton, Qt::ControlModifier, filFiles->rowRect(1).center());
    QCOMPARE(w.PressedIndex, 1);
    closeMenu(w.mnuPreview);
    QTest::mousePress(view, Qt::RightButton, {}, filFiles->rowRect(0).center());
    QCOMPARE(shown, w.mnuContextList);
    QCOMPARE(Selected(filFiles).size(), 2);
    auto* picPreview = Control<PicturePreview>(w, "picPreview");
    QVERIFY(picPreview->isVisible());
    auto* lblInfo = Control<QLabel>(w, "lblInfo");
    QVERIFY(lblInfo->text().contains(QStringLiteral("Caption: two")));

    // The picture's menu leads back to the list.
    closeMenu(w.mnuBackToList);
    QTest::mousePress(picPreview, Qt::RightButton, {}, QPoint(300, 150));
    QCOMPARE(shown, w.mnuContextPicture);
    QVERIFY(filFiles->isVisible());

    // On an unselected item it selects that item alone first.
    closeMenu(w.mnuPreview);
    QTest::mousePress(view, Qt::RightButton, {}, filFiles->rowRect(2).center());
    QCOMPARE(Selected(filFiles).size(), 1);
    QCOMPARE(w.PressedIndex, 2);
    QVERIFY(lblInfo->text().contains(QStringLiteral("Caption: three")));
    QVERIFY(messages.Shown().isEmpty());
}

void tst_frmPostManager::keyboardMenu_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("Menu key") << int(Qt::Key_Menu) << Qt::KeyboardModifiers();
    QTest::newRow("Shift+F10") << int(Qt::Key_F10) << Qt::KeyboardModifiers(Qt::ShiftModifier);
}

void tst_frmPostManager::keyboardMenu() {
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    SaveCyanPictures({QStringLiteral("one"), QStringLiteral("two")});
    MessageRecorder messages;
    frmPostManager w;
    Open(w);
    auto* filFiles = Control<FileListBox>(w, "filFiles");
    QMenu* shown = nullptr;
    auto choose = [&](QAction* action) {
        CloseNextMenu(shown, action);
    };

    // The list's menu acts on the focused item, as Enter does.
    filFiles->setCurrentRow(1);
    choose(w.mnuPreview);
    QTest::keyClick(filFiles, Qt::Key(key), modifiers);
    QCOMPARE(shown, w.mnuContextList);
    QCOMPARE(w.PressedIndex, 1);
    QVERIFY(Control<QLabel>(w, "lblInfo")->text().contains(QStringLiteral("Caption: two")));

    shown = nullptr;
    choose(w.mnuBackToList);
    QTest::keyClick(Control<PicturePreview>(w, "picPreview"), Qt::Key(key), modifiers);
    QCOMPARE(shown, w.mnuContextPicture);
    QVERIFY(filFiles->isVisible());
}

namespace {

// WCAG 2 relative luminance and contrast ratio.
double Luminance(const QColor& colour) {
    auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette DarkPalette() {
    QPalette dark;
    const QColor face(53, 53, 53);
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Base,
                                           QPalette::AlternateBase, QPalette::ToolTipBase})
        dark.setColor(role, face);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::ButtonText, QPalette::Text, QPalette::ToolTipText,
          QPalette::BrightText})
        dark.setColor(role, QColor(238, 238, 238));
    return dark;
}

} // namespace

void tst_frmPostManager::infoBoxReadable_data() {
    QTest::addColumn<QPalette>("palette");
    QTest::newRow("light") << QPalette(QColor(239, 239, 239));
    QTest::newRow("dark") << DarkPalette();
}

void tst_frmPostManager::infoBoxReadable() {
    QFETCH(QPalette, palette);
    const QPalette before = QApplication::palette();
    QApplication::setPalette(palette);
    auto restore = qScopeGuard([&before] { QApplication::setPalette(before); });
    // A URL post has no picture under its boxes: they lie on the window's own background.
    QVERIFY(SavePost(NewPost(QStringLiteral("blog.example"), QStringLiteral("caption"), QString(),
                             {}, QStringLiteral("http://pics.example/a.jpg"))));
    MessageRecorder messages;
    frmPostManager w;
    Open(w);
    QTest::keyClick(Control<FileListBox>(w, "filFiles"), Qt::Key_Return);
    auto* picPreview = Control<PicturePreview>(w, "picPreview");
    // As the window paints it, with its own background behind the boxes.
    const QImage shown =
        w.grab(QRect(picPreview->mapTo(&w, QPoint()), picPreview->size())).toImage();
    for (const char* name : {"lblInfo", "lblInfoURL"}) {
        auto* label = Control<QLabel>(w, name);
        QVERIFY(label->isVisible());
        // The margin between the box's edge and its text shows the box's background.
        const QPoint margin = label->geometry().topLeft() - QPoint(3, -2);
        const QColor background = shown.pixelColor(margin * shown.devicePixelRatio());
        const QColor text = label->palette().color(label->foregroundRole());
        const double ratio = ContrastRatio(text, background);
        QVERIFY2(ratio >= 4.5,
                 qPrintable(QStringLiteral("%1: %2 on %3, ratio %4")
                                .arg(QLatin1String(name), text.name(), background.name())
                                .arg(ratio)));
    }
}

void tst_frmPostManager::dataFolderMissing() {
    QDir(m_home.Path() + QStringLiteral("/data")).removeRecursively();
    QDir().mkpath(m_home.Path() + QStringLiteral("/data"));
    WriteFile(m_home.Path() + QStringLiteral("/data/Velmora"), "not a folder");
    MessageRecorder messages;
    frmPostManager w;
    QVERIFY(!w.Loaded());
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(w.exec(), int(QDialog::Rejected));
    QVERIFY(clock.elapsed() < 2000);
    QCOMPARE(messages.Shown().size(), 1);
    QCOMPARE(messages.Shown().at(0).text, QString());
    QVERIFY(messages.Shown().at(0).details.contains(QStringLiteral("Can't create data folder.")));
    QCOMPARE(ReadFile(m_home.Path() + QStringLiteral("/data/Velmora")), QByteArray("not a folder"));
}

QTEST_MAIN(tst_frmPostManager)
#include "tst_frmPostManager.moc"
