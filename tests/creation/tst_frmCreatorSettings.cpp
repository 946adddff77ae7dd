#include "CreatorTestSupport.h"
#include "components/SettingsStore.h"
#include "creation/frmCreator.h"
#include "widgets/FormFunctions.h"
#include "widgets/WindowSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <memory>

// The creator window's settings and histories across a close and a reopen.
class tst_frmCreatorSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void firstRun();
    void settingsSurviveReopen();
    void groupIndex_data();
    void groupIndex();
    void badValueSkipsOnlyItsStep();
    void lastOpenPictureDir();
    void historiesSavedAndOffered();

private:
    std::unique_ptr<frmCreator> Open();
    static void Close(std::unique_ptr<frmCreator>& creator);

    TestHome m_home;
    MessageRecorder m_messages;
};

void tst_frmCreatorSettings::init() {
    ClearSettings();
    RemoveStoredPosts(m_home);
    m_messages.Clear();
    OpenFileDialog::SetHook({});
}

std::unique_ptr<frmCreator> tst_frmCreatorSettings::Open() {
    auto creator = std::make_unique<frmCreator>();
    creator->show();
    if (!QTest::qWaitForWindowExposed(creator.get()))
        qWarning("creator window not shown");
    return creator;
}

void tst_frmCreatorSettings::Close(std::unique_ptr<frmCreator>& creator) {
    creator->close();
    creator.reset();
}

