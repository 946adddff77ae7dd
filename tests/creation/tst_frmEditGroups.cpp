#include "CreatorTestSupport.h"
#include "creation/frmCreator.h"
#include "creation/frmEditGroups.h"
#include "widgets/WindowSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

// The groups editor: the text form of the group list and the editor's ways out.
class tst_frmEditGroups : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void fillGroupList_data();
    void fillGroupList();
    void groupsToText_data();
    void groupsToText();
    void editorLayout();
    void leaving_data();
    void leaving();
    void confirmingEmptyTextEmptiesList();
    void placeAboveGetButton();

private:
    // Opens the editor from the creator's "..." and lets `act` work on it.
    void EditFromCreator(frmCreator& creator, std::function<void(frmEditGroups*)> act);

    TestHome m_home;
    MessageRecorder m_messages;
};

void tst_frmEditGroups::init() {
    ClearSettings();
}

void tst_frmEditGroups::fillGroupList_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("blank lines dropped, duplicates kept")
        << "a\r\n\r\n  b \t\r\na" << QStringList{"a", "b", "a"};
    QTest::newRow("label and value kept whole") << "My photos | mine\r\n"
                                                << QStringList{"My photos | mine"};
    QTest::newRow("blank only") << "  \r\n\t\r\n" << QStringList{};
    QTest::newRow("empty") << "" << QStringList{};
}

void tst_frmEditGroups::fillGroupList() {
    QFETCH(QString, text);
    QFETCH(QStringList, entries);
    QComboBox list;
    list.addItems({QStringLiteral("old"), QStringLiteral("older")});
    list.setCurrentIndex(1);
    FillGroupList(text, &list);
    QStringList shown;
    for (int i = 0; i < list.count(); ++i)
        shown << list.itemText(i);
    QCOMPARE(shown, entries);
    QCOMPARE(list.currentIndex(), entries.isEmpty() ? -1 : 0);
}

void tst_frmEditGroups::groupsToText_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("text");
    QTest::newRow("three lines") << QStringList{"A", " B ", "C"} << "A\r\nB\r\nC";
    QTest::newRow("one") << QStringList{"x | y"} << "x | y";
    QTest::newRow("none") << QStringList{} << "";
}

void tst_frmEditGroups::groupsToText() {
    QFETCH(QStringList, entries);
    QFETCH(QString, text);
    QComboBox list;
    list.addItems(entries);
    QCOMPARE(GroupsToText(&list), text);
}

