#include "service/frmLinks.h"
#include "ui_frmLinks.h"

#include "app/KeyPreview.h"
#include "app/ToolbarMark.h"
#include "app/modCommon.h"
#include "service/modLinks.h"
#include "widgets/FormFunctions.h"
#include "widgets/Messages.h"
#include "widgets/WindowSupport.h"

frmLinks::frmLinks(QWidget* parent)
    : FormBase(Kind::MainWindow, parent), ui(std::make_unique<Ui::frmLinks>()) {
    ui->setupUi(this);
    setWindowTitle(MakeWindowTitle(QStringLiteral("Links")));
    m_linksHook.SetTextBox(ui->txtLinks);
    m_linksHook.InitSelectAllHook();
    FormFunctions::AttachTextBox(ui->txtLinks);
    const Outcome<QString> links = ReadLinksList();
    ErrorBox::Report(links);
    SetBoxText(ui->txtLinks, links ? *links : QString());
    LoadFrame();
    InstallKeyPreview(this, [this](QKeyEvent* event) { return MainWindowKeys(this, event); });
    MarkOnToolbar(this);
}

frmLinks::~frmLinks() = default;

void frmLinks::OnUnload() {
    FormFunctions::DetachTextBox(ui->txtLinks);
}
