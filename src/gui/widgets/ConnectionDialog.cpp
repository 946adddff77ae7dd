#include "widgets/ConnectionDialog.h"
#include "ui_ConnectionDialog.h"

#include "app/FormBase.h"
#include "components/PortNumber.h"
#include "service/CurrentApiAuth.h"
#include "widgets/FontScaling.h"
#include "widgets/Messages.h"
#include "widgets/WindowSupport.h"

#include <QDesktopServices>
#include <QKeyEvent>

bool EditProxySettings(ProxySettings& settings, QWidget* owner) {
    ConnectionDialog dialog(owner);
    dialog.SetSettings(settings);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings = dialog.Settings();
    return true;
}

ConnectionDialog::ConnectionDialog(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::ConnectionDialog>()) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    zsSetFrameFont(this);
    ScaleToDesktopFont(this);
    zsCenterFormEx(this);
    EnterPressesFocusedButton(this);
    connect(ui->cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QRadioButton* option :
         {ui->optNone, ui->optHttp, ui->optSocks5, ui->optClassic, ui->optCurrentApi})
        connect(option, &QRadioButton::toggled, this, &ConnectionDialog::UpdateControls);
    connect(ui->txtRedirectPort, &QLineEdit::textChanged, this, &ConnectionDialog::UpdateControls);
    connect(ui->cmdSignIn, &QPushButton::clicked, this, &ConnectionDialog::SignInOrOut);
    connect(ui->cmdUsePastedAddress, &QPushButton::clicked, this,
            &ConnectionDialog::UsePastedAddress);
    ui->txtPastedAddress->installEventFilter(this);
    SetService(LoadServiceSettings());
}

ConnectionDialog::~ConnectionDialog() = default;

void ConnectionDialog::SetSettings(const ProxySettings& settings) {
    ui->optHttp->setChecked(settings.Type == ProxySettings::Kind::Http);
    ui->optSocks5->setChecked(settings.Type == ProxySettings::Kind::Socks5);
    ui->optNone->setChecked(settings.Type == ProxySettings::Kind::None);
    ui->txtHost->setText(settings.Host);
    ui->txtPort->setText(settings.Port != 0 ? QString::number(settings.Port) : QString());
    ui->txtUser->setText(settings.User);
    ui->txtPassword->setText(settings.Password);
    UpdateControls();
}

ProxySettings ConnectionDialog::Settings() const {
    ProxySettings settings;
    if (ui->optHttp->isChecked())
        settings.Type = ProxySettings::Kind::Http;
    else if (ui->optSocks5->isChecked())
        settings.Type = ProxySettings::Kind::Socks5;
    settings.Host = ui->txtHost->text().trimmed();
    settings.Port = PortNumber(ui->txtPort->text()).value_or(0);
    settings.User = ui->txtUser->text();
    settings.Password = ui->txtPassword->text();
    return settings;
}

void ConnectionDialog::SetService(const ServiceSettings& service) {
    ui->optCurrentApi->setChecked(service.Service == ServiceKind::CurrentApi);
    ui->optClassic->setChecked(service.Service == ServiceKind::Classic);
    ui->txtConsumerKey->setText(service.ConsumerKey);
    ui->txtConsumerSecret->setText(service.ConsumerSecret);
    ui->txtRedirectPort->setText(QString::number(service.RedirectPort));
    ui->lblSecretsKept->setText(
        service.SecretsInKeyring
            ? QStringLiteral("The secret and the sign-in are kept in the desktop's keyring.")
            : QStringLiteral("No desktop keyring: the secret and the sign-in are kept in the "
                             "settings file."));
    m_tokens = service.Tokens;
    UpdateControls();
}

ServiceSettings ConnectionDialog::Service() const {
    ServiceSettings service;
    service.Service =
        ui->optCurrentApi->isChecked() ? ServiceKind::CurrentApi : ServiceKind::Classic;
    service.ConsumerKey = ui->txtConsumerKey->text().trimmed();
    service.ConsumerSecret = ui->txtConsumerSecret->text().trimmed();
    RedirectPortValid(&service.RedirectPort);
    service.Tokens = m_tokens;
    return service;
}

bool ConnectionDialog::RedirectPortValid(quint16* port) const {
    const std::optional<quint16> value = PortNumber(ui->txtRedirectPort->text());
    if (value && port)
        *port = *value;
    return value.has_value();
}