void tst_frmCreatorSettings::firstRun() {
    auto creator = Open();
    QCOMPARE(creator->windowTitle(), QStringLiteral("Marivane :: Creator mode"));
    QCOMPARE(creator->CaptionText(), QString());
    QCOMPARE(creator->TagsText(), QString());
    QVERIFY(!Control<QCheckBox>(*creator, "chkQuickMode")->isChecked());
    QVERIFY(!Control<QCheckBox>(*creator, "chkTagsFromCaption")->isChecked());
    QCOMPARE(Control<QComboBox>(*creator, "cboGroup")->count(), 0);
    auto* cmdCreatePhoto = Control<QPushButton>(*creator, "cmdCreatePhoto");
    QVERIFY(!cmdCreatePhoto->isEnabled());
    QVERIFY(!Control<QPushButton>(*creator, "cmdBatch")->isEnabled());
    auto* cmdBatchURLs = Control<QPushButton>(*creator, "cmdBatchURLs");
    QVERIFY(cmdBatchURLs->isEnabled());
    QVERIFY(cmdCreatePhoto->isDefault());
    QCOMPARE(creator->size(), QSize(385, 277));
    QCOMPARE(creator->windowType(), Qt::Window);
    QVERIFY(creator->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!creator->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    const QRect area = creator->screen()->availableGeometry();
    QCOMPARE(creator->pos(),
             QPoint(area.x() + (area.width() - 385) / 2, area.y() + (area.height() - 277) / 2));
    QCOMPARE(Control<QPushButton>(*creator, "cmdHistory")->toolTip(), QStringLiteral(" History "));
    QCOMPARE(cmdBatchURLs->toolTip(), QStringLiteral(" Batch mode with URLs "));
    QVERIFY(!creator->windowIcon().isNull());
    QVERIFY(m_messages.Shown().isEmpty());
}

void tst_frmCreatorSettings::settingsSurviveReopen() {
    auto creator = Open();
    SetBoxText(Control<QPlainTextEdit>(*creator, "txtCaption"),
               QStringLiteral("First line\r\n\r\nthird \u00e9 line"));
    Control<QLineEdit>(*creator, "txtTags")->setText(QStringLiteral("a, b"));
    Control<QCheckBox>(*creator, "chkQuickMode")->setChecked(true);
    Control<QCheckBox>(*creator, "chkTagsFromCaption")->setChecked(true);
    auto* cboGroup = Control<QComboBox>(*creator, "cboGroup");
    cboGroup->addItems({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    cboGroup->setCurrentIndex(2);
    creator->move(creator->pos() + QPoint(13, 7));
    const QPoint movedTo = creator->pos();
    Close(creator);

    SettingsStore settings;
    QCOMPARE(settings.GetText(QStringLiteral("Groups")), QStringLiteral("A\r\nB\r\nC"));
    QCOMPARE(settings.GetLong(QStringLiteral("Group Index"), -5), 2);
    QCOMPARE(settings.GetText(QStringLiteral("Last Caption")),
             QStringLiteral("First line\r\n\r\nthird \u00e9 line"));

    creator = Open();
    QCOMPARE(creator->CaptionText(), QStringLiteral("First line\r\n\r\nthird \u00e9 line"));
    QCOMPARE(creator->TagsText(), QStringLiteral("a, b"));
    QVERIFY(Control<QCheckBox>(*creator, "chkQuickMode")->isChecked());
    QVERIFY(Control<QCheckBox>(*creator, "chkTagsFromCaption")->isChecked());
    QCOMPARE(Control<QComboBox>(*creator, "cboGroup")->count(), 3);
    QCOMPARE(creator->GetGroup(), QStringLiteral("C"));
    QCOMPARE(creator->pos(), movedTo);
    QVERIFY(Control<QPushButton>(*creator, "cmdBatch")->isEnabled());
    // The file name always starts empty.
    QVERIFY(!Control<QPushButton>(*creator, "cmdCreatePhoto")->isEnabled());
    QCOMPARE(Control<QLineEdit>(*creator, "txtFileName")->text(), QString());
}

void tst_frmCreatorSettings::groupIndex_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("selected");
    QTest::newRow("-1: none chosen") << "-1" << -1;
    QTest::newRow("past the end: the first") << "3" << 0;
    QTest::newRow("far negative: the first") << "-7" << 0;
    QTest::newRow("not a number: the first") << "two" << 0;
    QTest::newRow("in range") << "1" << 1;
}

void tst_frmCreatorSettings::groupIndex() {
    QFETCH(QString, stored);
    QFETCH(int, selected);
    {
        SettingsStore settings;
        settings.SaveText(QStringLiteral("Groups"), QStringLiteral("A\r\nB\r\nC"));
        settings.SaveText(QStringLiteral("Group Index"), stored);
    }
    auto creator = Open();
    QCOMPARE(Control<QComboBox>(*creator, "cboGroup")->currentIndex(), selected);
    if (selected < 0) {
        QCOMPARE(creator->GetGroup(), QString());
        // A post made so gets an empty group.
        const QString picture = m_home.Path() + QStringLiteral("/p.png");
        WriteFile(picture, "png");
        Control<QLineEdit>(*creator, "txtFileName")->setText(picture);
        QTest::mouseClick(Control<QPushButton>(*creator, "cmdCreatePhoto"), Qt::LeftButton);
        const QStringList infos = StoredInfoFiles(m_home);
        QCOMPARE(infos.size(), 1);
        QVERIFY(
            ReadFile(m_home.DataFolder() + QLatin1Char('/') + infos.first()).startsWith("\r\n"));
    }
    Close(creator);
    QCOMPARE(SettingsStore().GetLong(QStringLiteral("Group Index"), -5), selected);
}

void tst_frmCreatorSettings::badValueSkipsOnlyItsStep() {
    {
        SettingsStore settings;
        settings.SaveText(QStringLiteral("Last Tags"), QStringLiteral("kept"));
        settings.SaveText(QStringLiteral("Quick Mode"), QStringLiteral("perhaps"));
        settings.SaveBool(QStringLiteral("Tags From Caption"), true);
    }
    auto creator = Open();
    QCOMPARE(creator->TagsText(), QStringLiteral("kept"));
    QVERIFY(!Control<QCheckBox>(*creator, "chkQuickMode")->isChecked());
    QVERIFY(Control<QCheckBox>(*creator, "chkTagsFromCaption")->isChecked());
    QVERIFY(m_messages.Shown().isEmpty());
}

void tst_frmCreatorSettings::lastOpenPictureDir() {
    const QString folder = m_home.Path() + QStringLiteral("/shots");
    QDir().mkpath(folder);
    const QString picture = folder + QStringLiteral("/x.gif");
    WriteFile(picture, "GIF89a");
    QStringList startedIn;
    QString answer;
    OpenFileDialog::SetHook([&](const OpenFileDialog& dialog) {
        startedIn << dialog.InitialDir;
        return answer;
    });
    auto creator = Open();
    auto* cmdBrowsePictureFile = Control<QPushButton>(*creator, "cmdBrowsePictureFile");
    // Cancelled: nothing stored.
    QTest::mouseClick(cmdBrowsePictureFile, Qt::LeftButton);
    QVERIFY(SettingsStore().GetText(QStringLiteral("Last open picture dir")).isEmpty());
    answer = picture;
    QTest::mouseClick(cmdBrowsePictureFile, Qt::LeftButton);
    QCOMPARE(SettingsStore().GetText(QStringLiteral("Last open picture dir")), folder);
    QCOMPARE(Control<QLineEdit>(*creator, "txtFileName")->text(), picture);
    QTest::mouseClick(cmdBrowsePictureFile, Qt::LeftButton);
    QCOMPARE(startedIn, (QStringList{m_home.Path() + QStringLiteral("/Pictures"),
                                     m_home.Path() + QStringLiteral("/Pictures"), folder}));
}

void tst_frmCreatorSettings::historiesSavedAndOffered() {
    auto creator = Open();
    Control<QComboBox>(*creator, "cboGroup")->addItem(QStringLiteral("g"));
    SetBoxText(Control<QPlainTextEdit>(*creator, "txtCaption"), QStringLiteral("Sunset"));
    Control<QLineEdit>(*creator, "txtTags")->setText(QStringLiteral("sky"));
    const QString picture = m_home.Path() + QStringLiteral("/p.png");
    WriteFile(picture, "png");
    Control<QLineEdit>(*creator, "txtFileName")->setText(picture);
    QTest::mouseClick(Control<QPushButton>(*creator, "cmdCreatePhoto"), Qt::LeftButton);
    Close(creator);
    QCOMPARE(ReadFile(m_home.DataFolder() + QStringLiteral("/History.DAT")), "Sunset");
    QCOMPARE(ReadFile(m_home.DataFolder() + QStringLiteral("/Tags History.DAT")), "sky");

    creator = Open();
    SetBoxText(Control<QPlainTextEdit>(*creator, "txtCaption"), QStringLiteral("other"));
    QTimer::singleShot(0, this, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    QTest::mouseClick(Control<QPushButton>(*creator, "cmdHistory"), Qt::LeftButton);
    QCOMPARE(creator->CaptionText(), QStringLiteral("Sunset"));

    // An empty tags history says so.
    ClearSettings();
    QFile::remove(m_home.DataFolder() + QStringLiteral("/Tags History.DAT"));
    creator.reset();
    creator = Open();
    QTest::mouseClick(Control<QPushButton>(*creator, "cmdTagsHistory"), Qt::LeftButton);
    QCOMPARE(m_messages.Texts(), QStringList{QStringLiteral("History empty.")});
}

QTEST_MAIN(tst_frmCreatorSettings)
#include "tst_frmCreatorSettings.moc"
