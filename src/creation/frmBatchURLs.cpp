#include "creation/frmBatchURLs.h"

#include "app/modCommon.h"
#include "app/zntTBHooks.h"
#include "components/ComponentError.h"
#include "components/Messages.h"
#include "components/SettingsStore.h"
#include "components/SupportLibrary.h"
#include "components/WindowSupport.h"
#include "creation/modBatch.h"

#include <QApplication>
#include <QTextCursor>

namespace {

const QString kTextKey = QStringLiteral("Last batch URLs text");

} // namespace

frmBatchURLs::frmBatchURLs(CreatorFields& creator, QWidget* parent)
    : FormBase(Kind::MainWindow, parent), m_creator(creator) {
    setupUi(this);
    setWindowTitle(MakeWindowTitle(QStringLiteral("URLs mode")));
    m_hooks = new zntTBHooks(this);
    m_hooks->SetTextBox(txtURLs);
    m_hooks->InitSelectAllHook();
    LoadFrame();

    connect(txtURLs, &QPlainTextEdit::textChanged, this, &frmBatchURLs::UpdateStatus);
    connect(cmdCreatePhoto, &QPushButton::clicked, this, &frmBatchURLs::CreatePosts);
    LoadSettings();
}

void frmBatchURLs::LoadSettings() {
    QString text;
    try {
        text = SettingsStore().GetText(kTextKey);
    } catch (const ComponentError&) {
        // An unreadable value counts as none stored.
    }
    // Only a text that differs from the empty box changes it (and so runs UpdateStatus).
    if (!text.isEmpty())
        SetBoxText(txtURLs, text);
    txtURLs->moveCursor(QTextCursor::Start);
}

void frmBatchURLs::SaveSettings() {
    try {
        SettingsStore().SaveText(kTextKey, GetBoxText(txtURLs));
    } catch (const ComponentError& e) {
        ErrorBox::ShowError(e, MsgIcon::Critical, QString());
    }
}

void frmBatchURLs::OnUnload() {
    SaveSettings();
}

void frmBatchURLs::UpdateStatus() {
    cmdCreatePhoto->setEnabled(!zsTrimEx2(GetBoxText(txtURLs)).isEmpty());
}

void frmBatchURLs::CreatePosts() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const URLBatchResult result = PackURLs(GetBoxText(txtURLs), m_creator);
    if (!result.aborted) {
        SetBoxText(txtURLs, zsTrimCRLF(result.invalidLines));
        QString message = QStringLiteral("All done ^_^v");
        if (!result.invalidLines.isEmpty())
            message += QStringLiteral("\r\n\r\nSome lines contains ") +
                       QStringLiteral("invalid URLs. Please fix them.");
        Messages::MsgBox(message, MsgIcon::Information);
    }
    QApplication::restoreOverrideCursor();
}
