#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

class QAbstractButton;
class QLineEdit;
class QWidget;

// The window side of the common-functions component.
namespace FormFunctions {

// Our small about box; tests replace what it does.
void AboutBox(QWidget* window, const QString& text, const QString& credit);
using AboutHook = std::function<void(QWidget* window, const QString& credit)>;
AboutHook SetAboutHook(AboutHook hook);

// Clicks a button the way a user would: a disabled button does nothing.
void PressButton(QAbstractButton* button);
// Picture files are told by their content, not their name. A file that is no picture
// raises ComponentError. With a size, the picture is decoded at (about) that size.
QImage LoadPictureFile(const QString& path, const QSize& displaySize = QSize());
// The same for a picture already read; `name` names it in the error.
QImage LoadPictureData(const QByteArray& data, const QString& name,
                       const QSize& displaySize = QSize());
// Completion of typed folder paths (mode 32: folders only).
void SetAutoComplete(QLineEdit* box, int mode);
// Pairs with DetachTextBox: gives a text box the component's context menu extras.
void AttachTextBox(QWidget* textBox);
void DetachTextBox(QWidget* textBox);

} // namespace FormFunctions

// Clipboard text; a copied file (as file managers copy them) gives its local path.
QString GetClipboardText();

// The open-file dialog; tests replace what it returns.
class OpenFileDialog final {
public:
    QString Filter;
    QString InitialDir;
    QWidget* Owner = nullptr;
    QString FileName;
    bool Show(); // true when a file was chosen

    using Hook = std::function<QString(const OpenFileDialog&)>; // empty result = cancelled
    static Hook SetHook(Hook hook);
};

// The folder dialog; tests replace what it returns.
class FolderDialog final {
public:
    QString Title;
    QWidget* Owner = nullptr;
    QString Folder; // start folder, and the chosen one
    bool Show();

    using Hook = std::function<QString(const FolderDialog&)>;
    static Hook SetHook(Hook hook);
};
