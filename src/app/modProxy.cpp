#include "app/modProxy.h"

#include "components/ComponentError.h"
#include "components/Messages.h"
#include "components/ProxySettings.h"

void ShowProxySettings(QWidget* owner) {
    ProxySettings settings;
    settings.Load();
    settings.ShowDialog(owner);
    try {
        settings.Write();
    } catch (const ComponentError& e) {
        ErrorBox::ShowError(e, MsgIcon::Critical, QStringLiteral("Can't save settings."));
    }
}
