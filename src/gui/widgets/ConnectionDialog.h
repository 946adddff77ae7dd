#pragma once

#include "components/ProxySettings.h"
#include "store/modServiceSettings.h"

#include <QDialog>
#include <memory>

class CurrentApiAuth;

namespace Ui {
class ConnectionDialog;
}

// The connection settings: the proxy (no proxy, HTTP or SOCKS5, with host, port, user and
// password), and which of the service's interfaces to speak, with the sign-in to the
// current API. The proxy goes back to the caller; the service part keeps itself: its
// choice is stored on "Ok", a sign-in or sign-out at once.
// Once ProxySettingsDialog.
class ConnectionDialog final : public QDialog {
    Q_OBJECT
public:
    explicit ConnectionDialog(QWidget* parent = nullptr);
    ~ConnectionDialog() override;

    void SetSettings(const ProxySettings& settings);
    ProxySettings Settings() const;
    void SetService(const ServiceSettings& service);
    // The service part as the controls show it, with the stored sign-in.
    ServiceSettings Service() const;

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateControls();
    void SignInOrOut();
    void SignInFinished(bool ok);
    void UsePastedAddress();
    bool RedirectPortValid(quint16* port = nullptr) const;
    // False, with the reason shown, when the redirect port is none.
    bool CheckRedirectPort();

    std::unique_ptr<Ui::ConnectionDialog> ui;
    ServiceTokens m_tokens;
    std::unique_ptr<CurrentApiAuth> m_signIn;
    bool m_waiting = false; // a sign-in waits for the browser
};

// Edits the settings in a modal dialog; true on "Ok".
bool EditProxySettings(ProxySettings& settings, QWidget* owner = nullptr);
