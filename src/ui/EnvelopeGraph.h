#pragma once
// Geometry of the three envelope graphs, from the box size and the positions
// of the envelope track bars. Widget-free so that the exact pixels can be
// checked without painting.
//
// Time bars store T = 128 - position; level bars are used by position (0 is
// the highest level, drawn at the top).

#include <vector>

namespace patchsmith::editor {

struct GraphPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const GraphPoint&, const GraphPoint&) = default;
};

struct EnvelopeGeometry {
    // Red vertical lines, each from row markerTop down to row markerBottom.
    std::vector<int> markerX;
    int markerTop = 1;
    int markerBottom = 0;
    // The bright green line through these points, in order.
    std::vector<GraphPoint> line;
    // Segment widths of attack, decay and release.
    int attack = 0;
    int decay = 0;
    int release = 0;

    bool empty() const { return line.empty(); }
};

// Amplitude and filter graph: attack rising to the top, decay falling to the
// sustain row, sustain held, release falling to the bottom at the right edge.
// A box smaller than 2 x 2 pixels yields an empty geometry.
EnvelopeGeometry adsrEnvelope(int width, int height, int attackPos, int decayPos, int sustainPos, int releasePos);

// Pitch graph: initial level held across a 20-pixel margin, attack to the
// attack level, decay to the middle row, held, release to the release level,
// held across the right margin.
EnvelopeGeometry pitchEnvelope(int width, int height, int initLevelPos, int attackTimePos, int attackLevelPos,
                               int decayTimePos, int releaseTimePos, int releaseLevelPos);

} // namespace patchsmith::editor
