// The window side of CHistory: filling list controls and the pick dialog.
#include "history/CHistory.h"

#include "components/Messages.h"
#include "components/WindowSupport.h"
#include "history/frmHistory.h"

#include <QComboBox>
#include <QListWidget>
#include <memory>

void CHistory::FillListBox(QListWidget* LB) const {
    LB->addItems(m_entries);
    if (LB->count() > 0)
        LB->setCurrentRow(0);
}

void CHistory::FillComboBox(QComboBox* LB) const {
    LB->addItems(m_entries);
    if (LB->count() > 0)
        LB->setCurrentIndex(0);
}

bool CHistory::ShowHistoryDialog(QWidget* TextBox) const {
    if (Count() == 0) {
        Messages::MsgBox(QStringLiteral("History empty."), MsgIcon::Information);
        return false;
    }
    auto dialog = std::make_unique<frmHistory>();
    FillListBox(dialog->lstHistory);
    dialog->exec();
    if (!dialog->Ok)
        return false;
    const QListWidgetItem* current = dialog->lstHistory->currentItem();
    const QString chosen = current ? current->text() : QString();
    SetBoxText(TextBox, QString());
    SetBoxText(TextBox, chosen);
    TextBox->setFocus();
    return true;
}
