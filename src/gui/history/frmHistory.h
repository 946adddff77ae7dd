#pragma once

#include "app/FormBase.h"
#include "history/CHistory.h"

#include <memory>

namespace Ui {
class frmHistory;
}

// Picks one entry of a history list. Ok, Cancel and the close box only hide it;
// its opener reads Ok and the chosen entry, then deletes it.
class frmHistory final : public FormBase {
    Q_OBJECT
public:
    explicit frmHistory(QWidget* parent = nullptr);
    ~frmHistory() override;

    // Lists the entries with the first one chosen.
    void SetEntries(const QStringList& entries);
    QString ChosenEntry() const;

    bool Ok = false;

private:
    std::unique_ptr<Ui::frmHistory> ui;
};

// Lets the user pick an entry of a history into a line or multi-line text box; true when one
// was taken.
bool ShowHistoryDialog(const CHistory& history, QWidget* textBox);
