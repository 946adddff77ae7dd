#include "service/frmSender.h"
#include "ui_frmSender.h"

#include "app/DesktopNotification.h"
#include "app/modCommon.h"
#include "app/modProxy.h"
#include "components/ComponentError.h"
#include "components/Messages.h"
#include "components/SettingsStore.h"
#include "components/SupportLibrary.h"
#include "history/frmHistory.h"
#include "service/PublishTime.h"
#include "service/modUploadApi.h"
#include "store/SendLock.h"
#include "store/modAccount.h"
#include "store/modStorage.h"
#include "widgets/FontScaling.h"
#include "widgets/WindowSupport.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLocale>

namespace {

constexpr int kPublishOnState = 2;
constexpr int kNarrowListWidth = 125;
constexpr int kWideListWidth = 297;

} // namespace

frmSender::frmSender(QWidget* parent)
    : FormBase(Kind::MainWindow, parent), ui(std::make_unique<Ui::frmSender>()) {
    ui->setupUi(this);
    m_classicPublishOnTip = ui->txtPublishOn->toolTip();
    m_account.Attach(this, ui->lblEMail, ui->txtEMail, ui->txtPassword, ui->cmdEMailHistory,
                     [this] { UpdateControls(); });
    LoadFrame();
    connect(ui->cmdSendPosts, &QPushButton::clicked, this, &frmSender::SendPosts);
    connect(ui->cmdStop, &QPushButton::clicked, this, [this] { Stop(); });
    connect(ui->cmdProxy, &QPushButton::clicked, this, &frmSender::ShowConnectionSettings);
    connect(ui->cboPostState, &QComboBox::currentIndexChanged, this, &frmSender::StateChanged);
    HighlightOnFocus(this, {ui->txtEMail, ui->txtPassword, ui->txtPublishOn});
    Load();
}

frmSender::~frmSender() = default;

void frmSender::Load() {
    try {
        m_dataPath = GetDataPath();
    } catch (const ComponentError& error) {
        ErrorBox::ShowError(error, MsgIcon::Critical, QString());
        zsUnloadForm(this);
        return;
    }
    FillStates();
    m_account.Load(m_dataPath);
    LoadSettings();
    RefreshFiles();
    m_loaded = true;
    UpdateControls();
}

void frmSender::FillStates() {
    const QStringList states = {QStringLiteral("Publish now"),     QStringLiteral("Add to queue"),
                                QStringLiteral("Publish on..."),   QStringLiteral("Save as draft"),
                                QStringLiteral("Make submission"), QStringLiteral("Private")};
    ui->cboPostState->clear();
    for (int code = 0; code < states.size(); ++code)
        ui->cboPostState->addItem(states.at(code), code);
    ui->cboPostState->setCurrentIndex(0);
    ui->txtPublishOn->move(ui->txtPublishOn->x(), ui->cboPostState->y());
    ui->txtPublishOn->hide();
}

void frmSender::StateChanged() {
    const bool publishOn = ui->cboPostState->currentData().toInt() == kPublishOnState;
    ui->txtPublishOn->setVisible(publishOn);
    ui->cboPostState->resize(DesignPixels(this, publishOn ? kNarrowListWidth : kWideListWidth),
                             ui->cboPostState->height());
}

void frmSender::LoadSettings() {
    const SettingsStore store;
    ui->txtPublishOn->setText(store.ReadText(QStringLiteral("Publish Post On")));
    const qint32 index = store.ReadLong(QStringLiteral("Last State Index"), 0);
    // An index outside the list leaves "Publish now" selected.
    if (index >= 0 && index < ui->cboPostState->count())
        ui->cboPostState->setCurrentIndex(index);
}

void frmSender::SaveSettings() {
    try {
        SettingsStore store(SettingsStore::Writes::OnCommit);
        m_account.Save(store);
        store.SaveText(QStringLiteral("Publish Post On"), ui->txtPublishOn->text());
        store.SaveLong(QStringLiteral("Last State Index"), ui->cboPostState->currentIndex());
        store.Commit();
    } catch (const ComponentError& error) {
        ErrorBox::ShowError(error, MsgIcon::Critical, QStringLiteral("Can't save settings."));
    }
}

