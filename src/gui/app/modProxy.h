#pragma once

class QWidget;

// Lets the user edit the "HTTP Proxy" settings and stores them again, whatever was done
// in the dialog; the next request uses them. A failed write shows the settings error box.
void ShowProxySettings(QWidget* owner = nullptr);
