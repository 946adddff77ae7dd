#pragma once

#include <QDialog>

class QDropEvent;
class QKeyEvent;
class QMimeData;

// What every window of the program does when it opens, paints, closes and sees a key:
// centred on load, the A_MAIN icon (main windows) or none (dialogs), the toolbar
// companion told on load and unload, the painted background, and for main windows
// Shift+F1 (about box) and Esc (close) whichever control has the focus.
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
    // Sees every key press of the window before the focused control does;
    // true consumes it. The base handles Shift+F1 and Esc of main windows.
    virtual bool KeyPreview(QKeyEvent* event);
    // A main window may refuse to close (it stays open).
    virtual bool QueryUnload() { return true; }
    // Runs once when a main window really closes: save settings and histories here.
    virtual void OnUnload() {}
    // Drags from outside the program that the window takes over from its controls, wherever
    // the pointer is on it (call setAcceptDrops(true) too). Other drags go to the control
    // under the pointer, as they always did.
    virtual bool HandlesDrag(const QMimeData* data) const;
    // Whether the window takes what is dragged; with `take`, it takes it. A refused drag is
    // shown as such while it moves, and its drop is not accepted.
    virtual bool AcceptDrop(const QMimeData* data, bool take);

    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

public:
    void reject() override;

private:
    void WatchKeysAndDrags();
    bool PreviewEvent(QObject* watched, QEvent* event);
    bool FilterDrag(QDropEvent* event);

    Kind m_kind;
    QObject* m_events = nullptr; // hands the widgets' keys and drags to PreviewEvent
    bool m_marked = false;
    qint32 m_markedHandle = 0; // the companion is told the same handle on unload
    bool m_unloaded = false;
};

// True when exactly these modifiers (of Shift, Ctrl, Alt) are down.
bool HasExactly(const QKeyEvent* event, Qt::KeyboardModifiers modifiers);
// Either Enter key: the main one or the keypad's.
bool IsEnter(const QKeyEvent* event);
// From now on Enter on a focused button of the window presses that button, also where it is
// not a default button; Enter elsewhere still goes to the window's default button.
void EnterPressesFocusedButton(QWidget* window);
