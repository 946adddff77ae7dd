#include "creation/frmCreator.h"
#include "ui_frmCreator.h"

#include "app/DropTarget.h"
#include "app/KeyPreview.h"
#include "app/PasteFileName.h"
#include "app/ToolbarMark.h"
#include "app/modCommon.h"
#include "components/ComponentError.h"
#include "components/PictureKinds.h"
#include "components/Settings.h"
#include "components/SettingsStore.h"
#include "components/SupportLibrary.h"
#include "creation/frmBatch.h"
#include "creation/frmBatchURLs.h"
#include "creation/frmEditGroups.h"
#include "creation/modBatch.h"
#include "creation/modTags.h"
#include "history/frmHistory.h"
#include "manage/frmPostManager.h"
#include "service/frmLinks.h"
#include "service/frmSender.h"
#include "store/modStorage.h"
#include "widgets/FormFunctions.h"
#include "widgets/Messages.h"
#include "widgets/WindowSupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>

namespace {

// Clicks on the result indicator since the program started.
qint32 g_resultClicks = 0;

void SetIndicator(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, colour);
    // Pure red and green both read best with black, whatever the theme's text colour.
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
}

} // namespace

void ApplyTagsFromCaption(const QWidget* captionBox, QLineEdit* tagsBox, const QCheckBox* autoBox) {
    if (autoBox->isChecked())
        tagsBox->setText(TagsFromCaption(GetBoxText(captionBox)));
}

frmCreator::frmCreator(QWidget* parent)
    : FormBase(Kind::MainWindow, parent), ui(std::make_unique<Ui::frmCreator>()) {
    ui->setupUi(this);
    ui->lblResult->installEventFilter(this);
    setAcceptDrops(true);
    // The program's main window and task-bar entry: it can be minimised; its size stays fixed.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(MakeWindowTitle(QStringLiteral("Creator mode")));

    connect(ui->txtFileName, &QLineEdit::textChanged, this, &frmCreator::UpdateCreateEnabled);
    connect(ui->cmdCreatePhoto, &QPushButton::clicked, this, &frmCreator::CreatePost);
    connect(ui->cmdBrowsePictureFile, &QPushButton::clicked, this, &frmCreator::BrowsePictureFile);
    connect(ui->cmdEditGroups, &QPushButton::clicked, this, &frmCreator::EditGroups);
    connect(ui->cmdHistory, &QPushButton::clicked, this,
            [this] { ShowHistoryDialog(m_history, ui->txtCaption); });
    connect(ui->cmdTagsHistory, &QPushButton::clicked, this,
            [this] { ShowHistoryDialog(m_tagsHistory, ui->txtTags); });
    connect(ui->cmdBatch, &QPushButton::clicked, this, &frmCreator::OpenBatch);
    connect(ui->cmdBatchURLs, &QPushButton::clicked, this, &frmCreator::OpenBatchURLs);
    connect(ui->cmdManagePosts, &QPushButton::clicked, this, &frmCreator::OpenPostManager);
    connect(ui->cmdSender, &QPushButton::clicked, this, &frmCreator::OpenSender);
    connect(ui->cmdLinks, &QPushButton::clicked, this, &frmCreator::ShowLinks);

    LoadFrame();
    InstallKeyPreview(this, [this](QKeyEvent* event) { return KeyPreview(event); });
    InstallDropTarget(
        this, [this](const QMimeData* mime) { return HandlesDrag(mime); },
        [this](const QMimeData* mime, bool take) { return AcceptDrop(mime, take); });
    MarkOnToolbar(this);
    LoadSettings();
    const QString dataPath = GetDataPath();
    m_history.InitFileName(dataPath, QStringLiteral("History.DAT"));
    ErrorBox::Report(m_history.LoadHistory());
    m_tagsHistory.InitFileName(dataPath, QStringLiteral("Tags History.DAT"));
    ErrorBox::Report(m_tagsHistory.LoadHistory());
    m_captionHook.SetTextBox(ui->txtCaption);
    m_captionHook.InitSelectAllHook();
    ui->txtCaption->setFocus();
}

frmCreator::~frmCreator() = default;

QString frmCreator::GetGroup() const {
    if (ui->cboGroup->count() == 0 || ui->cboGroup->currentIndex() < 0)
        return {};
    return ui->cboGroup->currentText();
}

QString frmCreator::CaptionText() const {
    return GetBoxText(ui->txtCaption);
}

