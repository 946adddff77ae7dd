#pragma once

#include <QtGlobal>

// The program's entry in the desktop's task bar or dock: the progress of a run and a count,
// sent with the launcher-entry D-Bus signal (com.canonical.Unity.LauncherEntry) that KDE
// Plasma, Dash to Dock and others show. Where no one listens the signal goes nowhere.
class LauncherEntry final {
public:
    LauncherEntry() = default;
    ~LauncherEntry(); // hides what it shows
    Q_DISABLE_COPY_MOVE(LauncherEntry)

    // Progress from 0 to 1, and a count (none when negative). A signal goes out only when the
    // whole percent or the count changes, so a fast transfer does not flood the bus.
    void Show(double progress, qint64 count = -1);
    void Hide();

private:
    int m_percent = -1; // shown; -1 while hidden
    qint64 m_count = -1;
};
