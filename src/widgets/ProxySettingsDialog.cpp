#include "widgets/ProxySettingsDialog.h"

#include "app/FormBase.h"
#include "components/Messages.h"
#include "service/CurrentApiAuth.h"
#include "widgets/WindowSupport.h"

#include <QDesktopServices>

bool EditProxySettings(ProxySettings& settings, QWidget* owner) {
    ProxySettingsDialog dialog(owner);
    dialog.SetSettings(settings);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings = dialog.Settings();
    return true;
}

ProxySettingsDialog::ProxySettingsDialog(QWidget* parent) : QDialog(parent) {
    setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    zsSetFrameFont(this);
    zsCenterFormEx(this);
    EnterPressesFocusedButton(this);
    connect(cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QRadioButton* option : {optNone, optHttp, optSocks5, optClassic, optCurrentApi})
        connect(option, &QRadioButton::toggled, this, &ProxySettingsDialog::UpdateControls);
    connect(txtRedirectPort, &QLineEdit::textChanged, this, &ProxySettingsDialog::UpdateControls);
    connect(cmdSignIn, &QPushButton::clicked, this, &ProxySettingsDialog::SignInOrOut);
    SetService(LoadServiceSettings());
}

ProxySettingsDialog::~ProxySettingsDialog() = default;

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

void ProxySettingsDialog::SetService(const ServiceSettings& service) {
    optCurrentApi->setChecked(service.Service == ServiceKind::CurrentApi);
    optClassic->setChecked(service.Service == ServiceKind::Classic);
    txtConsumerKey->setText(service.ConsumerKey);
    txtConsumerSecret->setText(service.ConsumerSecret);
    txtRedirectPort->setText(QString::number(service.RedirectPort));
    m_tokens = service.Tokens;
    UpdateControls();
}

ServiceSettings ProxySettingsDialog::Service() const {
    ServiceSettings service;
    service.Service = optCurrentApi->isChecked() ? ServiceKind::CurrentApi : ServiceKind::Classic;
    service.ConsumerKey = txtConsumerKey->text().trimmed();
    service.ConsumerSecret = txtConsumerSecret->text().trimmed();
    RedirectPortValid(&service.RedirectPort);
    service.Tokens = m_tokens;
    return service;
}

bool ProxySettingsDialog::RedirectPortValid(quint16* port) const {
    bool ok = false;
    const uint value = txtRedirectPort->text().trimmed().toUInt(&ok);
    if (!ok || value == 0 || value > 65535)
        return false;
    if (port)
        *port = static_cast<quint16>(value);
    return true;
}

void ProxySettingsDialog::SignInOrOut() {
    if (m_tokens.SignedIn()) {
        if (!SaveServiceTokens({})) {
            Messages::MsgBox(QStringLiteral("Can't save settings."), MsgIcon::Critical);
            return;
        }
        m_tokens = {};
        UpdateControls();
        return;
    }
    if (txtConsumerKey->text().trimmed().isEmpty() ||
        txtConsumerSecret->text().trimmed().isEmpty()) {
        Messages::MsgBox(QStringLiteral("Enter the consumer key and secret of the application "
                                        "you registered with the service."),
                         MsgIcon::Critical);
        txtConsumerKey->setFocus();
        return;
    }
    if (!RedirectPortValid()) {
        Messages::MsgBox(QStringLiteral("Enter a redirect port from 1 to 65535."),
                         MsgIcon::Critical);
        txtRedirectPort->setFocus();
        return;
    }
    // A new press starts afresh; an earlier sign-in that never came back is dropped.
    m_waiting = false;
    m_signIn = std::make_unique<CurrentApiAuth>(Service());
    connect(m_signIn.get(), &CurrentApiAuth::OpenBrowser, this, [](const QUrl& url) {
        if (!QDesktopServices::openUrl(url))
            Messages::MsgBox(url.toString(QUrl::FullyEncoded) +
                                 QStringLiteral("\r\n\r\nCan't open a browser for the "
                                                "sign-in. Open this address in one."),
                             MsgIcon::Information);
    });
    // Queued, so the sign-in is not deleted inside its own signal; a sign-in that was
    // replaced meanwhile is not taken for the current one.
    connect(
        m_signIn.get(), &CurrentApiAuth::Finished, this,
        [this, signIn = m_signIn.get()](bool ok) {
            if (m_signIn.get() == signIn)
                SignInFinished(ok);
        },
        Qt::QueuedConnection);
    if (!m_signIn->SignIn()) {
        Messages::MsgBox(QStringLiteral("Can't sign in. ") + m_signIn->Failure(),
                         MsgIcon::Critical);
        return;
    }
    m_waiting = true;
    lblAccount->setText(QStringLiteral("Waiting for the browser..."));
}

void ProxySettingsDialog::SignInFinished(bool ok) {
    if (!ok) {
        Messages::MsgBox(QStringLiteral("Can't sign in. ") + m_signIn->Failure(),
                         MsgIcon::Critical);
    } else {
        // The tokens belong to this application key, so both are kept together.
        ServiceSettings service = Service();
        service.Tokens = m_signIn->Tokens();
        if (SaveServiceChoice(service) && SaveServiceTokens(service.Tokens))
            m_tokens = service.Tokens;
        else
            Messages::MsgBox(QStringLiteral("Can't save settings."), MsgIcon::Critical);
    }
    // Kept until the next sign-in or the dialog's end, so the browser's page still gets out.
    m_waiting = false;
    UpdateControls();
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
    if (optCurrentApi->isChecked() && !RedirectPortValid()) {
        Messages::MsgBox(QStringLiteral("Enter a redirect port from 1 to 65535."),
                         MsgIcon::Critical);
        txtRedirectPort->setFocus();
        return;
    }
    if (!SaveServiceChoice(Service())) {
        Messages::MsgBox(QStringLiteral("Can't save settings."), MsgIcon::Critical);
        return;
    }
    QDialog::accept();
}

void ProxySettingsDialog::UpdateControls() {
    const bool proxy = !optNone->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{txtHost, txtPort, txtUser, txtPassword})
        control->setEnabled(proxy);
    const bool api = optCurrentApi->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{
             txtConsumerKey, txtConsumerSecret, txtRedirectPort, cmdSignIn, lblRedirectUri})
        control->setEnabled(api);
    quint16 port = 0;
    lblRedirectUri->setText(RedirectPortValid(&port) ? QStringLiteral("Redirect address: ") +
                                                           CurrentApiAuth::RedirectUri(port)
                                                     : QString());
    cmdSignIn->setText(m_tokens.SignedIn() ? QStringLiteral("Sign out")
                                           : QStringLiteral("Sign in"));
    if (m_tokens.SignedIn())
        lblAccount->setText(QStringLiteral("Signed in as ") + m_tokens.AccountName);
    else if (!m_waiting)
        lblAccount->setText(QStringLiteral("Not signed in"));
}