QString frmCreator::TagsText() const {
    return ui->txtTags->text();
}

void frmCreator::ClearFileName() {
    ui->txtOldFileName->setText(ui->txtFileName->text());
    ui->txtOldFileName->deselect();
    ui->txtOldFileName->setCursorPosition(static_cast<int>(ui->txtOldFileName->text().size()));
    ui->txtFileName->clear();
}

void frmCreator::LoadSettings() {
    const SettingsStore settings;
    SetBoxText(ui->txtCaption, Settings::LastCaption.Read(settings));
    ui->txtTags->setText(Settings::LastTags.Read(settings));
    ui->chkQuickMode->setChecked(Settings::QuickMode.Read(settings));
    ui->chkTagsFromCaption->setChecked(Settings::TagsFromCaption.Read(settings));
    FillGroupList(Settings::Groups.Read(settings), ui->cboGroup);
    const qint32 index = Settings::GroupIndex.Read(settings, ui->cboGroup->currentIndex());
    // -1 (no group chosen) is a valid choice; an index past the list is not.
    if (index >= -1 && index < ui->cboGroup->count())
        ui->cboGroup->setCurrentIndex(index);
    const QByteArray placement = Settings::WindowPlacement.Read(settings);
    if (!placement.isEmpty())
        restoreGeometry(placement);
    GroupListChanged();
}

void frmCreator::SaveSettings() {
    SettingsStore settings(SettingsStore::Writes::OnCommit);
    Settings::LastCaption.Save(settings, GetBoxText(ui->txtCaption));
    Settings::LastTags.Save(settings, ui->txtTags->text());
    Settings::QuickMode.Save(settings, ui->chkQuickMode->isChecked());
    Settings::TagsFromCaption.Save(settings, ui->chkTagsFromCaption->isChecked());
    Settings::Groups.Save(settings, GroupsToText(ui->cboGroup));
    Settings::GroupIndex.Save(settings, ui->cboGroup->currentIndex());
    Settings::WindowPlacement.Save(settings, saveGeometry());
    settings.Commit();
}

void frmCreator::OnUnload() {
    ErrorBox::Report(m_history.SaveHistory());
    ErrorBox::Report(m_tagsHistory.SaveHistory());
    // The window closes either way; the user at least learns the choices were not kept.
    try {
        SaveSettings();
    } catch (const ComponentError& e) {
        ErrorBox::ShowError(e, MsgIcon::Critical, QStringLiteral("Can't save settings."));
    }
}

bool frmCreator::KeyPreview(QKeyEvent* event) {
    if (MainWindowKeys(this, event))
        return true;
    const int key = event->key();
    const bool enter = IsEnter(event);
    if (key == Qt::Key_Insert && HasExactly(event, Qt::ShiftModifier) && PictureFromClipboard())
        return true;
    if ((enter && HasExactly(event, Qt::AltModifier)) ||
        (key == Qt::Key_F5 && HasExactly(event, Qt::NoModifier))) {
        OpenPictureFile();
        return true;
    }
    // In the caption Enter still makes the post, as everywhere else; Ctrl+Enter breaks the line.
    if (enter && QApplication::focusWidget() == ui->txtCaption) {
        if (HasExactly(event, Qt::ControlModifier))
            ui->txtCaption->insertPlainText(QStringLiteral("\n"));
        else
            FormFunctions::PressButton(ui->cmdCreatePhoto);
        return true;
    }
    return false;
}

bool frmCreator::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->lblResult && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        ui->lblResult->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        ResultClicked();
        return true;
    }
    return FormBase::eventFilter(watched, event);
}

void frmCreator::CreatePost() {
    ApplyTagsFromCaption(ui->txtCaption, ui->txtTags, ui->chkTagsFromCaption);
    const QString caption = GetBoxText(ui->txtCaption);
    const QString tags = ui->txtTags->text();
    Post post;
    post.Group = GetGroup();
    post.Caption = caption;
    post.Tags = tags;
    post.PictureFile = ui->txtFileName->text();
    if (SavePost(post)) {
        QApplication::beep();
        SetIndicator(ui->lblResult, QColor(0, 255, 0));
    } else {
        SetIndicator(ui->lblResult, QColor(255, 0, 0));
    }
    m_history.Add(caption);
    m_tagsHistory.Add(tags);
    ClearFileName();
}

