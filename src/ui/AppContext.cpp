#include "ui/AppContext.h"

namespace patchsmith {

AppContext::AppContext(midi::MidiPlatform& platform, Notifier& n)
    : notifier(n), devices(platform, n), link(model, devices), edits(model, link) {}

PerfNumberTextsRef& PerfNumberTextsRef::operator=(const std::array<std::string, 128>& texts) {
    for (int slot = 0; slot < 128; ++slot) labels_.store(slot, texts[static_cast<std::size_t>(slot)]);
    return *this;
}

std::array<std::string, 128> makePerfNumberTexts() {
    std::array<std::string, 128> texts;
    for (int slot = 0; slot < 128; ++slot) texts[static_cast<std::size_t>(slot)] = slotNumberText(slot);
    return texts;
}

} // namespace patchsmith
