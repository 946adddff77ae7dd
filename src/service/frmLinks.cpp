#include "service/frmLinks.h"

#include "app/modCommon.h"
#include "service/modLinks.h"
#include "widgets/FormFunctions.h"
#include "widgets/WindowSupport.h"

frmLinks::frmLinks(QWidget* parent) : FormBase(Kind::MainWindow, parent) {
    setupUi(this);
    setWindowTitle(MakeWindowTitle(QStringLiteral("Links")));
    m_linksHook.SetTextBox(txtLinks);
    m_linksHook.InitSelectAllHook();
    FormFunctions::AttachTextBox(txtLinks);
    SetBoxText(txtLinks, ReadLinksList());
    LoadFrame();
}

void frmLinks::OnUnload() {
    FormFunctions::DetachTextBox(txtLinks);
}
