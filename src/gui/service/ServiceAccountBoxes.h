#pragma once

#include "history/CHistory.h"

#include <QString>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class SettingsStore;

// The e-mail and password boxes of a window that talks to the service. With the classic
// interface they hold the account. With the current API they are not needed: they are
// disabled and the e-mail box shows the signed-in account's name, while what was typed is
// kept aside for a return to the classic interface. The send window and the groups fetch
// share them, with the e-mail history and its button.
class ServiceAccountBoxes final {
public:
    // The window's boxes, once its layout is set up; `changed` runs when a box changes.
    void Attach(QWidget* window, QLabel* label, QLineEdit* email, QLineEdit* password,
                QPushButton* history, const std::function<void()>& changed);
    // Opens the e-mail history of the data folder, shows the chosen interface and fills the
    // boxes with the remembered account.
    void Load(const QString& dataPath);
    // Keeps the e-mail history, and the account in the settings.
    void Save(SettingsStore& store) const;
    void RememberEMail();

    // Shows the interface the stored settings choose; after the connection settings changed.
    void Refresh();
    bool CurrentApi() const { return m_currentApi; }
    bool SignedIn() const { return m_signedIn; }

    // The classic account, whichever interface is shown.
    QString EMail() const;
    QString Password() const;
    void SetAccount(const QString& email, const QString& password);
    // Whether the boxes and the history button are open when the window is idle.
    void Enable(bool idle);
    // Enough to talk to the service: an e-mail and a password, or a sign-in.
    bool Ready() const;

private:
    QLabel* m_label = nullptr;
    QLineEdit* m_email = nullptr;
    QLineEdit* m_password = nullptr;
    QPushButton* m_history = nullptr;
    CHistory m_emailHistory;
    bool m_currentApi = false;
    bool m_signedIn = false;
    QString m_keptEMail;
    QString m_keptPassword;
};
