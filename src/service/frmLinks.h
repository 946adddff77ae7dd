#pragma once

#include "app/FormBase.h"
#include "app/zntTBHooks.h"
#include "ui_frmLinks.h"

// Shows the links of every accepted post, read afresh each time the window opens.
class frmLinks final : public FormBase, public Ui::frmLinks {
    Q_OBJECT
public:
    explicit frmLinks(QWidget* parent = nullptr);

protected:
    void OnUnload() override;

private:
    zntTBHooks m_linksHook;
};