void frmSender::UpdateControls() {
    const bool idle = !m_busy;
    for (QWidget* control : std::initializer_list<QWidget*>{
             ui->filFiles, ui->cmdProxy, ui->cmdSendPosts, ui->cboPostState, ui->txtPublishOn})
        control->setEnabled(idle);
    m_account.Enable(idle);
    ui->cmdStop->setEnabled(m_busy);
    ui->txtPublishOn->setToolTip(m_account.CurrentApi() ? PublishTimeToolTip()
                                                        : m_classicPublishOnTip);
    if (idle)
        ui->cmdSendPosts->setEnabled(m_account.Ready() && ui->filFiles->count() > 0);
    setWindowTitle(
        MakeWindowTitle(QStringLiteral("Send mode :: ") + QString::number(ui->filFiles->count())));
}

bool frmSender::RefreshFiles() {
    FileNameList names;
    m_listed = true;
    try {
        names = ListPostInfos(m_dataPath);
    } catch (const ComponentError& e) {
        // A folder that cannot be read lists nothing, so nothing is sent.
        m_listed = false;
        zsDebugPrint(QStringLiteral("frmSender ==> ") + e.Description());
        if (m_busy)
            ErrorBox::ShowError(
                e, MsgIcon::Critical,
                Messages::AboutPath(m_dataPath, QStringLiteral("Can't list the posts.")));
    }
    ui->filFiles->SetNames(names);
    if (ui->filFiles->count() > 0)
        ui->filFiles->setCurrentRow(0);
    return m_listed;
}

int frmSender::NextPostRow() const {
    for (int row = 0; row < ui->filFiles->count(); ++row) {
        if (!m_skipped.contains(ui->filFiles->text(row)))
            return row;
    }
    return -1;
}

void frmSender::SendPosts() {
    m_runPosts = ui->filFiles->count();
    StartWork();
    RunAnnouncement announcement(this);
    SendLock lock;
    try {
        if (!lock.TryLock(m_dataPath)) {
            Messages::MsgBox(QStringLiteral("Another copy of the program is sending posts from "
                                            "this data folder. Try again when it has finished."),
                             MsgIcon::Critical);
            EndWork();
            return;
        }
    } catch (const ComponentError& e) {
        ErrorBox::ShowError(e, MsgIcon::Critical, QStringLiteral("Can't send post."));
        EndWork();
        return;
    }
    m_skipped.clear();
    m_unlinked.clear();
    m_sentInRun = 0;
    while (NextPostRow() >= 0) {
        if (!SendFirstPost() || m_stopRequested)
            break;
        UpdateControls();
    }
    m_launcher.Hide();
    EndWork();
    announcement.Finish(
        QStringLiteral("%1 posts sent, %2 left").arg(m_sentInRun).arg(ui->filFiles->count()));
    if (!m_account.CurrentApi())
        m_account.RememberEMail();
    if (!m_unlinked.isEmpty())
        Messages::MsgBox(QStringLiteral("These posts went out, but the service's answer held no "
                                        "id for them, so the links list has no line for them:"
                                        "\r\n\r\n") +
                             m_unlinked.join(QStringLiteral("\r\n")),
                         MsgIcon::Information);
    if (m_listed && ui->filFiles->count() == 0)
        Messages::MsgBox(QStringLiteral("All done ^_^v"), MsgIcon::Information);
}

MsgResult frmSender::ConfirmResend(const QString& path, const QString& caption) const {
    const std::optional<QDateTime> since = PostSendingSince(path);
    if (!since)
        return MsgResult::Yes;
    const QString text =
        QStringLiteral("This post may already be on your blog: its last upload ended without "
                       "an answer. Send it again?\r\n\r\nCaption: ") +
        caption + QStringLiteral("\r\nLast try: ") +
        QLocale::system().toString(since->toLocalTime(), QLocale::ShortFormat);
    return Messages::MsgBox(text, MsgIcon::Question, MsgButtons::YesNoCancel);
}