void frmCreator::BrowsePictureFile() {
    OpenFileDialog dialog;
    dialog.Filter = PictureFileFilter();
    dialog.Owner = this;
    dialog.InitialDir = Settings::LastPictureFolder.Read(
        SettingsStore(), zsGetSpecialFolder(SpecialFolder::Pictures));
    if (!dialog.Show())
        return;
    try {
        SettingsStore store;
        Settings::LastPictureFolder.Save(store, zsGetFilePath(dialog.FileName));
    } catch (const ComponentError& e) {
        // Only the starting folder of the next browse is lost; the chosen file still counts.
        zsDebugPrint(QStringLiteral("frmCreator::BrowsePictureFile() ==> ") + e.Description());
    }
    ui->txtFileName->setText(dialog.FileName);
    if (ui->chkQuickMode->isChecked() && ui->cmdCreatePhoto->isEnabled())
        ui->cmdCreatePhoto->click();
}

bool frmCreator::PictureFromClipboard() {
    return TakeFileName(GetClipboardText());
}

bool frmCreator::TakeFileName(QString text) {
    if (!PasteFileName(text, ui->txtFileName))
        return false;
    if (ui->chkQuickMode->isChecked())
        FormFunctions::PressButton(ui->cmdCreatePhoto);
    return true;
}

bool frmCreator::HandlesDrag(const QMimeData* mime) const {
    // The window takes files; a web link is refused here, also over a text box.
    return mime->hasUrls();
}

bool frmCreator::AcceptDrop(const QMimeData* mime, bool take) {
    const std::optional<QStringList> paths = LocalDropPaths(mime);
    if (!paths)
        return false;
    if (paths->size() == 1 && !QFileInfo(paths->first()).isDir())
        return take ? TakeFileName(paths->first()) : zsIsFileExist(paths->first());
    // The batch's own rule, as for "B!": there must be a group to choose.
    const std::optional<DroppedBatch> batch = BatchFromDroppedPaths(*paths);
    if (!batch || ui->cboGroup->count() == 0)
        return false;
    // Opened once the drop is over, so the file manager is not kept waiting by the window.
    if (take)
        QTimer::singleShot(0, this, [this, batch] { OpenBatchOn(batch->Folder, batch->Names); });
    return true;
}

void frmCreator::OpenPictureFile() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(ui->txtFileName->text()));
}

void frmCreator::UpdateCreateEnabled() {
    ui->cmdCreatePhoto->setEnabled(!ui->txtFileName->text().isEmpty() && ui->cboGroup->count() > 0);
}

void frmCreator::GroupListChanged() {
    UpdateCreateEnabled();
    ui->cmdBatch->setEnabled(ui->cboGroup->count() > 0);
}

void frmCreator::EditGroups() {
    frmEditGroups editor(this);
    editor.SetGroupsText(GroupsToText(ui->cboGroup));
    if (editor.exec() != QDialog::Accepted)
        return;
    FillGroupList(editor.GroupsText(), ui->cboGroup);
    GroupListChanged();
}

void frmCreator::ShowLinks() {
    frmLinks links(this);
    links.exec();
}

void frmCreator::ResultClicked() {
    ++g_resultClicks;
    Messages::MsgBox(
        g_resultClicks == 3
            ? QStringLiteral("Ok. There is a secret in this prog. Open about box and drag icon to "
                             "program title.")
            : QStringLiteral("Don't click here! It's just indicate if any errors occured while "
                             "saving posts."),
        MsgIcon::Information);
}

// Each opening makes a fresh window, so every use starts from what is stored.
void frmCreator::OpenBatch() {
    OpenBatchOn(QString(), {});
}

void frmCreator::OpenBatchOn(const QString& folder, const QStringList& names) {
    ApplyTagsFromCaption(ui->txtCaption, ui->txtTags, ui->chkTagsFromCaption);
    frmBatch batch(*this, this, folder);
    if (!names.isEmpty())
        batch.SelectOnly(names);
    batch.exec();
}

void frmCreator::OpenBatchURLs() {
    ApplyTagsFromCaption(ui->txtCaption, ui->txtTags, ui->chkTagsFromCaption);
    frmBatchURLs urls(*this, this);
    urls.exec();
}

void frmCreator::OpenPostManager() {
    frmPostManager manager(this);
    manager.exec();
}

void frmCreator::OpenSender() {
    frmSender sender(this);
    sender.exec();
}
