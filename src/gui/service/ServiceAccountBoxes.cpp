#include "service/ServiceAccountBoxes.h"

#include "components/SettingsStore.h"
#include "history/frmHistory.h"
#include "store/modAccount.h"
#include "store/modServiceSettings.h"
#include "widgets/Messages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

void ServiceAccountBoxes::Attach(QWidget* window, QLabel* label, QLineEdit* email,
                                 QLineEdit* password, QPushButton* history,
                                 const std::function<void()>& changed) {
    m_label = label;
    m_email = email;
    m_password = password;
    m_history = history;
    QObject::connect(history, &QPushButton::clicked, window,
                     [this] { ShowHistoryDialog(m_emailHistory, m_email); });
    QObject::connect(email, &QLineEdit::textChanged, window, changed);
    QObject::connect(password, &QLineEdit::textChanged, window, changed);
}

void ServiceAccountBoxes::Load(const QString& dataPath) {
    m_emailHistory.InitFileName(dataPath, QStringLiteral("EMail History.DAT"));
    ErrorBox::Report(m_emailHistory.LoadHistory());
    Refresh();
    const RememberedAccount account = LoadAccount(SettingsStore());
    SetAccount(account.EMail, account.Password);
}

void ServiceAccountBoxes::Save(SettingsStore& store) const {
    ErrorBox::Report(m_emailHistory.SaveHistory());
    SaveAccount(store, {EMail(), Password()});
}

void ServiceAccountBoxes::RememberEMail() {
    m_emailHistory.Add(m_email->text());
}

void ServiceAccountBoxes::Refresh() {
    const ServiceSettings settings = LoadServiceSettings();
    const bool currentApi = settings.Service == ServiceKind::CurrentApi;
    m_signedIn = settings.Tokens.SignedIn();
    if (currentApi && !m_currentApi) {
        m_keptEMail = m_email->text();
        m_keptPassword = m_password->text();
    }
    const bool back = !currentApi && m_currentApi;
    m_currentApi = currentApi;
    if (currentApi) {
        m_label->setText(QStringLiteral("Account:"));
        m_email->setPlaceholderText(QStringLiteral("not signed in (see \"Proxy\")"));
        m_email->setText(m_signedIn ? settings.Tokens.AccountName : QString());
        m_password->clear();
    } else if (back) {
        m_label->setText(QStringLiteral("E-Mail:"));
        m_email->setPlaceholderText(QString());
        SetAccount(m_keptEMail, m_keptPassword);
    }
}

QString ServiceAccountBoxes::EMail() const {
    return m_currentApi ? m_keptEMail : m_email->text();
}

QString ServiceAccountBoxes::Password() const {
    return m_currentApi ? m_keptPassword : m_password->text();
}

void ServiceAccountBoxes::SetAccount(const QString& email, const QString& password) {
    if (m_currentApi) {
        m_keptEMail = email;
        m_keptPassword = password;
        return;
    }
    m_email->setText(email);
    m_password->setText(password);
}

void ServiceAccountBoxes::Enable(bool idle) {
    m_email->setEnabled(idle && !m_currentApi);
    m_password->setEnabled(idle && !m_currentApi);
    m_history->setEnabled(idle && !m_currentApi);
}

bool ServiceAccountBoxes::Ready() const {
    return m_currentApi ? m_signedIn : !m_email->text().isEmpty() && !m_password->text().isEmpty();
}
