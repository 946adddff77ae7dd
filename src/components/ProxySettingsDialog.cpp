#include "components/ProxySettingsDialog.h"

#include "components/Messages.h"
#include "components/WindowSupport.h"

bool ProxySettings::ShowDialog(QWidget* owner) {
    ProxySettingsDialog dialog(owner);
    dialog.SetSettings(*this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *this = dialog.Settings();
    return true;
}

ProxySettingsDialog::ProxySettingsDialog(QWidget* parent) : QDialog(parent) {
    setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QFont tahoma(QStringLiteral("Tahoma"), 9);
    tahoma.setStyleHint(QFont::SansSerif);
    setFont(tahoma);
    zsCenterFormEx(this);
    connect(cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QRadioButton* option : {optNone, optHttp, optSocks5})
        connect(option, &QRadioButton::toggled, this, &ProxySettingsDialog::UpdateControls);
    UpdateControls();
}

void ProxySettingsDialog::SetSettings(const ProxySettings& settings) {
    optHttp->setChecked(settings.Type == ProxySettings::Kind::Http);
    optSocks5->setChecked(settings.Type == ProxySettings::Kind::Socks5);
    optNone->setChecked(settings.Type == ProxySettings::Kind::None);
    txtHost->setText(settings.Host);
    txtPort->setText(settings.Port != 0 ? QString::number(settings.Port) : QString());
    txtUser->setText(settings.User);
    txtPassword->setText(settings.Password);
    UpdateControls();
}

ProxySettings ProxySettingsDialog::Settings() const {
    ProxySettings settings;
    if (optHttp->isChecked())
        settings.Type = ProxySettings::Kind::Http;
    else if (optSocks5->isChecked())
        settings.Type = ProxySettings::Kind::Socks5;
    settings.Host = txtHost->text().trimmed();
    settings.Port = static_cast<quint16>(txtPort->text().trimmed().toUInt());
    settings.User = txtUser->text();
    settings.Password = txtPassword->text();
    return settings;
}

void ProxySettingsDialog::accept() {
    // A proxy without a usable address would make every request fail in a puzzling way.
    if (!optNone->isChecked()) {
        if (txtHost->text().trimmed().isEmpty()) {
            Messages::MsgBox(QStringLiteral("Enter the proxy host."), MsgIcon::Critical);
            txtHost->setFocus();
            return;
        }
        bool ok = false;
        const uint port = txtPort->text().trimmed().toUInt(&ok);
        if (!ok || port == 0 || port > 65535) {
            Messages::MsgBox(QStringLiteral("Enter a proxy port from 1 to 65535."),
                             MsgIcon::Critical);
            txtPort->setFocus();
            return;
        }
    }
    QDialog::accept();
}

void ProxySettingsDialog::UpdateControls() {
    const bool proxy = !optNone->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{txtHost, txtPort, txtUser, txtPassword})
        control->setEnabled(proxy);
}
