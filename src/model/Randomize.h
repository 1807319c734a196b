#pragma once
// Random variation of a performance: each parameter of the chosen groups
// moves at random around its current value, as far as the strength allows,
// and always to a value the synth accepts (the values of its range, the
// entries of its list). Widget-free, over the parameter table.

#include "model/Parameters.h"
#include "model/PerformanceImage.h"

#include <random>
#include <vector>

namespace patchsmith {

struct RandomizeChoice {
    int strength = 25; // percent of a parameter's range, 0..100
    // Of LayerVoice, FilterEnvelopes, Lfo, Effects, Arpeggio.
    std::vector<ParamGroup> groups;
    // Layer parameters go to layers first..last.
    int firstLayer = 1;
    int lastLayer = 1;
};

// The groups that can be randomized, in the order the dialog offers them.
inline constexpr ParamGroup kRandomGroups[] = {ParamGroup::LayerVoice, ParamGroup::FilterEnvelopes, ParamGroup::Lfo,
                                               ParamGroup::Effects, ParamGroup::Arpeggio};

// Whether a randomize of `group` moves the parameter. The name, the
// category and the layer switch are never moved (a layer switched off at
// random is silence, not variation).
bool randomized(const Parameter& p, ParamGroup group);

// Moves the chosen parameters of the image. A new variation type brings the
// defaults of its parameters before they move; note and velocity limits
// that end up crossed are swapped. Strength 0 changes nothing.
void randomize(PerformanceImage& image, const RandomizeChoice& choice, std::mt19937& random);

} // namespace patchsmith
