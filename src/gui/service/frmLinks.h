#pragma once

#include "app/FormBase.h"
#include "app/SelectAllHook.h"

#include <memory>

namespace Ui {
class frmLinks;
}

// Shows the links of every accepted post, read afresh each time the window opens.
class frmLinks final : public FormBase {
    Q_OBJECT
public:
    explicit frmLinks(QWidget* parent = nullptr);
    ~frmLinks() override;

protected:
    void OnUnload() override;

private:
    std::unique_ptr<Ui::frmLinks> ui;
    SelectAllHook m_linksHook;
};
