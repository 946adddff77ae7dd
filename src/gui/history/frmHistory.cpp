#include "history/frmHistory.h"
#include "ui_frmHistory.h"

#include "app/modCommon.h"
#include "widgets/Messages.h"
#include "widgets/WindowSupport.h"

#include <memory>

frmHistory::frmHistory(QWidget* parent)
    : FormBase(Kind::Dialog, parent), ui(std::make_unique<Ui::frmHistory>()) {
    ui->setupUi(this);
    LoadFrame();
    setWindowTitle(windowTitle().replace(QStringLiteral("<App>"), MakeWindowTitle(QString())));
    connect(ui->cmdOk, &QPushButton::clicked, this, [this] {
        Ok = true;
        hide();
    });
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QWidget::hide);
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
    dialog->exec();
    if (!dialog->Ok)
        return false;
    const QString chosen = dialog->ChosenEntry();
    SetBoxText(textBox, QString());
    SetBoxText(textBox, chosen);
    textBox->setFocus();
    return true;
}
