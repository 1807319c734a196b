#include "ui/EnvelopeGraph.h"

#include <algorithm>

namespace patchsmith::editor {

namespace {

// Positions outside a bar's range never reach the graph from a bar, but the
// routine must not draw outside its box for them either.
int timeValue(int position) { return 128 - std::clamp(position, 1, 127); }
int levelPosition(int position) { return std::clamp(position, 0, 127); }

int segment(int xs, int position) { return xs * timeValue(position) / 128; }
int levelRow(int r, int position) { return r * levelPosition(position) / 128 + 1; }

} // namespace

EnvelopeGeometry adsrEnvelope(int width, int height, int attackPos, int decayPos, int sustainPos, int releasePos) {
    EnvelopeGeometry g;
    if (width < 2 || height < 2) return g;
    const int xs = width * 10 / 31;
    const int r = height - 1;
    const int a = segment(xs, attackPos);
    const int d = segment(xs, decayPos);
    const int e = segment(xs, releasePos);
    const int s = levelRow(r, sustainPos);
    g.attack = a;
    g.decay = d;
    g.release = e;
    g.markerTop = 1;
    g.markerBottom = r;
    g.markerX = {a + 1, a + d + 1, width - 1 - e};
    g.line = {{1, r}, {a + 1, 1}, {a + d + 1, s}, {width - 1 - e, s}, {width - 1, r}};
    return g;
}

EnvelopeGeometry pitchEnvelope(int width, int height, int initLevelPos, int attackTimePos, int attackLevelPos,
                               int decayTimePos, int releaseTimePos, int releaseLevelPos) {
    EnvelopeGeometry g;
    if (width < 2 || height < 2) return g;
    const int xs = width * 10 / 49;
    const int r = height - 1;
    const int m = r / 2;
    const int a = segment(xs, attackTimePos);
    const int d = segment(xs, decayTimePos);
    const int e = segment(xs, releaseTimePos);
    const int i = levelRow(r, initLevelPos);
    const int k = levelRow(r, attackLevelPos);
    const int l = levelRow(r, releaseLevelPos);
    g.attack = a;
    g.decay = d;
    g.release = e;
    g.markerTop = 1;
    g.markerBottom = r;
    g.markerX = {20, 20 + a, 20 + a + d, width - 20 - e, width - 20};
    g.line = {{1, i}, {20, i}, {20 + a, k}, {20 + a + d, m}, {width - 20 - e, m}, {width - 20, l}, {width, l}};
    return g;
}

} // namespace patchsmith::editor
