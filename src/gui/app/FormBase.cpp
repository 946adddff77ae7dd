#include "app/FormBase.h"

#include "widgets/FontScaling.h"
#include "widgets/FormFunctions.h"
#include "widgets/WindowSupport.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

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

FormBase::~FormBase() = default;

void FormBase::LoadFrame() {
    ScaleToDesktopFont(this);
    zsCenterFormEx(this);
    if (m_kind == Kind::MainWindow) {
        zsSetWindowResIconAll(this, QStringLiteral("A_MAIN"));
    } else {
        setWindowIcon(QIcon());
    }
    EnterPressesFocusedButton(this);
}

void FormBase::paintEvent(QPaintEvent* event) {
    Q_UNUSED(event);
    QPainter painter(this);
    PaintWindowBackground(this, painter);
}

void FormBase::closeEvent(QCloseEvent* event) {
    if (m_kind == Kind::Dialog) {
        // The close box of a dialog rejects it.
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