bool ConnectionDialog::CheckRedirectPort() {
    if (RedirectPortValid())
        return true;
    Messages::MsgBox(QStringLiteral("Enter a redirect port from 1 to 65535."), MsgIcon::Critical);
    ui->txtRedirectPort->setFocus();
    return false;
}

void ConnectionDialog::SignInOrOut() {
    if (m_tokens.SignedIn()) {
        if (!SaveServiceTokens({})) {
            Messages::MsgBox(QStringLiteral("Can't save settings."), MsgIcon::Critical);
            return;
        }
        m_tokens = {};
        UpdateControls();
        return;
    }
    if (ui->txtConsumerKey->text().trimmed().isEmpty() ||
        ui->txtConsumerSecret->text().trimmed().isEmpty()) {
        Messages::MsgBox(QStringLiteral("Enter the consumer key and secret of the application "
                                        "you registered with the service."),
                         MsgIcon::Critical);
        ui->txtConsumerKey->setFocus();
        return;
    }
    if (!CheckRedirectPort())
        return;
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
    ui->txtPastedAddress->clear();
    ui->lblAccount->setText(QStringLiteral("Waiting for the browser..."));
    UpdateControls();
}

bool ConnectionDialog::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the pasted address uses it rather than closing the dialog with "Ok".
    if (watched == ui->txtPastedAddress && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            UsePastedAddress();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ConnectionDialog::UsePastedAddress() {
    if (!m_waiting || !m_signIn)
        return;
    if (const std::optional<QString> why =
            m_signIn->UsePastedAddress(ui->txtPastedAddress->text())) {
        Messages::MsgBox(*why + QStringLiteral(" Paste the whole address the browser shows once "
                                               "you allowed the access."),
                         MsgIcon::Critical);
        ui->txtPastedAddress->setFocus();
        ui->txtPastedAddress->selectAll();
    }
}

void ConnectionDialog::SignInFinished(bool ok) {
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

void ConnectionDialog::accept() {
    // A proxy without a usable address would make every request fail in a puzzling way.
    if (!ui->optNone->isChecked()) {
        if (ui->txtHost->text().trimmed().isEmpty()) {
            Messages::MsgBox(QStringLiteral("Enter the proxy host."), MsgIcon::Critical);
            ui->txtHost->setFocus();
            return;
        }
        if (!PortNumber(ui->txtPort->text())) {
            Messages::MsgBox(QStringLiteral("Enter a proxy port from 1 to 65535."),
                             MsgIcon::Critical);
            ui->txtPort->setFocus();
            return;
        }
    }
    if (ui->optCurrentApi->isChecked() && !CheckRedirectPort())
        return;
    if (!SaveServiceChoice(Service())) {
        Messages::MsgBox(QStringLiteral("Can't save settings."), MsgIcon::Critical);
        return;
    }
    QDialog::accept();
}

void ConnectionDialog::UpdateControls() {
    const bool proxy = !ui->optNone->isChecked();
    for (QWidget* control :
         std::initializer_list<QWidget*>{ui->txtHost, ui->txtPort, ui->txtUser, ui->txtPassword})
        control->setEnabled(proxy);
    const bool api = ui->optCurrentApi->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{
             ui->txtConsumerKey, ui->txtConsumerSecret, ui->txtRedirectPort, ui->cmdSignIn,
             ui->lblRedirectUri, ui->lblSecretsKept})
        control->setEnabled(api);
    ui->txtPastedAddress->setEnabled(api && m_waiting);
    ui->cmdUsePastedAddress->setEnabled(api && m_waiting);
    quint16 port = 0;
    ui->lblRedirectUri->setText(RedirectPortValid(&port) ? QStringLiteral("Redirect address: ") +
                                                               CurrentApiAuth::RedirectUri(port)
                                                         : QString());
    ui->cmdSignIn->setText(m_tokens.SignedIn() ? QStringLiteral("Sign out")
                                               : QStringLiteral("Sign in"));
    if (m_tokens.SignedIn())
        ui->lblAccount->setText(QStringLiteral("Signed in as ") + m_tokens.AccountName);
    else if (!m_waiting)
        ui->lblAccount->setText(QStringLiteral("Not signed in"));
}
