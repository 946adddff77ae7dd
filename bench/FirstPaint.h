#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <functional>

// Calls back once a window's first frame is complete: after its first paint event, at the
// next turn of the event loop, when its controls have been painted too.
class FirstPaint final : public QObject {
public:
    FirstPaint(QWidget* window, std::function<void()> done)
        : m_window(window), m_done(std::move(done)) {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, this, [this] { m_done(); });
        }
        return false;
    }

private:
    QWidget* m_window;
    std::function<void()> m_done;
    bool m_seen = false;
};

// For the start-up benchmark: prints "PAINTED <monotonic clock in ns>", which the driver
// compares with the moment it started the process, and ends the program.
inline void ReportPaintedAndQuit() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::printf("PAINTED %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    std::fflush(stdout);
    QCoreApplication::exit(0);
}
