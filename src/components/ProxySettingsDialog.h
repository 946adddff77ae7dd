#pragma once

#include "components/ProxySettings.h"
#include "ui_ProxySettingsDialog.h"

#include <QDialog>

// Edits proxy settings: no proxy, HTTP or SOCKS5, with host, port, user and password.
class ProxySettingsDialog final : public QDialog, public Ui::ProxySettingsDialog {
    Q_OBJECT
public:
    explicit ProxySettingsDialog(QWidget* parent = nullptr);

    void SetSettings(const ProxySettings& settings);
    ProxySettings Settings() const;

    void accept() override;

private:
    void UpdateControls();
};
