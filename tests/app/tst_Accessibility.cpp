#include "TestSupport.h"
#include "creation/frmBatch.h"
#include "creation/frmBatchURLs.h"
#include "creation/frmCreator.h"
#include "creation/frmEditGroups.h"
#include "history/frmHistory.h"
#include "manage/frmPostManager.h"
#include "service/frmGetGroupsList.h"
#include "service/frmLinks.h"
#include "service/frmSender.h"
#include "widgets/ConnectionDialog.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QPlainTextEdit>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>

// What a screen reader hears of every control a keyboard user can reach, in every window.
class tst_Accessibility : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyControlNamed_data();
    void everyControlNamed();

private:
    TestHome m_home;
    MessageRecorder m_messages;
};

namespace {

qsizetype Letters(const QString& text) {
    return std::count_if(text.cbegin(), text.cend(), [](QChar c) { return c.isLetter(); });
}

} // namespace

using WindowMaker = std::function<std::unique_ptr<QWidget>(frmCreator& creator)>;
Q_DECLARE_METATYPE(WindowMaker)

void tst_Accessibility::everyControlNamed_data() {
    QTest::addColumn<WindowMaker>("make");
    QTest::newRow("frmCreator") << WindowMaker(
        [](frmCreator&) -> std::unique_ptr<QWidget> { return std::make_unique<frmCreator>(); });
    QTest::newRow("frmBatch") << WindowMaker([](frmCreator& creator) -> std::unique_ptr<QWidget> {
        return std::make_unique<frmBatch>(creator);
    });
    QTest::newRow("frmBatchURLs") << WindowMaker(
        [](frmCreator& creator) -> std::unique_ptr<QWidget> {
            return std::make_unique<frmBatchURLs>(creator);
        });
    QTest::newRow("frmEditGroups") << WindowMaker(
        [](frmCreator&) -> std::unique_ptr<QWidget> { return std::make_unique<frmEditGroups>(); });
    QTest::newRow("frmGetGroupsList")
        << WindowMaker([](frmCreator& creator) -> std::unique_ptr<QWidget> {
               return std::make_unique<frmGetGroupsList>(
                   Control<QPlainTextEdit>(creator, "txtCaption"));
           });
    QTest::newRow("frmHistory") << WindowMaker(
        [](frmCreator&) -> std::unique_ptr<QWidget> { return std::make_unique<frmHistory>(); });
    QTest::newRow("frmLinks") << WindowMaker(
        [](frmCreator&) -> std::unique_ptr<QWidget> { return std::make_unique<frmLinks>(); });
    QTest::newRow("frmPostManager") << WindowMaker(
        [](frmCreator&) -> std::unique_ptr<QWidget> { return std::make_unique<frmPostManager>(); });
    QTest::newRow("frmSender") << WindowMaker(
        [](frmCreator&) -> std::unique_ptr<QWidget> { return std::make_unique<frmSender>(); });
    QTest::newRow("ConnectionDialog") << WindowMaker([](frmCreator&) -> std::unique_ptr<QWidget> {
        return std::make_unique<ConnectionDialog>();
    });
}

void tst_Accessibility::everyControlNamed() {
    QFETCH(WindowMaker, make);
    frmCreator creator;
    const std::unique_ptr<QWidget> window = make(creator);
    QStringList faults;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        // Pop-ups, such as a combo box's list, are windows of their own.
        if (control->focusPolicy() == Qt::NoFocus || control->window() != window.get())
            continue;
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(control);
        QVERIFY(reader);
        const QString name = reader->text(QAccessible::Name);
        // "H!" or "..." tells a listener nothing: a name has a word in it.
        if (Letters(name) < 2)
            faults << control->objectName() + QStringLiteral(": name \"") + name + '"';
        if (reader->text(QAccessible::Description).isEmpty())
            faults << control->objectName() + QStringLiteral(": no description");
        // A caption of signs explains itself on a tool tip.
        const auto* button = qobject_cast<QAbstractButton*>(control);
        if (button && Letters(button->text()) < 2 && button->toolTip().trimmed().isEmpty())
            faults << control->objectName() + QStringLiteral(": no tool tip");
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
}

QTEST_MAIN(tst_Accessibility)
#include "tst_Accessibility.moc"
