#include "creation/frmBatchURLs.h"
#include "ui_frmBatchURLs.h"

#include "app/DropTarget.h"
#include "app/KeyPreview.h"
#include "app/SelectAllHook.h"
#include "app/ToolbarMark.h"
#include "app/modCommon.h"
#include "components/ComponentError.h"
#include "components/Settings.h"
#include "components/SettingsStore.h"
#include "components/SupportLibrary.h"
#include "creation/StoreFailureBox.h"
#include "creation/modBatch.h"
#include "widgets/Messages.h"
#include "widgets/WindowSupport.h"

#include <QApplication>
#include <QMimeData>
#include <QTextCursor>
#include <QUrl>

namespace {

// The lines a drop adds: each web link, or the dropped text; nothing for local files or blank
// text, which can never become URL posts.
QString DroppedLines(const QMimeData* data) {
    if (data->hasUrls()) {
        QStringList links;
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile() || !url.isValid())
                return {};
            links.append(url.toString(QUrl::FullyEncoded));
        }
        return links.join(QLatin1Char('\n'));
    }
    const QString text = data->text();
    if (TrimPathOrURL(text).isEmpty())
        return {};
    // Any line break ends a line of the box.
    return QString(text)
        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(u'\r', u'\n');
}

} // namespace

frmBatchURLs::frmBatchURLs(CreatorFields& creator, QWidget* parent)
    : FormBase(Kind::MainWindow, parent), ui(std::make_unique<Ui::frmBatchURLs>()),
      m_creator(creator) {
    ui->setupUi(this);
    setWindowTitle(MakeWindowTitle(QStringLiteral("URLs mode")));
    m_hooks = new SelectAllHook(this);
    m_hooks->SetTextBox(ui->txtURLs);
    m_hooks->InitSelectAllHook();
    LoadFrame();
    InstallKeyPreview(this, [this](QKeyEvent* event) { return MainWindowKeys(this, event); });
    InstallDropTarget(
        this, [this](const QMimeData* mime) { return HandlesDrag(mime); },
        [this](const QMimeData* mime, bool take) { return AcceptDrop(mime, take); });
    MarkOnToolbar(this);

    connect(ui->txtURLs, &QPlainTextEdit::textChanged, this, &frmBatchURLs::UpdateStatus);
    connect(ui->cmdCreatePhoto, &QPushButton::clicked, this, &frmBatchURLs::CreatePosts);
    LoadSettings();
}

frmBatchURLs::~frmBatchURLs() = default;

void frmBatchURLs::LoadSettings() {
    const QString text = Settings::LastBatchURLs.Read(SettingsStore());
    // Only a text that differs from the empty box changes it (and so runs UpdateStatus).
    if (!text.isEmpty())
        SetBoxText(ui->txtURLs, text);
    ui->txtURLs->moveCursor(QTextCursor::Start);
}

void frmBatchURLs::SaveSettings() {
    try {
        SettingsStore store;
        Settings::LastBatchURLs.Save(store, GetBoxText(ui->txtURLs));
    } catch (const ComponentError& e) {
        ErrorBox::ShowError(e, MsgIcon::Critical, QString());
    }
}

void frmBatchURLs::OnUnload() {
    SaveSettings();
}

bool frmBatchURLs::HandlesDrag(const QMimeData* mime) const {
    // Also over the box: dropped lines go to its end, not where the pointer is.
    return mime->hasUrls() || mime->hasText();
}

bool frmBatchURLs::AcceptDrop(const QMimeData* mime, bool take) {
    const QString lines = DroppedLines(mime);
    if (lines.isEmpty())
        return false;
    if (take) {
        QTextCursor end(ui->txtURLs->document());
        end.movePosition(QTextCursor::End);
        end.insertText(end.atBlockStart() ? lines : QLatin1Char('\n') + lines);
    }
    return true;
}

void frmBatchURLs::UpdateStatus() {
    ui->cmdCreatePhoto->setEnabled(!TrimPathOrURL(GetBoxText(ui->txtURLs)).isEmpty());
}

void frmBatchURLs::CreatePosts() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const URLBatchResult result =
        StoreURLPosts(GetBoxText(ui->txtURLs), m_creator, AskStoreFailure);
    if (!result.aborted) {
        SetBoxText(ui->txtURLs, zsTrimCRLF(result.invalidLines));
        QString message = QStringLiteral("All done ^_^v");
        if (!result.invalidLines.isEmpty())
            message += QStringLiteral("\r\n\r\nSome lines contains ") +
                       QStringLiteral("invalid URLs. Please fix them.");
        Messages::MsgBox(message, MsgIcon::Information);
    }
    QApplication::restoreOverrideCursor();
}
