#include "model/Randomize.h"

#include <algorithm>
#include <cstdlib>

namespace patchsmith {

namespace {

// A value within lo..hi at most `strength` percent of the range away from
// `current`, each such value equally likely.
int moved(int current, int lo, int hi, int strength, std::mt19937& random) {
    current = std::clamp(current, lo, hi);
    const int reach = ((hi - lo) * strength + 50) / 100;
    if (reach <= 0) return current;
    std::uniform_int_distribution<int> pick(std::max(lo, current - reach), std::min(hi, current + reach));
    return pick(random);
}

int movedValue(const Parameter& p, const PerformanceImage& image, int layer, int strength, std::mt19937& random) {
    const ValueRange range = storedRange(p, image);
    const int current = storedValue(p, image, layer);
    if (!range.only.empty()) {
        // The entries of a list of values: move by entries, not by value.
        std::size_t nearest = 0;
        for (std::size_t k = 0; k < range.only.size(); ++k)
            if (std::abs(range.only[k] - current) < std::abs(range.only[nearest] - current)) nearest = k;
        const int last = static_cast<int>(range.only.size()) - 1;
        return range.only[static_cast<std::size_t>(moved(static_cast<int>(nearest), 0, last, strength, random))];
    }
    return moved(current, range.min, range.max, strength, random);
}

// Limits that cross after moving are swapped, so that the layer still sounds.
void uncross(PerformanceImage& image, const Parameter& low, const Parameter& high, int layer) {
    const int a = storedValue(low, image, layer);
    const int b = storedValue(high, image, layer);
    if (a <= b) return;
    writeValue(low, image, b, layer);
    writeValue(high, image, a, layer);
}

} // namespace

bool randomized(const Parameter& p, ParamGroup group) {
    return p.group == group && p.encoding != ParamEncoding::Text && &p != &params::LayerOn &&
           &p != &params::PerformanceType;
}

void randomize(PerformanceImage& image, const RandomizeChoice& choice, std::mt19937& random) {
    const int strength = std::clamp(choice.strength, 0, 100);
    if (strength == 0) return;
    const int first = std::clamp(choice.firstLayer, 1, 4);
    const int last = std::clamp(choice.lastLayer, first, 4);
    auto chosen = [&](const Parameter& p) {
        return std::any_of(choice.groups.begin(), choice.groups.end(), [&](ParamGroup g) { return randomized(p, g); });
    };
    // In the table's order: the variation type before its parameters, whose
    // ranges follow it.
    for (const Parameter* p : allParameters()) {
        if (!chosen(*p) || storedRange(*p, image).empty()) continue;
        if (!p->layer()) {
            const int before = storedValue(*p, image);
            const int value = movedValue(*p, image, 1, strength, random);
            writeValue(*p, image, value);
            if (p->rule == ParamRule::VariationDefaults && value != before) writeVariationDefaults(image, value);
            continue;
        }
        for (int layer = first; layer <= last; ++layer)
            writeValue(*p, image, movedValue(*p, image, layer, strength, random), layer);
    }
    const bool voices =
        std::find(choice.groups.begin(), choice.groups.end(), ParamGroup::LayerVoice) != choice.groups.end();
    for (int layer = first; voices && layer <= last; ++layer) {
        uncross(image, params::NoteLimitLow, params::NoteLimitHigh, layer);
        uncross(image, params::VelocityLimitLow, params::VelocityLimitHigh, layer);
    }
}

} // namespace patchsmith
