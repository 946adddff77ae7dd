#pragma once

class QWidget;

// Lets the user edit the "HTTP Proxy" settings and stores them again, whatever was done
// in the dialog; the next request uses them.
void ShowProxySettings(QWidget* owner = nullptr);
