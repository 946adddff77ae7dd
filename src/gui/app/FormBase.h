#pragma once

#include <QDialog>

class QKeyEvent;

// What every window of the program does when it opens, paints and closes: the frame font,
// centred on load, the A_MAIN icon (main windows) or none (dialogs), Enter on a focused
// button, the painted background, and a main window's unload. Key preview, drops and the
// toolbar companion are pieces a window installs itself (KeyPreview.h, DropTarget.h,
// ToolbarMark.h).
class FormBase : public QDialog {
    Q_OBJECT
public:
    enum class Kind { MainWindow, Dialog };

    static const QString& Credit(); // the about box's credit text

    ~FormBase() override;

    // Closes the window for good (main windows: after QueryUnload agreed).
    bool Unloaded() const { return m_unloaded; }

protected:
    FormBase(Kind kind, QWidget* parent);

    // The common load steps; call once the controls exist.
    void LoadFrame();
    // A main window may refuse to close (it stays open).
    virtual bool QueryUnload() { return true; }
    // Runs once when a main window really closes: save settings and histories here.
    virtual void OnUnload() {}
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

public:
    void reject() override;

private:
    Kind m_kind;
    bool m_unloaded = false;
};

// True when exactly these modifiers (of Shift, Ctrl, Alt) are down.
bool HasExactly(const QKeyEvent* event, Qt::KeyboardModifiers modifiers);
// Either Enter key: the main one or the keypad's.
bool IsEnter(const QKeyEvent* event);
// From now on Enter on a focused button of the window presses that button, also where it is
// not a default button; Enter elsewhere still goes to the window's default button.
void EnterPressesFocusedButton(QWidget* window);
