#pragma once

#include "app/FormBase.h"
#include "ui_frmHistory.h"

// Picks one entry of a history list. Ok, Cancel and the close box only hide it;
// its opener reads Ok and the list, then deletes it.
class frmHistory final : public FormBase, public Ui::frmHistory {
    Q_OBJECT
public:
    explicit frmHistory(QWidget* parent = nullptr);

    bool Ok = false;
};
