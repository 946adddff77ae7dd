#include "history/frmHistory.h"

#include "app/modCommon.h"
#include "components/Messages.h"
#include "widgets/WindowSupport.h"

#include <memory>

frmHistory::frmHistory(QWidget* parent) : FormBase(Kind::Dialog, parent) {
    setupUi(this);
    LoadFrame();
    setWindowTitle(windowTitle().replace(QStringLiteral("<App>"), MakeWindowTitle(QString())));
    connect(cmdOk, &QPushButton::clicked, this, [this] {
        Ok = true;
        hide();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::hide);
    connect(lstHistory, &QListWidget::itemDoubleClicked, cmdOk, &QPushButton::click);
}

bool ShowHistoryDialog(const CHistory& history, QWidget* textBox) {
    if (history.Count() == 0) {
        Messages::MsgBox(QStringLiteral("History empty."), MsgIcon::Information);
        return false;
    }
    auto dialog = std::make_unique<frmHistory>();
    dialog->lstHistory->addItems(history.Entries());
    if (dialog->lstHistory->count() > 0)
        dialog->lstHistory->setCurrentRow(0);
    dialog->exec();
    if (!dialog->Ok)
        return false;
    const QListWidgetItem* current = dialog->lstHistory->currentItem();
    const QString chosen = current ? current->text() : QString();
    SetBoxText(textBox, QString());
    SetBoxText(textBox, chosen);
    textBox->setFocus();
    return true;
}
