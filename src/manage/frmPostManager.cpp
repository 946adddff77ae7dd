#include "manage/frmPostManager.h"

#include "app/modCommon.h"
#include "app/zntTBHooks.h"
#include "components/ComponentError.h"
#include "components/Messages.h"
#include "components/SupportLibrary.h"
#include "manage/modPostList.h"
#include "store/modStorage.h"
#include "widgets/FormFunctions.h"
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

frmPostManager::frmPostManager(QWidget* parent) : FormBase(Kind::MainWindow, parent) {
    setupUi(this);
    LoadFrame();
    picPreview->hide();
    filFiles->viewport()->installEventFilter(this);
    lblInfo->installEventFilter(this);
    lblInfoURL->installEventFilter(this);
    connect(picPreview, &PicturePreview::DoubleClicked, this, &frmPostManager::ShowList);
    connect(picPreview, &PicturePreview::MenuRequested, this,
            [this](const QPoint& at) { mnuContextPicture->exec(at); });
    connect(picPreview, &PicturePreview::HoldReleased, this, [this] { ShowInfo(true); });
    connect(filFiles->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                // Shift extends a selection from its anchor; anything else starts a new one.
                if (!(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier))
                    m_anchorRow = current.row();
            });
    connect(&m_totalSize, &QFutureWatcher<double>::finished, this, [this] {
        if (!m_totalSize.future().isResultReadyAt(0))
            return;
        lblSize->setText(QStringLiteral("Total size: ") + zsFormatByteSizeEx(m_totalSize.result()));
    });
    try {
        m_folder = GetDataPath();
        ShowPosts(ListPostPictures(m_folder));
    } catch (const ComponentError& e) {
        ErrorBox::ShowError(e, MsgIcon::Critical, QString());
        zsUnloadForm(this);
        return;
    }
    m_loaded = true;
    if (filFiles->count() > 0)
        SelectRow(0);
    picPreview->setGeometry(filFiles->geometry());
    BuildMenus();
    UpdateStatus();
}

frmPostManager::~frmPostManager() {
    // A closed window's count would only keep the disk busy.
    m_totalSize.cancel();
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
    filFiles->SetNames({});
    try {
        ShowPosts(ListPostPictures(m_folder));
    } catch (const ComponentError& e) {
        ErrorBox::ShowError(e, MsgIcon::Critical, QString());
    }
}

void frmPostManager::ShowPosts(const FileNameList& pictures) {
    filFiles->SetNames(pictures);
    for (const int row : PostsWithSendMarker(m_folder, pictures))
        filFiles->SetRowSuffix(row, QStringLiteral(" (upload unanswered)"));
}

void frmPostManager::UpdateStatus() {
    setWindowTitle(
        MakeWindowTitle(QStringLiteral("Manage mode :: ") + QString::number(filFiles->count())));
    lblSize->setText(QStringLiteral("Total size: "));
    // A stat per post was most of the opening time with thousands of posts, so the total is
    // added up on a worker thread, and at opening only once the list has been painted.
    if (m_listPainted)
        CountTotalSize();
}

void frmPostManager::ListPainted() {
    if (m_listPainted)
        return;
    m_listPainted = true;
    QTimer::singleShot(0, this, &frmPostManager::CountTotalSize);
}

void frmPostManager::CountTotalSize() {
    // An older count is of no use any more.
    m_totalSize.cancel();
    m_totalSize.setFuture(GetTotalSize());
}

QFuture<double> frmPostManager::GetTotalSize() const {
    return QtConcurrent::run(
        [](QPromise<double>& promise, const QString& folder, const FileNameList& names) {
            const double total =
                TotalFileSize(folder, names, [&promise] { return promise.isCanceled(); });
            if (!promise.isCanceled())
                promise.addResult(total);
        },
        m_folder, filFiles->Names());
}

void frmPostManager::SelectRow(int row) {
    filFiles->setCurrentRow(row);
    m_anchorRow = row;
}

void frmPostManager::FrameLabel(QLabel* label, QWidget* frame) {
    label->adjustSize();
    const QPoint margin = label->pos() - frame->pos();
    frame->resize(margin.x() * 2 + label->width(), margin.y() * 2 + label->height());
}

