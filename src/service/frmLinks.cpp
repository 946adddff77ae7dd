#include "service/frmLinks.h"

#include "app/modCommon.h"
#include "components/FormFunctions.h"
#include "components/WindowSupport.h"
#include "service/modLinks.h"

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
