#include "app/ConnectionSettings.h"

#include "components/ComponentError.h"
#include "widgets/ConnectionDialog.h"
#include "widgets/Messages.h"

void OpenConnectionDialog(QWidget* owner) {
    ProxySettings settings;
    settings.Load();
    EditProxySettings(settings, owner);
    try {
        settings.Write();
    } catch (const ComponentError& e) {
        ErrorBox::ShowError(e, MsgIcon::Critical, QStringLiteral("Can't save settings."));
    }
}
