#pragma once

#include <QString>

class QLabel;
class QLineEdit;

// The e-mail and password boxes of a window that talks to the service. With the classic
// interface they hold the account. With the current API they are not needed: they are
// disabled and the e-mail box shows the signed-in account's name, while what was typed is
// kept aside for a return to the classic interface.
class ServiceAccountBoxes final {
public:
    // The window's boxes, once its layout is set up.
    void Attach(QLabel* label, QLineEdit* email, QLineEdit* password);

    // Shows the interface the stored settings choose; after the connection settings changed.
    void Refresh();
    bool CurrentApi() const { return m_currentApi; }
    bool SignedIn() const { return m_signedIn; }

    // The classic account, whichever interface is shown.
    QString EMail() const;
    QString Password() const;
    void SetAccount(const QString& email, const QString& password);
    // Whether the boxes are open for typing when the window is idle.
    void Enable(bool idle);
    // Enough to talk to the service: an e-mail and a password, or a sign-in.
    bool Ready() const;

private:
    QLabel* m_label = nullptr;
    QLineEdit* m_email = nullptr;
    QLineEdit* m_password = nullptr;
    bool m_currentApi = false;
    bool m_signedIn = false;
    QString m_keptEMail;
    QString m_keptPassword;
};
