#pragma once

#include <thread>

// Fontconfig reads its configuration and font caches on first use, which the first window
// with text would otherwise wait for. This reads them on a thread of its own while the
// program connects to the display.
class FontConfigWarmUp final {
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp&) = delete;
    FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

    // Before the first window: two threads loading fontconfig at once would each do the work.
    void Wait();

private:
    std::thread m_thread;
};
