#include "service/frmGetGroupsList.h"
#include "ui_frmGetGroupsList.h"

#include "app/ConnectionSettings.h"
#include "app/DesktopNotification.h"
#include "app/ToolbarMark.h"
#include "components/ComponentError.h"
#include "components/SettingsStore.h"
#include "history/frmHistory.h"
#include "store/modAccount.h"
#include "store/modStorage.h"
#include "widgets/Messages.h"
#include "widgets/WindowSupport.h"

#include <QPlainTextEdit>

frmGetGroupsList::frmGetGroupsList(QPlainTextEdit* groupsBox, QWidget* parent)
    : FormBase(Kind::Dialog, parent), ui(std::make_unique<Ui::frmGetGroupsList>()),
      m_groupsBox(groupsBox) {
    ui->setupUi(this);
    m_account.Attach(this, ui->lblEMail, ui->txtEMail, ui->txtPassword, ui->cmdEMailHistory,
                     [this] { UpdateControls(); });
    setWindowFlag(Qt::Tool, true);
    LoadFrame();
    MarkOnToolbar(this);
    connect(ui->cmdGetList, &QPushButton::clicked, this, &frmGetGroupsList::GetList);
    connect(ui->cmdStop, &QPushButton::clicked, this, [this] { Stop(); });
    connect(ui->cmdProxy, &QPushButton::clicked, this, &frmGetGroupsList::ShowConnectionSettings);
    HighlightOnFocus(this, {ui->txtEMail, ui->txtPassword});
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

frmGetGroupsList::~frmGetGroupsList() = default;

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
    for (QWidget* control : std::initializer_list<QWidget*>{ui->cmdProxy, ui->cmdGetList})
        control->setEnabled(idle);
    m_account.Enable(idle);
    ui->cmdStop->setEnabled(m_busy);
    if (idle)
        ui->cmdGetList->setEnabled(m_account.Ready());
}

void frmGetGroupsList::ShowConnectionSettings() {
    OpenConnectionDialog(this);
    m_account.Refresh();
    UpdateControls();
}

void frmGetGroupsList::GetList() {
    StartWork();
    RunAnnouncement announcement(this);
    m_fetched = false;
    if (m_account.CurrentApi()) {
        const Outcome<BlogList> blogs = FetchBlogs(this);
        if (blogs) {
            SetBoxText(m_groupsBox, GroupsText(*blogs));
            m_fetched = true;
            zsUnloadForm(this);
        } else {
            ErrorBox::Show(blogs.Error());
        }
    } else {
        m_account.RememberEMail();
        ParseTumblelogs(Authenticate());
    }
    EndWork();
    if (m_fetched)
        announcement.Finish(QStringLiteral("%1 groups fetched").arg(m_groupsBox->blockCount()));
}

std::optional<QByteArray> frmGetGroupsList::Authenticate() {
    const Outcome<QByteArray> answer =
        ::Authenticate(ui->txtEMail->text(), ui->txtPassword->text(), this);
    m_launcher.Hide();
    if (!answer) {
        ErrorBox::Show(answer.Error());
        return std::nullopt;
    }
    return *answer;
}

void frmGetGroupsList::SendProgress(qint64 sent, qint64 total) {
    if (total > 0)
        m_launcher.Show(static_cast<double>(sent) / total);
}

void frmGetGroupsList::ParseTumblelogs(const std::optional<QByteArray>& answer) {
    if (!answer)
        return;
    const std::optional<BlogList> blogs = TumblelogsToBlogs(*answer);
    if (!blogs) {
        Messages::MsgBox(QStringLiteral("XML from Tumblr recieved but it contains invalid data."),
                         MsgIcon::Critical);
        return;
    }
    SetBoxText(m_groupsBox, GroupsText(*blogs));
    m_fetched = true;
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
