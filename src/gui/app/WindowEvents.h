#pragma once

#include <QEvent>
#include <QList>
#include <QObject>

#include <functional>

class QWidget;

// Hands the events of these types, sent to a window or to a widget it has now, to `handler`
// first while the window is on the screen; true from the handler consumes the event. An object of
// its own, so that a window's own eventFilter sees only the widgets the window itself watches.
class WindowEvents final : public QObject {
public:
    using Handler = std::function<bool(QWidget* widget, QEvent* event)>;

    // Owned by the window.
    static void Watch(QWidget* window, const QList<QEvent::Type>& types, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowEvents(QWidget* window, const QList<QEvent::Type>& types, Handler handler);

    QWidget* m_window;
    QList<QEvent::Type> m_types;
    Handler m_handler;
};
