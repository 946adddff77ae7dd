#pragma once

#include "app/FormBase.h"
#include "history/CHistory.h"

#include <memory>

namespace Ui {
class frmHistory;
}

// Picks one entry of a history list: Ok accepts it; Cancel, Esc and the close box reject it.
class frmHistory final : public FormBase {
    Q_OBJECT
public:
    explicit frmHistory(QWidget* parent = nullptr);
    ~frmHistory() override;

    // Lists the entries with the first one chosen.
    void SetEntries(const QStringList& entries);
    QString ChosenEntry() const;

private:
    std::unique_ptr<Ui::frmHistory> ui;
};

// Lets the user pick an entry of a history into a line or multi-line text box; true when one
// was taken.
bool ShowHistoryDialog(const CHistory& history, QWidget* textBox);
