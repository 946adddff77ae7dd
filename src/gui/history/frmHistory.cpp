#include "history/frmHistory.h"
#include "ui_frmHistory.h"

#include "app/ToolbarMark.h"
#include "app/modCommon.h"
#include "widgets/Messages.h"
#include "widgets/WindowSupport.h"

#include <memory>

frmHistory::frmHistory(QWidget* parent)
    : FormBase(Kind::Dialog, parent), ui(std::make_unique<Ui::frmHistory>()) {
    ui->setupUi(this);
    LoadFrame();
    MarkOnToolbar(this);
    setWindowTitle(windowTitle().replace(QStringLiteral("<App>"), MakeWindowTitle(QString())));
    connect(ui->cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->lstHistory, &QListWidget::itemDoubleClicked, ui->cmdOk, &QPushButton::click);
}

frmHistory::~frmHistory() = default;

void frmHistory::SetEntries(const QStringList& entries) {
    ui->lstHistory->addItems(entries);
    if (ui->lstHistory->count() > 0)
        ui->lstHistory->setCurrentRow(0);
}

QString frmHistory::ChosenEntry() const {
    const QListWidgetItem* current = ui->lstHistory->currentItem();
    return current ? current->text() : QString();
}

bool ShowHistoryDialog(const CHistory& history, QWidget* textBox) {
    if (history.Count() == 0) {
        Messages::MsgBox(QStringLiteral("History empty."), MsgIcon::Information);
        return false;
    }
    auto dialog = std::make_unique<frmHistory>();
    dialog->SetEntries(history.Entries());
    if (dialog->exec() != QDialog::Accepted)
        return false;
    const QString chosen = dialog->ChosenEntry();
    SetBoxText(textBox, QString());
    SetBoxText(textBox, chosen);
    textBox->setFocus();
    return true;
}
