#include "CreatorTestSupport.h"
#include "creation/frmBatch.h"
#include "creation/frmBatchURLs.h"
#include "creation/frmCreator.h"
#include "creation/frmEditGroups.h"
#include "manage/frmPostManager.h"
#include "service/frmGetGroupsList.h"
#include "service/frmSender.h"
#include "widgets/WindowSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>

// The buttons of the creator and the groups editor open the right windows, modally,
// and every window they open closes again with Esc.
class tst_CreatorOpensWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { ClearSettings(); }
    void buttonsOpenTheirWindows_data();
    void buttonsOpenTheirWindows();
    void batchButtonsApplyAutoTagsFirst();
    void getOpensFetchDialogAboveItself();

private:
    // Clicks the button; `inspect` runs on the modal window it opened, which is then closed.
    static bool ClickAndInspect(QPushButton* button, std::function<void(QWidget*)> inspect);

    TestHome m_home;
    MessageRecorder m_messages;
};

bool tst_CreatorOpensWindows::ClickAndInspect(QPushButton* button,
                                              std::function<void(QWidget*)> inspect) {
    bool seen = false;
    std::function<void()> poll = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            QTimer::singleShot(10, poll);
            return;
        }
        seen = true;
        inspect(modal);
        QTest::keyClick(modal, Qt::Key_Escape);
    };
    QTimer::singleShot(0, poll);
    QTest::mouseClick(button, Qt::LeftButton);
    return seen;
}

void tst_CreatorOpensWindows::buttonsOpenTheirWindows_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("windowClass");
    QTest::addColumn<QString>("title");
    QTest::newRow("B!") << "cmdBatch"
                        << "frmBatch"
                        << "Marivane :: Batch mode :: ";
    QTest::newRow("U!") << "cmdBatchURLs"
                        << "frmBatchURLs"
                        << "Marivane :: URLs mode";
    QTest::newRow("Manage posts") << "cmdManagePosts"
                                  << "frmPostManager"
                                  << "Marivane :: Manage mode :: 0";
    QTest::newRow("Send posts") << "cmdSender"
                                << "frmSender"
                                << "Marivane :: Send mode :: 0";
}

void tst_CreatorOpensWindows::buttonsOpenTheirWindows() {
    QFETCH(QString, button);
    QFETCH(QString, windowClass);
    QFETCH(QString, title);
    frmCreator creator;
    auto* cboGroup = Control<QComboBox>(creator, "cboGroup");
    FillGroupList(QStringLiteral("blog"), cboGroup); // "B!" needs a group
    cboGroup->setCurrentIndex(0);
    creator.show();
    auto* pressed = creator.findChild<QPushButton*>(button);
    QVERIFY(pressed);
    pressed->setEnabled(true);
    QString openedClass;
    QString openedTitle;
    QWidget* parent = nullptr;
    QVERIFY(ClickAndInspect(pressed, [&](QWidget* window) {
        openedClass = QString::fromLatin1(window->metaObject()->className());
        openedTitle = window->windowTitle();
        parent = window->parentWidget();
        // Only the creator is a main window that can be minimised.
        QVERIFY(!window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    }));
    QCOMPARE(openedClass, windowClass);
    QVERIFY(openedTitle.startsWith(title));
    QCOMPARE(parent, &creator);
    QVERIFY(creator.isVisible()); // Esc closed only the opened window
}

void tst_CreatorOpensWindows::batchButtonsApplyAutoTagsFirst() {
    frmCreator creator;
    creator.show();
    Control<QCheckBox>(creator, "chkTagsFromCaption")->setChecked(true);
    SetBoxText(Control<QPlainTextEdit>(creator, "txtCaption"),
               QStringLiteral("Sun, sea/sand\r\nsecond line"));
    QString tagsSeenByBatch;
    QVERIFY(ClickAndInspect(Control<QPushButton>(creator, "cmdBatchURLs"),
                            [&](QWidget*) { tagsSeenByBatch = creator.TagsText(); }));
    QCOMPARE(tagsSeenByBatch, QStringLiteral("\"Sun, sea-sand\""));
}

void tst_CreatorOpensWindows::getOpensFetchDialogAboveItself() {
    frmEditGroups editor;
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    auto* txtGroups = Control<QPlainTextEdit>(editor, "txtGroups");
    SetBoxText(txtGroups, QStringLiteral("kept"));
    auto* cmdGet = Control<QPushButton>(editor, "cmdGet");
    const QPoint getTopLeft = cmdGet->mapToGlobal(QPoint(0, 0));
    QRect placed;
    QPlainTextEdit* target = nullptr;
    QVERIFY(ClickAndInspect(cmdGet, [&](QWidget* window) {
        QVERIFY(qobject_cast<frmGetGroupsList*>(window));
        placed = window->frameGeometry();
        target = txtGroups;
    }));
    QCOMPARE(placed.left(), getTopLeft.x());
    QCOMPARE(placed.bottom() + 1, getTopLeft.y());
    QCOMPARE(target, txtGroups);
    // Leaving the fetch dialog changes nothing and gives the focus back to the text.
    QCOMPARE(GetBoxText(txtGroups), QStringLiteral("kept"));
    QTRY_COMPARE(editor.focusWidget(), txtGroups);
}

QTEST_MAIN(tst_CreatorOpensWindows)
#include "tst_CreatorOpensWindows.moc"
