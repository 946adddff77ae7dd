#include "manage/frmPostManager.h"
#include "ui_frmPostManager.h"

#include "app/KeyPreview.h"
#include "app/SelectAllHook.h"
#include "app/ToolbarMark.h"
#include "app/modCommon.h"
#include "components/ComponentError.h"
#include "components/SupportLibrary.h"
#include "manage/modPostList.h"
#include "store/modStorage.h"
#include "widgets/FormFunctions.h"
#include "widgets/KeyboardMenu.h"
#include "widgets/Messages.h"
#include "widgets/WindowSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace {

bool IsPress(const QEvent* event) {
    return event->type() == QEvent::MouseButtonPress ||
           event->type() == QEvent::MouseButtonDblClick;
}

} // namespace

frmPostManager::frmPostManager(QWidget* parent)
    : FormBase(Kind::MainWindow, parent), ui(std::make_unique<Ui::frmPostManager>()) {
    ui->setupUi(this);
    LoadFrame();
    InstallKeyPreview(this, [this](QKeyEvent* event) { return KeyPreview(event); });
    MarkOnToolbar(this);
    ui->picPreview->hide();
    ui->filFiles->viewport()->installEventFilter(this);
    ui->lblInfo->installEventFilter(this);
    ui->lblInfoURL->installEventFilter(this);
    connect(ui->picPreview, &PicturePreview::DoubleClicked, this, &frmPostManager::ShowList);
    connect(ui->picPreview, &PicturePreview::MenuRequested, this,
            [this](const QPoint& at) { mnuContextPicture->exec(at); });
    connect(ui->picPreview, &PicturePreview::HoldReleased, this, [this] { ShowInfo(true); });
    connect(ui->filFiles->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                // Shift extends a selection from its anchor; anything else starts a new one.
                if (!(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier))
                    m_anchorRow = current.row();
            });
    connect(&m_totalSize, &QFutureWatcher<double>::finished, this, [this] {
        if (!m_totalSize.future().isResultReadyAt(0))
            return;
        ShowTotalSize(m_totalSize.result());
    });
    try {
        m_folder = GetDataPath();
        ShowPosts(ListPostPicturesWithMarkers(m_folder));
    } catch (const ComponentError& e) {
        ErrorBox::ShowError(e, MsgIcon::Critical, QString());
        zsUnloadForm(this);
        return;
    }
    m_loaded = true;
    if (ui->filFiles->count() > 0)
        SelectRow(0);
    ui->picPreview->setGeometry(ui->filFiles->geometry());
    BuildMenus();
    UpdateStatus();
}

frmPostManager::~frmPostManager() {
    // A closed window's count would only keep the disk busy.
    m_totalSize.cancel();
}

const QImage& frmPostManager::PreviewPicture() const {
    return ui->picPreview->Picture();
}

int frmPostManager::exec() {
    return m_loaded ? FormBase::exec() : QDialog::Rejected;
}

void frmPostManager::BuildMenus() {
    mnuContextList = new QMenu(QStringLiteral("List"), this);
    mnuPreview = mnuContextList->addAction(QStringLiteral("Preview\tEnter"));
    mnuContextList->addSeparator();
    mnuDelete = mnuContextList->addAction(QStringLiteral("Delete\tDel"));
    mnuContextList->setDefaultAction(mnuPreview);
    mnuContextPicture = new QMenu(QStringLiteral("Picture"), this);
    mnuBackToList = mnuContextPicture->addAction(QStringLiteral("Back to list\tEnter"));
    mnuContextPicture->setDefaultAction(mnuBackToList);
    connect(mnuPreview, &QAction::triggered, this, &frmPostManager::ShowPreview);
    connect(mnuDelete, &QAction::triggered, this, &frmPostManager::DeleteSelected);
    connect(mnuBackToList, &QAction::triggered, this, &frmPostManager::ShowList);
}

void frmPostManager::Refresh() {
    ui->filFiles->SetNames({});
    try {
        ShowPosts(ListPostPicturesWithMarkers(m_folder));
    } catch (const ComponentError& e) {
        ErrorBox::ShowError(e, MsgIcon::Critical, QString());
    }
}

void frmPostManager::ShowPosts(PostPictures posts) {
    m_contents = std::move(posts.Folder);
    ui->filFiles->SetNames(m_contents.Pictures);
    for (const int row : posts.MarkedRows)
        ui->filFiles->SetRowSuffix(row, QStringLiteral(" (upload unanswered)"));
}