bool frmSender::SendFirstPost() {
    const QString name = ui->filFiles->text(NextPostRow());
    const QString path = zsBuildFileName(m_dataPath, name);
    QString group;
    QString caption;
    QString tags;
    QByteArray picture;
    bool damaged = false;
    if (!LoadPost(path, group, caption, tags, &picture, &damaged)) {
        // A damaged post is never sent; the others still go.
        if (damaged)
            m_skipped.insert(name);
        return damaged;
    }
    switch (ConfirmResend(path, caption)) {
    case MsgResult::Yes:
        break;
    case MsgResult::No:
        m_skipped.insert(name);
        return true;
    default:
        return false;
    }
    if (!SendPost(group, caption, tags, picture, ui->cboPostState->currentData().toInt(), path))
        return false;
    // A post left listed after the service took it would be sent again on the next turn.
    if (!DeletePost(path)) {
        Messages::MsgBox(
            Messages::AboutPath(path,
                                QStringLiteral("The post was sent, but its file can't be deleted. "
                                               "Delete it before sending again, or the post is "
                                               "sent twice.")),
            MsgIcon::Critical);
        RefreshFiles();
        return false;
    }
    return RefreshFiles();
}

bool frmSender::SendPost(const QString& group, const QString& caption, const QString& tags,
                         const QByteArray& picture, int stateCode, const QString& path) {
    const UploadPost post{group, caption, tags, picture, stateCode, path};
    bool accepted = false;
    bool linked = false;
    if (m_account.CurrentApi()) {
        QString publishOn;
        if (stateCode == kPublishOnState) {
            // Read before any upload, so a time the service can't take stops the run first.
            const PublishTime time = ReadPublishTime(ui->txtPublishOn->text());
            if (!time.Problem.isEmpty()) {
                Messages::MsgBox(time.Problem, MsgIcon::Critical);
                return false;
            }
            publishOn = time.Rfc3339;
        }
        const ApiUploadOutcome outcome = SendPostToApi(post, publishOn, this);
        if (outcome.Outcome == ApiUploadOutcome::Result::LimitReached)
            Messages::MsgBox(LimitMessage(outcome.Limit, m_sentInRun), MsgIcon::Critical);
        accepted = outcome.Outcome == ApiUploadOutcome::Result::Accepted;
        linked = outcome.Linked;
    } else {
        const UploadAccount account{ui->txtEMail->text(), ui->txtPassword->text(),
                                    ui->txtPublishOn->text()};
        accepted = ::SendPost(account, post, this, kUploadTimeoutMs, &linked);
    }
    MarkPostUnderWay(QString()); // also when no answer came
    if (accepted)
        ++m_sentInRun;
    if (accepted && !linked)
        m_unlinked.append(QFileInfo(path).fileName());
    return accepted;
}

void frmSender::MarkPostUnderWay(const QString& suffix) {
    const int row = NextPostRow();
    if (row >= 0)
        ui->filFiles->SetRowSuffix(row, suffix);
}

void frmSender::SendProgress(qint64 sent, qint64 total) {
    if (!m_busy || m_runPosts == 0 || total <= 0)
        return;
    // Bytes handed on may still wait in the socket: 100% would claim the service has them all.
    MarkPostUnderWay(sent < total
                         ? QStringLiteral(" - %1%").arg(qMin<qint64>(sent * 100 / total, 99))
                         : QStringLiteral(" - waiting for the answer"));
    // Posts skipped in this run stay listed but count as done.
    const int left = qMax(1, ui->filFiles->count() - static_cast<int>(m_skipped.size()));
    const int done = qMax(0, m_runPosts - left);
    m_launcher.Show((done + static_cast<double>(sent) / total) / m_runPosts, left);
}

void frmSender::AnswerArriving() {
    MarkPostUnderWay(QString());
}

void frmSender::ShowConnectionSettings() {
    ShowProxySettings(this);
    m_account.Refresh();
    UpdateControls();
}

bool frmSender::KeyPreview(QKeyEvent* event) {
    if (m_busy && event->key() == Qt::Key_F1 && HasExactly(event, Qt::ShiftModifier))
        return true;
    return FormBase::KeyPreview(event);
}

bool frmSender::QueryUnload() {
    if (m_busy) {
        Stop();
        return false;
    }
    return true;
}

void frmSender::OnUnload() {
    if (!m_loaded)
        return;
    SaveSettings();
}
