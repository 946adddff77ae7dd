#include "creation/frmBatch.h"
#include "ui_frmBatch.h"

#include "app/DropTarget.h"
#include "app/KeyPreview.h"
#include "app/SelectAllHook.h"
#include "app/ToolbarMark.h"
#include "app/modCommon.h"
#include "components/ComponentError.h"
#include "components/FolderListing.h"
#include "components/Settings.h"
#include "components/SettingsStore.h"
#include "components/SupportLibrary.h"
#include "creation/CreatorFields.h"
#include "creation/StoreFailureBox.h"
#include "creation/modBatch.h"
#include "history/frmHistory.h"
#include "store/modStorage.h"
#include "widgets/FormFunctions.h"
#include "widgets/Messages.h"
#include "widgets/WindowSupport.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QSet>
#include <QTimer>

frmBatch::frmBatch(CreatorFields& creator, QWidget* parent, const QString& folder)
    : FormBase(Kind::MainWindow, parent), ui(std::make_unique<Ui::frmBatch>()), m_creator(creator) {
    ui->setupUi(this);
    ui->txtPath->installEventFilter(this);
    setAcceptDrops(true);
    LoadFrame();
    InstallKeyPreview(this, [this](QKeyEvent* event) { return KeyPreview(event); });
    InstallDropTarget(
        this, [this](const QMimeData* mime) { return HandlesDrag(mime); },
        [this](const QMimeData* mime, bool take) { return AcceptDrop(mime, take); });
    MarkOnToolbar(this);
    FormFunctions::SetAutoComplete(ui->txtPath, 32);

    connect(ui->lstFiles, &QListWidget::itemSelectionChanged, this, &frmBatch::UpdateStatus);
    connect(ui->cmdCreatePhoto, &QPushButton::clicked, this, &frmBatch::CreatePosts);
    connect(ui->cmdBrowse, &QPushButton::clicked, this, &frmBatch::Browse);
    connect(ui->cmdBatchPathHistory, &QPushButton::clicked, this, &frmBatch::PickFromHistory);

    try {
        BatchPathHistory.InitFileName(GetDataPath(), QStringLiteral("Batch Path History.DAT"));
    } catch (const ComponentError& e) {
        // Without the data folder there is nowhere to keep posts: say so and close.
        ErrorBox::ShowError(e, MsgIcon::Critical, QString());
        zsUnloadForm(this);
        return;
    }
    ErrorBox::Report(BatchPathHistory.LoadHistory());
    m_loaded = true;
    if (folder.isEmpty())
        LoadSettings();
    else
        SetCurrentPath(folder);
}

frmBatch::~frmBatch() = default;

int frmBatch::exec() {
    return m_loaded ? FormBase::exec() : QDialog::Rejected;
}

void frmBatch::LoadSettings() {
    QString folder = TrimPathOrURL(Settings::LastBatchFolder.Read(SettingsStore()));
    if (folder.isEmpty())
        folder = zsGetSpecialFolder(SpecialFolder::Documents);
    SetCurrentPath(folder);
}

void frmBatch::SaveSettings() {
    try {
        SettingsStore store;
        Settings::LastBatchFolder.Save(store, m_currentPath);
    } catch (const ComponentError& e) {
        ErrorBox::ShowError(e, MsgIcon::Critical, QString());
    }
}

void frmBatch::OnUnload() {
    if (!m_loaded)
        return;
    SaveSettings();
    ErrorBox::Report(BatchPathHistory.SaveHistory());
}

void frmBatch::SetCurrentPath(const QString& path) {
    const QString trimmed = TrimPathOrURL(path);
    if (trimmed.isEmpty())
        return;
    ui->lstFiles->clear();
    m_currentPath = trimmed;
    if (!zsIsDirectoryExist(m_currentPath)) {
        Messages::MsgBox(AboutPath(m_currentPath, QStringLiteral("Directory was not found.")),
                         MsgIcon::Critical);
    } else {
        try {
            QStringList names = ListPictureFiles(m_currentPath);
            SortFileNames(names);
            const QSignalBlocker quiet(ui->lstFiles);
            ui->lstFiles->addItems(names);
            ListBoxSelectRange(ui->lstFiles, true, 0, ui->lstFiles->count() - 1);
            if (ui->lstFiles->count() > 0)
                ui->lstFiles->selectionModel()->setCurrentIndex(ui->lstFiles->model()->index(0, 0),
                                                                QItemSelectionModel::NoUpdate);
        } catch (const ComponentError& e) {
            ErrorBox::ShowError(
                e, MsgIcon::Critical,
                AboutPath(m_currentPath, QStringLiteral("Cat't get picture files list.")));
        }
    }
    ui->txtPath->setText(m_currentPath);
    zsHighlightText(ui->txtPath);
    UpdateStatus();
}

