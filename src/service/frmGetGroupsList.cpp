#include "service/frmGetGroupsList.h"

#include "app/modProxy.h"
#include "components/ComponentError.h"
#include "components/Messages.h"
#include "components/SettingsStore.h"
#include "history/frmHistory.h"
#include "store/modAccount.h"
#include "store/modStorage.h"
#include "widgets/WindowSupport.h"

#include <QPlainTextEdit>

frmGetGroupsList::frmGetGroupsList(QPlainTextEdit* groupsBox, QWidget* parent)
    : FormBase(Kind::Dialog, parent), m_groupsBox(groupsBox) {
    setupUi(this);
    m_account.Attach(this, lblEMail, txtEMail, txtPassword, cmdEMailHistory,
                     [this] { UpdateControls(); });
    setWindowFlag(Qt::Tool, true);
    LoadFrame();
    connect(cmdGetList, &QPushButton::clicked, this, &frmGetGroupsList::GetList);
    connect(cmdStop, &QPushButton::clicked, this, [this] { Stop(); });
    connect(cmdProxy, &QPushButton::clicked, this, &frmGetGroupsList::ShowConnectionSettings);
    HighlightOnFocus(this, {txtEMail, txtPassword});
    try {
        m_account.Load(GetDataPath());
    } catch (const ComponentError& error) {
        ErrorBox::ShowError(error, MsgIcon::Critical, QString());
        zsUnloadForm(this);
        return;
    }
    m_loaded = true;
    UpdateControls();
}

void frmGetGroupsList::SaveSettings() {
    try {
        SettingsStore store(SettingsStore::Writes::OnCommit);
        m_account.Save(store);
        store.Commit();
    } catch (const ComponentError& error) {
        ErrorBox::ShowError(error, MsgIcon::Critical, QStringLiteral("Can't save settings."));
    }
}

void frmGetGroupsList::UpdateControls() {
    const bool idle = !m_busy;
    for (QWidget* control : std::initializer_list<QWidget*>{cmdProxy, cmdGetList})
        control->setEnabled(idle);
    m_account.Enable(idle);
    cmdStop->setEnabled(m_busy);
    if (idle)
        cmdGetList->setEnabled(m_account.Ready());
}

void frmGetGroupsList::ShowConnectionSettings() {
    ShowProxySettings(this);
    m_account.Refresh();
    UpdateControls();
}

void frmGetGroupsList::GetList() {
    StartWork();
    if (m_account.CurrentApi()) {
        if (const std::optional<QString> groups = FetchBlogGroups(this)) {
            SetBoxText(m_groupsBox, *groups);
            zsUnloadForm(this);
        }
    } else {
        m_account.RememberEMail();
        ParseTumblelogs(Authenticate());
    }
    EndWork();
}

std::optional<QByteArray> frmGetGroupsList::Authenticate() {
    const std::optional<QByteArray> answer =
        ::Authenticate(txtEMail->text(), txtPassword->text(), this);
    m_launcher.Hide();
    return answer;
}

void frmGetGroupsList::SendProgress(qint64 sent, qint64 total) {
    if (total > 0)
        m_launcher.Show(static_cast<double>(sent) / total);
}

void frmGetGroupsList::ParseTumblelogs(const std::optional<QByteArray>& answer) {
    if (!answer)
        return;
    const std::optional<QString> groups = TumblelogsToGroups(*answer);
    if (!groups) {
        Messages::MsgBox(QStringLiteral("XML from Tumblr recieved but it contains invalid data."),
                         MsgIcon::Critical);
        return;
    }
    SetBoxText(m_groupsBox, *groups);
    zsUnloadForm(this);
}

void frmGetGroupsList::done(int result) {
    if (m_busy) {
        Stop();
        return;
    }
    if (m_loaded && !m_unloaded) {
        m_unloaded = true;
        SaveSettings();
    }
    FormBase::done(result);
}
