#include "app/FormBase.h"

#include "app/modKessbar.h"
#include "widgets/FontScaling.h"
#include "widgets/FormFunctions.h"
#include "widgets/WindowSupport.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

#include <functional>

bool HasExactly(const QKeyEvent* event, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers held =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    return held == modifiers;
}

bool IsEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

namespace {

// A button that is no default button leaves Enter to its window, which would press the
// default one instead of the button the user is on.
class EnterPressesButton final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!IsEnter(key) || !HasExactly(key, Qt::NoModifier))
            return false;
        static_cast<QPushButton*>(watched)->click();
        return true;
    }
};

// Hands the events of a window's widgets to the window first. It is an object of its own so
// that a window's eventFilter sees only the widgets the window itself watches.
class WindowEvents final : public QObject {
public:
    WindowEvents(QObject* parent, std::function<bool(QObject*, QEvent*)> handler)
        : QObject(parent), m_handler(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override { return m_handler(watched, event); }

private:
    std::function<bool(QObject*, QEvent*)> m_handler;
};

} // namespace

void EnterPressesFocusedButton(QWidget* window) {
    auto* filter = new EnterPressesButton(window);
    for (QPushButton* button : window->findChildren<QPushButton*>())
        button->installEventFilter(filter);
}

const QString& FormBase::Credit() {
    static const QString credit = QStringLiteral("Orla Brenner");
    return credit;
}

FormBase::FormBase(Kind kind, QWidget* parent) : QDialog(parent), m_kind(kind) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // Before the controls exist, which then lay out their text once, in the frame's font.
    zsSetFrameFont(this);
}

FormBase::~FormBase() {
    // The widgets still send events while QWidget deletes them, when this is no FormBase any
    // more.
    delete m_events;
    if (m_marked)
        ToolBarUnMarkHandle(m_markedHandle);
}

void FormBase::LoadFrame() {
    ScaleToDesktopFont(this);
    zsCenterFormEx(this);
    if (m_kind == Kind::MainWindow) {
        if (!zsIsInIDE())
            zsSetWindowResIconAll(this, QStringLiteral("A_MAIN"));
    } else {
        setWindowIcon(QIcon());
    }
    EnterPressesFocusedButton(this);
    WatchKeysAndDrags();
    m_markedHandle = ToolBarMarkForm(this);
    m_marked = true;
}

bool FormBase::KeyPreview(QKeyEvent* event) {
    if (m_kind != Kind::MainWindow)
        return false;
    if (event->key() == Qt::Key_F1 && HasExactly(event, Qt::ShiftModifier)) {
        FormFunctions::AboutBox(this, QString(), Credit());
        return true;
    }
    if (event->key() == Qt::Key_Escape && HasExactly(event, Qt::NoModifier)) {
        close();
        return true;
    }
    return false;
}

bool FormBase::HandlesDrag(const QMimeData*) const {
    return false;
}

bool FormBase::AcceptDrop(const QMimeData*, bool) {
    return false;
}

bool FormBase::FilterDrag(QDropEvent* event) {
    // Drags inside the program (text moved between boxes) stay the controls' business.
    if (event->source() || !HandlesDrag(event->mimeData()))
        return false;
    const Qt::DropActions possible = event->possibleActions();
    // Never a move: the file manager would delete what was dropped.
    const Qt::DropAction action = possible.testFlag(Qt::CopyAction)   ? Qt::CopyAction
                                  : possible.testFlag(Qt::LinkAction) ? Qt::LinkAction
                                                                      : Qt::IgnoreAction;
    // A window behind a modal one takes nothing.
    const QWidget* modal = QApplication::activeModalWidget();
    if (action != Qt::IgnoreAction && (!modal || modal == this) &&
        AcceptDrop(event->mimeData(), event->type() == QEvent::Drop)) {
        event->setDropAction(action);
        event->accept();
    } else {
        event->ignore();
    }
    return true;
}

void FormBase::WatchKeysAndDrags() {
    // Keys go to the focused widget and drags to the one under the pointer, so the window
    // watches itself and each of its widgets, not the whole application.
    m_events = new WindowEvents(
        this, [this](QObject* watched, QEvent* event) { return PreviewEvent(watched, event); });
    installEventFilter(m_events);
    for (QWidget* widget : findChildren<QWidget*>())
        widget->installEventFilter(m_events);
}

bool FormBase::PreviewEvent(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool drag = type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop;
    if ((type != QEvent::KeyPress && !drag) || !isVisible())
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    // Each key press or drag event once: at the widget it is first delivered to, inside this
    // window.
    if (!widget || widget->window() != this)
        return false;
    if (drag)
        return FilterDrag(static_cast<QDropEvent*>(event));
    QWidget* focus = QApplication::focusWidget();
    if (widget != (focus && focus->window() == this ? focus : this))
        return false;
    return KeyPreview(static_cast<QKeyEvent*>(event));
}

void FormBase::paintEvent(QPaintEvent* event) {
    Q_UNUSED(event);
    QPainter painter(this);
    zsPaintDesktop2(this, painter);
}

void FormBase::closeEvent(QCloseEvent* event) {
    if (m_kind == Kind::Dialog) {
        // The close box of a dialog only hides it; its opener reads it, then deletes it.
        QDialog::closeEvent(event);
        return;
    }
    if (!m_unloaded) {
        if (!QueryUnload()) {
            event->ignore();
            return;
        }
        m_unloaded = true;
        OnUnload();
        if (m_marked) {
            ToolBarUnMarkHandle(m_markedHandle);
            m_marked = false;
        }
    }
    event->accept();
    done(QDialog::Rejected);
}

void FormBase::reject() {
    // QDialog sends Esc here; a main window closes through its close path instead.
    if (m_kind == Kind::MainWindow)
        close();
    else
        QDialog::reject();
}