void frmPostManager::ShowPreview() {
    if (PressedIndex < 0 || PressedIndex >= filFiles->count())
        return;
    const QString path = zsBuildFileName(m_folder, filFiles->text(PressedIndex));

    QImage picture;
    QString url;
    try {
        picture = FormFunctions::LoadPictureFile(path, picPreview->size() * devicePixelRatio());
    } catch (const ComponentError& notPicture) {
        try {
            url = ReadPictureURL(path);
            if (url.isEmpty())
                ErrorBox::ShowError(
                    notPicture, MsgIcon::Critical,
                    Messages::AboutPath(path, QStringLiteral("Can't load picture file.")));
        } catch (const ComponentError& unreadable) {
            ErrorBox::ShowError(
                unreadable, MsgIcon::Critical,
                Messages::AboutPath(path, QStringLiteral("Can't load picture file.")));
        }
    }

    QString group;
    QString caption;
    QString tags;
    const bool infoRead = LoadPost(path, group, caption, tags);
    lblInfo->setText(QStringLiteral("Group: ") + group + QLatin1Char('\n') +
                     QStringLiteral("Caption: ") + zsGetLineOnly(caption) + QLatin1Char('\n') +
                     QStringLiteral("Tags: ") + tags);
    ShowInfo(infoRead);
    FrameLabel(lblInfo, shpInfoBack);
    // The URL box follows this post's own URL, so no earlier post's URL lingers in it.
    lblInfoURL->setText(QStringLiteral("Picture URL:\n") + url);
    FrameLabel(lblInfoURL, shpInfoBackURL);
    shpInfoBackURL->setVisible(!url.isEmpty());
    lblInfoURL->setVisible(!url.isEmpty());

    filFiles->hide();
    picPreview->SetPicture(picture);
    picPreview->show();
    picPreview->setFocus();
}

void frmPostManager::ShowList() {
    picPreview->hide();
    picPreview->SetPicture(QImage());
    filFiles->show();
    filFiles->setFocus();
}

void frmPostManager::DeleteSelected() {
    if (filFiles->count() == 0 || !filFiles->selectionModel()->hasSelection())
        return;
    if (Messages::MsgBox(QStringLiteral("Delete selected files?"), MsgIcon::Question,
                         MsgButtons::OkCancel) != MsgResult::Ok)
        return;
    const int count = filFiles->count();
    for (int i = 0; i < count; ++i) {
        if (filFiles->isRowSelected(i))
            DeletePost(zsBuildFileName(m_folder, filFiles->text(i)));
    }
    const int anchor = m_anchorRow;
    Refresh();
    UpdateStatus();
    if (filFiles->count() > 0)
        SelectRow(qBound(0, anchor, filFiles->count() - 1));
}

bool frmPostManager::KeyPreview(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && HasExactly(event, Qt::ShiftModifier))
        return FormBase::KeyPreview(event);
    const bool list = !InPreview();
    if (list && event->key() == Qt::Key_A && HasExactly(event, Qt::ControlModifier)) {
        ListBoxSelectRange(filFiles, true, 0, filFiles->count() - 1);
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
            PressedIndex = filFiles->count() > 0 ? filFiles->currentRow() : -1;
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
    const QModelIndex index = filFiles->indexAt(event->position().toPoint());
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
    if (!filFiles->selectionModel()->isSelected(index)) {
        SelectRow(index.row());
        PressedIndex = index.row();
    }
    mnuContextList->exec(event->globalPosition().toPoint());
    return true;
}

void frmPostManager::ShowInfo(bool show) {
    shpInfoBack->setVisible(show);
    lblInfo->setVisible(show);
}

bool frmPostManager::eventFilter(QObject* watched, QEvent* event) {
    if (m_loaded) {
        if (watched == filFiles->viewport() && event->type() == QEvent::Paint)
            ListPainted();
        if (watched == filFiles->viewport() && IsPress(event))
            return ListMouseEvent(static_cast<QMouseEvent*>(event));
        if (watched == lblInfo && IsPress(event)) {
            // Held down, the info box gives way to the picture until the button is released.
            ShowInfo(false);
            picPreview->HoldUntilRelease();
            return true;
        }
        if (watched == lblInfoURL &&
            (IsPress(event) || event->type() == QEvent::MouseButtonRelease))
            return true;
    }
    return FormBase::eventFilter(watched, event);
}