void frmBatch::SelectOnly(const QStringList& names) {
    const QSet<QString> chosen(names.cbegin(), names.cend());
    for (int i = 0; i < ui->lstFiles->count(); ++i)
        ui->lstFiles->item(i)->setSelected(chosen.contains(ui->lstFiles->item(i)->text()));
}

void frmBatch::UpdateStatus() {
    setWindowTitle(
        MakeWindowTitle(QStringLiteral("Batch mode :: ") + QString::number(ui->lstFiles->count())));
    ui->cmdCreatePhoto->setEnabled(ui->lstFiles->selectionModel()->hasSelection());
}

bool frmBatch::StoreSelectedFiles() {
    QStringList names;
    for (int i = 0; i < ui->lstFiles->count(); ++i) {
        if (ui->lstFiles->item(i)->isSelected())
            names.append(ui->lstFiles->item(i)->text());
    }
    const FolderBatchResult result =
        StoreFolderPosts(m_creator, m_currentPath, names, AskStoreFailure);
    // After an Abort the items still selected are the ones not handled.
    SelectOnly(result.Left);
    return !result.Aborted;
}

void frmBatch::CreatePosts() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (StoreSelectedFiles()) {
        AddCreatorHistories(m_creator);
        BatchPathHistory.Add(ui->txtPath->text());
        Messages::MsgBox(QStringLiteral("All done ^_^v"), MsgIcon::Information);
    }
    QApplication::restoreOverrideCursor();
}

void frmBatch::RestoreListedPathAndCreate() {
    if (ui->txtPath->text() != m_currentPath) {
        ui->txtPath->setText(m_currentPath);
        zsHighlightText(ui->txtPath);
    }
    FormFunctions::PressButton(ui->cmdCreatePhoto);
}

void frmBatch::Browse() {
    FolderDialog dialog;
    dialog.Title = QStringLiteral("Choose directory with pictures to be converted in batch.");
    dialog.Owner = this;
    dialog.Folder = ui->txtPath->text();
    if (!dialog.Show())
        return;
    SetCurrentPath(dialog.Folder);
    ui->lstFiles->setFocus();
}

bool frmBatch::HandlesDrag(const QMimeData* mime) const {
    return mime->hasUrls();
}

bool frmBatch::AcceptDrop(const QMimeData* mime, bool take) {
    // A folder, or a file inside one, chooses the folder as "..." would.
    const std::optional<QStringList> paths = LocalDropPaths(mime);
    if (!paths || paths->size() != 1)
        return false;
    const QFileInfo dropped(paths->first());
    if (!dropped.exists())
        return false;
    if (take) {
        SetCurrentPath(
            QDir::cleanPath(dropped.isDir() ? dropped.absoluteFilePath() : dropped.absolutePath()));
        ui->lstFiles->setFocus();
    }
    return true;
}

void frmBatch::PickFromHistory() {
    if (ShowHistoryDialog(BatchPathHistory, ui->txtPath))
        SetCurrentPath(ui->txtPath->text());
}

bool frmBatch::KeyPreview(QKeyEvent* event) {
    if (event->key() == Qt::Key_F5 && HasExactly(event, Qt::NoModifier)) {
        SetCurrentPath(ui->txtPath->text());
        return true;
    }
    if (MainWindowKeys(this, event))
        return true;
    QWidget* focus = QApplication::focusWidget();
    if (focus == ui->txtPath && IsEnter(event)) {
        if (HasExactly(event, Qt::NoModifier)) {
            SetCurrentPath(ui->txtPath->text());
            return true;
        }
        if (HasExactly(event, Qt::ControlModifier)) {
            RestoreListedPathAndCreate();
            return true;
        }
    }
    if (focus == ui->lstFiles && event->key() == Qt::Key_A &&
        HasExactly(event, Qt::ControlModifier)) {
        // Consumed here, so the list neither types nor searches with the letter.
        ListBoxSelectRange(ui->lstFiles, true, 0, ui->lstFiles->count() - 1);
        return true;
    }
    return false;
}

bool frmBatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->txtPath) {
        // While the path box has the focus, Enter belongs to the box, not to "Create posts".
        if (event->type() == QEvent::FocusIn) {
            ui->cmdCreatePhoto->setDefault(false);
            QTimer::singleShot(0, ui->txtPath, [this] { zsHighlightText(ui->txtPath); });
        } else if (event->type() == QEvent::FocusOut) {
            ui->cmdCreatePhoto->setDefault(true);
        }
    }
    return FormBase::eventFilter(watched, event);
}