void tst_frmEditGroups::editorLayout() {
    frmEditGroups editor;
    QCOMPARE(editor.windowTitle(), QStringLiteral("Groups list"));
    QCOMPARE(editor.size(), QSize(325, 209));
    QVERIFY(editor.windowIcon().isNull());
    auto* cmdGet = Control<QPushButton>(editor, "cmdGet");
    auto* cmdCancel = Control<QPushButton>(editor, "cmdCancel");
    auto* cmdOk = Control<QPushButton>(editor, "cmdOk");
    for (QPushButton* button : {cmdOk, cmdCancel, cmdGet})
        QVERIFY(!button->isDefault() && !button->autoDefault());
    editor.show();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    auto* txtGroups = Control<QPlainTextEdit>(editor, "txtGroups");
    // Enter is a new line; Ctrl+A selects all without typing.
    txtGroups->setFocus();
    QTest::keyClicks(txtGroups, QStringLiteral("a"));
    QTest::keyClick(txtGroups, Qt::Key_Return);
    QTest::keyClicks(txtGroups, QStringLiteral("b"));
    QCOMPARE(GetBoxText(txtGroups), QStringLiteral("a\r\nb"));
    QVERIFY(editor.isVisible());
    QTest::keyClick(txtGroups, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(txtGroups->textCursor().selectedText().size(), 3);
    QCOMPARE(GetBoxText(txtGroups), QStringLiteral("a\r\nb"));
    // Tab goes on to the buttons in their order instead of typing.
    for (QPushButton* next : {cmdOk, cmdCancel, cmdGet}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    QCOMPARE(GetBoxText(txtGroups), QStringLiteral("a\r\nb"));
}

void tst_frmEditGroups::EditFromCreator(frmCreator& creator,
                                        std::function<void(frmEditGroups*)> act) {
    bool seen = false;
    QTimer::singleShot(0, this, [&] {
        auto* editor = qobject_cast<frmEditGroups*>(QApplication::activeModalWidget());
        if (!editor)
            return;
        seen = true;
        act(editor);
    });
    QTest::mouseClick(Control<QPushButton>(creator, "cmdEditGroups"), Qt::LeftButton);
    QVERIFY(seen);
}

void tst_frmEditGroups::leaving_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("selected");
    QTest::newRow("Ok takes the text") << "ok" << QStringList{"x", "y | z"} << 0;
    QTest::newRow("Cancel") << "cancel" << QStringList{"A", "B", "C"} << 2;
    QTest::newRow("Enter on Ok") << "enter-ok" << QStringList{"x", "y | z"} << 0;
    QTest::newRow("Enter on Cancel") << "enter-cancel" << QStringList{"A", "B", "C"} << 2;
    QTest::newRow("Esc") << "esc" << QStringList{"A", "B", "C"} << 2;
    QTest::newRow("close box") << "close" << QStringList{"A", "B", "C"} << 2;
}

void tst_frmEditGroups::leaving() {
    QFETCH(QString, how);
    QFETCH(QStringList, entries);
    QFETCH(int, selected);
    frmCreator creator;
    auto* cboGroup = Control<QComboBox>(creator, "cboGroup");
    cboGroup->addItems({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    cboGroup->setCurrentIndex(2);
    creator.show();
    QVERIFY(QTest::qWaitForWindowActive(&creator));
    QString shownText;
    EditFromCreator(creator, [&](frmEditGroups* editor) {
        auto* txtGroups = Control<QPlainTextEdit>(*editor, "txtGroups");
        shownText = GetBoxText(txtGroups);
        SetBoxText(txtGroups, QStringLiteral(" x \r\n\r\ny | z\r\n"));
        auto* cmdCancel = Control<QPushButton>(*editor, "cmdCancel");
        auto* cmdOk = Control<QPushButton>(*editor, "cmdOk");
        if (how.startsWith(QLatin1String("enter-"))) {
            QPushButton* button = how == QLatin1String("enter-ok") ? cmdOk : cmdCancel;
            button->setFocus();
            QTest::keyClick(button, Qt::Key_Return);
        } else if (how == QLatin1String("ok")) {
            QTest::mouseClick(cmdOk, Qt::LeftButton);
        } else if (how == QLatin1String("cancel")) {
            QTest::mouseClick(cmdCancel, Qt::LeftButton);
        } else if (how == QLatin1String("esc")) {
            QTest::keyClick(txtGroups, Qt::Key_Escape);
        } else {
            editor->close();
        }
    });
    QCOMPARE(shownText, QStringLiteral("A\r\nB\r\nC"));
    QStringList shown;
    for (int i = 0; i < cboGroup->count(); ++i)
        shown << cboGroup->itemText(i);
    QCOMPARE(shown, entries);
    QCOMPARE(cboGroup->currentIndex(), selected);
    QVERIFY(creator.isVisible());
    QVERIFY(!QApplication::activeModalWidget());
}

void tst_frmEditGroups::confirmingEmptyTextEmptiesList() {
    frmCreator creator;
    auto* cboGroup = Control<QComboBox>(creator, "cboGroup");
    cboGroup->addItem(QStringLiteral("A"));
    cboGroup->setCurrentIndex(0);
    creator.show();
    QVERIFY(QTest::qWaitForWindowActive(&creator));
    Control<QLineEdit>(creator, "txtFileName")->setText(QStringLiteral("/some/file.jpg"));
    auto* cmdCreatePhoto = Control<QPushButton>(creator, "cmdCreatePhoto");
    QVERIFY(cmdCreatePhoto->isEnabled());
    EditFromCreator(creator, [](frmEditGroups* editor) {
        SetBoxText(Control<QPlainTextEdit>(*editor, "txtGroups"), QStringLiteral("  \r\n "));
        QTest::mouseClick(Control<QPushButton>(*editor, "cmdOk"), Qt::LeftButton);
    });
    QCOMPARE(cboGroup->count(), 0);
    QCOMPARE(creator.GetGroup(), QString());
    QVERIFY(!cmdCreatePhoto->isEnabled());
    auto* cmdBatch = Control<QPushButton>(creator, "cmdBatch");
    QVERIFY(!cmdBatch->isEnabled());
    QVERIFY(Control<QPushButton>(creator, "cmdBatchURLs")->isEnabled());

    // And a new group list enables them again.
    EditFromCreator(creator, [](frmEditGroups* editor) {
        SetBoxText(Control<QPlainTextEdit>(*editor, "txtGroups"), QStringLiteral("B"));
        QTest::mouseClick(Control<QPushButton>(*editor, "cmdOk"), Qt::LeftButton);
    });
    QVERIFY(cmdCreatePhoto->isEnabled());
    QVERIFY(cmdBatch->isEnabled());
}

void tst_frmEditGroups::placeAboveGetButton() {
    QDialog fetch;
    fetch.resize(200, 120);
    frmEditGroups::PlaceAboveGetButton(&fetch, QPoint(300, 400));
    QCOMPARE(fetch.frameGeometry().left(), 300);
    QCOMPARE(fetch.frameGeometry().bottom() + 1, 400);
    // A frame the window gets only when shown still ends at the button.
    fetch.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fetch));
    QVERIFY(fetch.frameGeometry().height() > fetch.height());
    QTRY_COMPARE(fetch.frameGeometry().bottom() + 1, 400);
    QCOMPARE(fetch.frameGeometry().left(), 300);
}

QTEST_MAIN(tst_frmEditGroups)
#include "tst_frmEditGroups.moc"
