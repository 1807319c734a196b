#include "app/AppContext.h"

#include <cstdio>

namespace patchsmith::app {

AppContext::AppContext(midi::MidiPlatform& platform, Notifier& n)
    : notifier(n), devices(platform, n), link(model, devices) {}

std::array<std::string, 128> MakePerfNumberTexts() {
    std::array<std::string, 128> texts;
    for (int i = 0; i < 128; ++i) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%03d", i + 1);
        texts[static_cast<std::size_t>(i)] = buf;
    }
    return texts;
}

} // namespace patchsmith::app
