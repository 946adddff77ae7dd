#include "app/modProxy.h"

#include "components/ComponentError.h"
#include "widgets/Messages.h"
#include "widgets/ProxySettingsDialog.h"

void ShowProxySettings(QWidget* owner) {
    ProxySettings settings;
    settings.Load();
    EditProxySettings(settings, owner);
    try {
        settings.Write();
    } catch (const ComponentError& e) {
        ErrorBox::ShowError(e, MsgIcon::Critical, QStringLiteral("Can't save settings."));
    }
}
