#include "service/frmSender.h"
#include "ui_frmSender.h"

#include "app/ConnectionSettings.h"
#include "app/DesktopNotification.h"
#include "app/KeyPreview.h"
#include "app/ToolbarMark.h"
#include "app/modCommon.h"
#include "components/ComponentError.h"
#include "components/Settings.h"
#include "components/SettingsStore.h"
#include "components/SupportLibrary.h"
#include "history/frmHistory.h"
#include "service/PostSender.h"
#include "service/PublishTime.h"
#include "service/modUploadApi.h"
#include "store/SendLock.h"
#include "store/modAccount.h"
#include "store/modStorage.h"
#include "widgets/FontScaling.h"
#include "widgets/Messages.h"
#include "widgets/WindowSupport.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLocale>

namespace {

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
    InstallKeyPreview(this, [this](QKeyEvent* event) { return KeyPreview(event); });
    MarkOnToolbar(this);
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
        m_queue = PostQueue(GetDataPath());
    } catch (const ComponentError& error) {
        ErrorBox::ShowError(error, MsgIcon::Critical, QString());
        zsUnloadForm(this);
        return;
    }
    FillStates();
    m_account.Load(m_queue.Folder());
    LoadSettings();
    RefreshFiles();
    m_loaded = true;
    UpdateControls();
}

void frmSender::FillStates() {
    ui->cboPostState->clear();
    ui->cboPostState->addItems(PostStateTexts());
    ui->cboPostState->setCurrentIndex(0);
    ui->txtPublishOn->move(ui->txtPublishOn->x(), ui->cboPostState->y());
    ui->txtPublishOn->hide();
}

void frmSender::StateChanged() {
    const bool publishOn = PostStateAt(ui->cboPostState->currentIndex()) == PostState::PublishOn;
    ui->txtPublishOn->setVisible(publishOn);
    ui->cboPostState->resize(DesignPixels(this, publishOn ? kNarrowListWidth : kWideListWidth),
                             ui->cboPostState->height());
}

void frmSender::LoadSettings() {
    const SettingsStore store;
    ui->txtPublishOn->setText(Settings::PublishPostOn.Read(store));
    const qint32 index = Settings::LastStateIndex.Read(store);
    // An index outside the list leaves "Publish now" selected.
    if (index >= 0 && index < ui->cboPostState->count())
        ui->cboPostState->setCurrentIndex(index);
}

void frmSender::SaveSettings() {
    try {
        SettingsStore store(SettingsStore::Writes::OnCommit);
        m_account.Save(store);
        Settings::PublishPostOn.Save(store, ui->txtPublishOn->text());
        Settings::LastStateIndex.Save(store, ui->cboPostState->currentIndex());
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
    if (const Problem problem = m_queue.Refresh()) {
        zsDebugPrint(QStringLiteral("frmSender ==> ") + problem->Details);
        if (m_busy)
            ErrorBox::Show(*problem);
    }
    ui->filFiles->SetNames(m_queue.Names());
    if (ui->filFiles->count() > 0)
        ui->filFiles->setCurrentRow(0);
    return m_queue.Listed();
}

void frmSender::SendPosts() {
    m_runPosts = ui->filFiles->count();
    StartWork();
    RunAnnouncement announcement(this);
    SendLock lock;
    try {
        if (!lock.TryLock(m_queue.Folder())) {
            Messages::MsgBox(SendLock::HeldText(), MsgIcon::Critical);
            EndWork();
            return;
        }
    } catch (const ComponentError& e) {
        ErrorBox::ShowError(e, MsgIcon::Critical, QStringLiteral("Can't send post."));
        EndWork();
        return;
    }
    m_queue.ForgetSkipped();
    m_unlinked.clear();
    m_sentInRun = 0;
    while (m_queue.NextIndex() >= 0) {
        if (!SendNextPost() || m_stopRequested)
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
    if (m_queue.Listed() && ui->filFiles->count() == 0)
        Messages::MsgBox(QStringLiteral("All done ^_^v"), MsgIcon::Information);
}

MsgResult frmSender::ConfirmResend(const Post& post) const {
    if (!post.UnansweredSince)
        return MsgResult::Yes;
    const QString text =
        QStringLiteral("This post may already be on your blog: its last upload ended without "
                       "an answer. Send it again?\r\n\r\nCaption: ") +
        post.Caption + QStringLiteral("\r\nLast try: ") +
        QLocale::system().toString(post.UnansweredSince->toLocalTime(), QLocale::ShortFormat);
    return Messages::MsgBox(text, MsgIcon::Question, MsgButtons::YesNoCancel);
}

bool frmSender::SendNextPost() {
    const QString path = m_queue.NextPath();
    const Outcome<Post> post = LoadPost(path, PostParts::WithPicture);
    if (!post) {
        ErrorBox::Show(post.Error());
        // A damaged post is never sent; the others still go.
        const bool damaged = post.Error().Number == ErrorNumber::PostDamaged;
        if (damaged)
            m_queue.Skip(path);
        return damaged;
    }
    switch (ConfirmResend(*post)) {
    case MsgResult::Yes:
        break;
    case MsgResult::No:
        m_queue.Skip(path);
        return true;
    default:
        return false;
    }
    if (!Upload(*post, path))
        return false;
    // A post left listed after the service took it would be sent again on the next turn.
    if (!DeletePost(path)) {
        Messages::MsgBox(SentPostNotDeletedText(path), MsgIcon::Critical);
        RefreshFiles();
        return false;
    }
    return RefreshFiles();
}

bool frmSender::Upload(const Post& post, const QString& path) {
    SendSettings settings;
    settings.CurrentApi = m_account.CurrentApi();
    settings.Account = {ui->txtEMail->text(), ui->txtPassword->text(), ui->txtPublishOn->text()};
    settings.State = PostStateAt(ui->cboPostState->currentIndex());
    const UploadOutcome outcome = SendPostWith(settings, post, this);
    MarkPostUnderWay(QString()); // also when no answer came
    switch (outcome.Outcome) {
    case UploadOutcome::Result::Accepted:
        ++m_sentInRun;
        if (!outcome.Linked())
            m_unlinked.append(QFileInfo(path).fileName());
        return true;
    case UploadOutcome::Result::LimitReached:
        Messages::MsgBox(LimitMessage(outcome.Limit, m_sentInRun), MsgIcon::Critical);
        return false;
    case UploadOutcome::Result::Refused:
        break;
    }
    ErrorBox::Show(outcome.Problem);
    return false;
}

void frmSender::MarkPostUnderWay(const QString& suffix) {
    const int row = m_queue.NextIndex();
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
    const int left = qMax(1, m_queue.Left());
    const int done = qMax(0, m_runPosts - left);
    m_launcher.Show((done + static_cast<double>(sent) / total) / m_runPosts, left);
}

void frmSender::AnswerArriving() {
    MarkPostUnderWay(QString());
}

void frmSender::ShowConnectionSettings() {
    OpenConnectionDialog(this);
    m_account.Refresh();
    UpdateControls();
}

bool frmSender::KeyPreview(QKeyEvent* event) {
    if (m_busy && event->key() == Qt::Key_F1 && HasExactly(event, Qt::ShiftModifier))
        return true;
    return MainWindowKeys(this, event);
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
