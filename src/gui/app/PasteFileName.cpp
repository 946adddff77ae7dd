#include "app/PasteFileName.h"

#include "components/SupportLibrary.h"

#include <QLineEdit>

bool PasteFileName(QString& text, QLineEdit* box) {
    text = TrimPathOrURL(text);
    if (text.isEmpty() || !zsIsFileExist(text))
        return false;
    box->setText(text);
    box->setCursorPosition(static_cast<int>(text.size()));
    return true;
}
