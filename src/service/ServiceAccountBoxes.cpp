#include "service/ServiceAccountBoxes.h"

#include "store/modServiceSettings.h"

#include <QLabel>
#include <QLineEdit>

void ServiceAccountBoxes::Attach(QLabel* label, QLineEdit* email, QLineEdit* password) {
    m_label = label;
    m_email = email;
    m_password = password;
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
}

bool ServiceAccountBoxes::Ready() const {
    return m_currentApi ? m_signedIn : !m_email->text().isEmpty() && !m_password->text().isEmpty();
}