void frmPostManager::UpdateStatus() {
    setWindowTitle(MakeWindowTitle(QStringLiteral("Manage mode :: ") +
                                   QString::number(ui->filFiles->count())));
    m_totalSize.cancel();
    QList<qint64>& sizes = m_contents.PictureSizes;
    m_countAgain = m_contents.SizesFromIndex;
    // The sizes the folder's index does not know are counted before the first frame, however
    // many: the total is never shown blank. The index keeps them for the next opening.
    if (CountFileSizes(m_folder, m_contents.Pictures, sizes) > 0)
        RecordPictureSizes(m_folder, m_contents);
    ShowTotalSize(SumOfSizes(sizes));
    if (m_countAgain && m_listPainted)
        CountTotalSize();
}

void frmPostManager::ShowTotalSize(double bytes) {
    ui->lblSize->setText(QStringLiteral("Total size: ") + zsFormatByteSizeEx(bytes));
}

void frmPostManager::ListPainted() {
    if (m_listPainted)
        return;
    m_listPainted = true;
    if (m_countAgain)
        QTimer::singleShot(0, this, &frmPostManager::CountTotalSize);
}

void frmPostManager::CountTotalSize() {
    // An older count is of no use any more.
    m_totalSize.cancel();
    m_totalSize.setFuture(GetTotalSize());
}

QFuture<double> frmPostManager::GetTotalSize() const {
    return QtConcurrent::run(
        [](QPromise<double>& promise, const QString& folder, FolderContents contents) {
            // Sizes from the index are counted too: a picture rewritten in place keeps its
            // folder's stamp.
            QList<qint64> sizes(contents.Pictures.size(), -1);
            CountFileSizes(folder, contents.Pictures, sizes,
                           [&promise] { return promise.isCanceled(); });
            if (promise.isCanceled())
                return;
            if (sizes != contents.PictureSizes) {
                contents.PictureSizes = sizes;
                RecordPictureSizes(folder, contents);
            }
            promise.addResult(SumOfSizes(sizes));
        },
        m_folder, m_contents);
}

bool frmPostManager::InPreview() const {
    return ui->picPreview->isVisible();
}

void frmPostManager::SelectRow(int row) {
    ui->filFiles->setCurrentRow(row);
    m_anchorRow = row;
}

void frmPostManager::FrameLabel(QLabel* label, QWidget* frame) {
    label->adjustSize();
    const QPoint margin = label->pos() - frame->pos();
    frame->resize(margin.x() * 2 + label->width(), margin.y() * 2 + label->height());
}

void frmPostManager::ShowPreview() {
    if (PressedIndex < 0 || PressedIndex >= ui->filFiles->count())
        return;
    const QString path = zsBuildFileName(m_folder, ui->filFiles->text(PressedIndex));

    QImage picture;
    QString url;
    try {
        // Read once, as the send mode reads it: a link, pipe or huge file is refused unread.
        const QByteArray bytes = ReadPostPicture(path);
        try {
            picture = FormFunctions::LoadPictureData(bytes, path,
                                                     ui->picPreview->size() * devicePixelRatio());
        } catch (const ComponentError&) {
            url = PictureURLFromData(bytes);
            if (url.isEmpty())
                throw;
        }
    } catch (const ComponentError& e) {
        ErrorBox::ShowError(e, MsgIcon::Critical,
                            AboutPath(path, QStringLiteral("Can't load picture file.")));
    }

    const Outcome<Post> post = LoadPost(path);
    ErrorBox::Report(post);
    const Post shown = post ? *post : Post();
    ui->lblInfo->setText(QStringLiteral("Group: ") + shown.Group + QLatin1Char('\n') +
                         QStringLiteral("Caption: ") + zsGetLineOnly(shown.Caption) +
                         QLatin1Char('\n') + QStringLiteral("Tags: ") + shown.Tags);
    ShowInfo(static_cast<bool>(post));
    FrameLabel(ui->lblInfo, ui->shpInfoBack);
    // The URL box follows this post's own URL, so no earlier post's URL lingers in it.
    ui->lblInfoURL->setText(QStringLiteral("Picture URL:\n") + url);
    FrameLabel(ui->lblInfoURL, ui->shpInfoBackURL);
    ui->shpInfoBackURL->setVisible(!url.isEmpty());
    ui->lblInfoURL->setVisible(!url.isEmpty());

    ui->filFiles->hide();
    ui->picPreview->SetPicture(picture);
    ui->picPreview->show();
    ui->picPreview->setFocus();
}

