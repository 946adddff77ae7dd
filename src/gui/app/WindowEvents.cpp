#include "app/WindowEvents.h"

#include <QWidget>

WindowEvents::WindowEvents(QWidget* window, const QList<QEvent::Type>& types, Handler handler)
    : QObject(window), m_window(window), m_types(types), m_handler(std::move(handler)) {}

void WindowEvents::Watch(QWidget* window, const QList<QEvent::Type>& types, Handler handler) {
    // Keys go to the focused widget and drags to the one under the pointer, so the window
    // watches itself and each of its widgets, not the whole application.
    auto* events = new WindowEvents(window, types, std::move(handler));
    window->installEventFilter(events);
    for (QWidget* widget : window->findChildren<QWidget*>())
        widget->installEventFilter(events);
}

bool WindowEvents::eventFilter(QObject* watched, QEvent* event) {
    if (!m_types.contains(event->type()) || !m_window->isVisible())
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    // Each event once: at the widget inside this window it is first delivered to.
    if (!widget || widget->window() != m_window)
        return false;
    return m_handler(widget, event);
}
