#include "app/modProxy.h"

#include "components/ProxySettings.h"

void ShowProxySettings(QWidget* owner) {
    ProxySettings settings;
    settings.Load();
    settings.ShowDialog(owner);
    settings.Save();
}
