#include "app/FontConfigWarmUp.h"

#include <fontconfig/fontconfig.h>
#include <system_error>

FontConfigWarmUp::FontConfigWarmUp() {
    try {
        m_thread = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // Qt then loads fontconfig itself, as it would without this.
    }
}

FontConfigWarmUp::~FontConfigWarmUp() {
    Wait();
}

void FontConfigWarmUp::Wait() {
    if (m_thread.joinable())
        m_thread.join();
}
