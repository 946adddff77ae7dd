#pragma once

#include "app/FormBase.h"
#include "history/CHistory.h"
#include "ui_frmHistory.h"

// Picks one entry of a history list. Ok, Cancel and the close box only hide it;
// its opener reads Ok and the list, then deletes it.
class frmHistory final : public FormBase, public Ui::frmHistory {
    Q_OBJECT
public:
    explicit frmHistory(QWidget* parent = nullptr);

    bool Ok = false;
};

// Lets the user pick an entry of a history into a line or multi-line text box; true when one
// was taken.
bool ShowHistoryDialog(const CHistory& history, QWidget* textBox);
