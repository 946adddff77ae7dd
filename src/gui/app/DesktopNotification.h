#pragma once

#include "widgets/Messages.h"

#include <QPointer>
#include <QWidget>

// Tells a user who has turned to another window that a long run of `window` has ended: a
// desktop notification (org.freedesktop.Notifications, with the program's icon and `text`)
// and the window's urgency hint. Nothing while the window is the active one. Nothing waits
// for the notification service, which may be missing.
void AnnounceRunEnd(QWidget* window, const QString& text);

// Watches one run of a window. The first error box shown meanwhile is announced at once, by
// its first line, since the run waits for it; otherwise Finish announces how the run ended.
class RunAnnouncement final {
public:
    explicit RunAnnouncement(QWidget* window);
    ~RunAnnouncement();
    Q_DISABLE_COPY_MOVE(RunAnnouncement)

    void Finish(const QString& text);

private:
    QPointer<QWidget> m_window;
    Messages::Handler m_previous;
    bool m_errorAnnounced = false;
};
