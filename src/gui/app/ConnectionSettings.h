#pragma once

class QWidget;

// Once modProxy / ShowProxySettings: the dialog behind "Proxy" also chooses the service
// and signs in. Lets the user edit the "HTTP Proxy" settings and stores them again, whatever was
// done in the dialog; the next request uses them. A failed write shows the settings error box.
void OpenConnectionDialog(QWidget* owner = nullptr);