void frmPostManager::ShowList() {
    ui->picPreview->hide();
    ui->picPreview->SetPicture(QImage());
    ui->filFiles->show();
    ui->filFiles->setFocus();
}

void frmPostManager::DeleteSelected() {
    if (ui->filFiles->count() == 0 || !ui->filFiles->selectionModel()->hasSelection())
        return;
    if (Messages::MsgBox(QStringLiteral("Delete selected files?"), MsgIcon::Question,
                         MsgButtons::OkCancel) != MsgResult::Ok)
        return;
    const int count = ui->filFiles->count();
    for (int i = 0; i < count; ++i) {
        if (ui->filFiles->isRowSelected(i))
            DeletePost(zsBuildFileName(m_folder, ui->filFiles->text(i)));
    }
    const int anchor = m_anchorRow;
    Refresh();
    UpdateStatus();
    if (ui->filFiles->count() > 0)
        SelectRow(qBound(0, anchor, ui->filFiles->count() - 1));
}

bool frmPostManager::KeyPreview(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && HasExactly(event, Qt::ShiftModifier))
        return MainWindowKeys(this, event);
    const bool list = !InPreview();
    if (IsMenuKey(event)) {
        if (!list) {
            mnuContextPicture->exec(KeyboardMenuPosition(ui->picPreview));
        } else if (ui->filFiles->count() > 0) {
            PressedIndex = ui->filFiles->currentRow();
            mnuContextList->exec(KeyboardMenuPosition(ui->filFiles));
        }
        return true;
    }
    if (list && event->key() == Qt::Key_A && HasExactly(event, Qt::ControlModifier)) {
        ListBoxSelectRange(ui->filFiles, true, 0, ui->filFiles->count() - 1);
        return true;
    }
    if (!HasExactly(event, Qt::NoModifier))
        return false;
    if (event->key() == Qt::Key_Escape) {
        if (list)
            close();
        else
            ShowList();
        return true;
    }
    if (IsEnter(event)) {
        if (list) {
            PressedIndex = ui->filFiles->count() > 0 ? ui->filFiles->currentRow() : -1;
            ShowPreview();
        } else {
            ShowList();
        }
        return true;
    }
    if (list && event->key() == Qt::Key_Delete) {
        DeleteSelected();
        return true;
    }
    return false;
}

bool frmPostManager::ListMouseEvent(QMouseEvent* event) {
    const QModelIndex index = ui->filFiles->indexAt(event->position().toPoint());
    if (event->type() == QEvent::MouseButtonDblClick && event->button() != Qt::RightButton) {
        ShowPreview();
        return true;
    }
    if (event->button() != Qt::RightButton) {
        PressedIndex = index.isValid() ? index.row() : -1;
        return false;
    }
    // A right press away from the items opens nothing and leaves the selection alone.
    if (!index.isValid())
        return true;
    if (!ui->filFiles->selectionModel()->isSelected(index)) {
        SelectRow(index.row());
        PressedIndex = index.row();
    }
    mnuContextList->exec(event->globalPosition().toPoint());
    return true;
}

void frmPostManager::ShowInfo(bool show) {
    ui->shpInfoBack->setVisible(show);
    ui->lblInfo->setVisible(show);
}

bool frmPostManager::eventFilter(QObject* watched, QEvent* event) {
    if (m_loaded) {
        if (watched == ui->filFiles->viewport() && event->type() == QEvent::Paint)
            ListPainted();
        if (watched == ui->filFiles->viewport() && IsPress(event))
            return ListMouseEvent(static_cast<QMouseEvent*>(event));
        if (watched == ui->lblInfo && IsPress(event)) {
            // Held down, the info box gives way to the picture until the button is released.
            ShowInfo(false);
            ui->picPreview->HoldUntilRelease();
            return true;
        }
        if (watched == ui->lblInfoURL &&
            (IsPress(event) || event->type() == QEvent::MouseButtonRelease))
            return true;
    }
    return FormBase::eventFilter(watched, event);
}
