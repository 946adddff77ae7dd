#include "TestSupport.h"
#include "history/CHistory.h"
#include "history/frmHistory.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <functional>

// The history pick dialog as ShowHistoryDialog uses it.
class tst_frmHistory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dialogLayout();
    void paths_data();
    void paths();
    void emptyHistory();

private:
    TestHome m_home;
    MessageRecorder m_messages;
};

void tst_frmHistory::dialogLayout() {
    frmHistory dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Marivane :: History"));
    QCOMPARE(dialog.size(), QSize(401, 253));
    QVERIFY(dialog.windowIcon().isNull());
    QVERIFY(Control<QPushButton>(dialog, "cmdOk")->isDefault());
}

void tst_frmHistory::paths_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("text");
    QTest::newRow("Enter takes the first entry") << "enter" << true << "first";
    QTest::newRow("Ok on the second") << "ok" << true << "Second";
    QTest::newRow("double-click") << "double" << true << "third";
    QTest::newRow("Cancel") << "cancel" << false << "typed";
    QTest::newRow("Enter on a focused Cancel") << "enter-cancel" << false << "typed";
    QTest::newRow("Esc") << "esc" << false << "typed";
    QTest::newRow("close box is Cancel") << "close" << false << "typed";
    QTest::newRow("same text still replaced") << "enter-same" << true << "first";
}

void tst_frmHistory::paths() {
    QFETCH(QString, how);
    QFETCH(bool, taken);
    QFETCH(QString, text);
    CHistory history;
    for (const char* entry : {"first", "Second", "third"})
        history.Add(QString::fromLatin1(entry));
    QLineEdit box;
    box.setText(how == QLatin1String("enter-same") ? QStringLiteral("first")
                                                   : QStringLiteral("typed"));
    int changes = 0;
    connect(&box, &QLineEdit::textChanged, this, [&] { ++changes; });
    bool seen = false;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<frmHistory*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = true;
        auto* lstHistory = Control<QListWidget>(*dialog, "lstHistory");
        QCOMPARE(lstHistory->count(), 3);
        QCOMPARE(lstHistory->currentRow(), 0);
        QListWidget* list = lstHistory;
        auto* cmdCancel = Control<QPushButton>(*dialog, "cmdCancel");
        if (how == QLatin1String("enter-cancel")) {
            cmdCancel->setFocus();
            QTest::keyClick(cmdCancel, Qt::Key_Return);
        } else if (how.startsWith(QLatin1String("enter"))) {
            QTest::keyClick(list, Qt::Key_Return);
        } else if (how == QLatin1String("ok")) {
            list->setCurrentRow(1);
            QTest::mouseClick(Control<QPushButton>(*dialog, "cmdOk"), Qt::LeftButton);
        } else if (how == QLatin1String("double")) {
            const QRect at = list->visualItemRect(list->item(2));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at.center());
        } else if (how == QLatin1String("cancel")) {
            QTest::mouseClick(cmdCancel, Qt::LeftButton);
        } else if (how == QLatin1String("esc")) {
            QTest::keyClick(list, Qt::Key_Escape);
        } else {
            dialog->close();
        }
    });
    QCOMPARE(ShowHistoryDialog(history, &box), taken);
    QVERIFY(seen);
    QCOMPARE(box.text(), text);
    if (how == QLatin1String("enter-same"))
        QCOMPARE(changes, 2); // emptied, then filled
    QVERIFY(!QApplication::activeModalWidget());
}

void tst_frmHistory::emptyHistory() {
    CHistory history;
    QLineEdit box;
    box.setText(QStringLiteral("kept"));
    QVERIFY(!ShowHistoryDialog(history, &box));
    QCOMPARE(box.text(), QStringLiteral("kept"));
    QCOMPARE(m_messages.Texts(), QStringList{QStringLiteral("History empty.")});
    QCOMPARE(m_messages.Shown().first().icon, MsgIcon::Information);
}

QTEST_MAIN(tst_frmHistory)
#include "tst_frmHistory.moc"
