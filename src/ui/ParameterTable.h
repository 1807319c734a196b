#pragma once
// The image byte behind each plain control and the conversions between the
// control's position, the stored byte and its read-out text. The edit
// handlers go one way (position to byte), the display refresh the other
// (byte to position); both read this one table. Widget-free.

#include "model/PerformanceImage.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace patchsmith::editor {

enum class Envelope { None, Amplitude, Filter, Pitch };

// A track bar whose byte is K - position and whose read-out is L - position
// (so the refresh puts the bar at K - v and shows v + L - K).
struct TrackBarParam {
    std::string_view name;
    bool layer = false; // a layer byte (current layer or all four) or a common one
    Block block = Block::Common; // for common bytes
    int offset = 0;
    int storedBase = 127;  // K
    int labelBase = 127;   // L
    Envelope redraw = Envelope::None;
    bool refreshed = true; // set by the display refresh
};

// A check box storing `onValue` when checked and 0 when not.
struct CheckBoxParam {
    std::string_view name;
    bool layer = false;
    Block block = Block::Common;
    int offset = 0;
    int onValue = 1;
};

// Radio buttons storing 0, 1, 2 ... in the order given; the refresh checks
// the last one for any other value.
struct RadioGroupParam {
    std::vector<std::string_view> names;
    int offset = 0; // layer bytes only
};

// A list or combo box storing its row.
struct ListParam {
    std::string_view name;
    Block block = Block::Common;
    int offset = 0;
    bool scrollToTop = false; // the refresh makes the selected row the top row
};

const std::vector<TrackBarParam>& trackBarParams();
const std::vector<CheckBoxParam>& checkBoxParams();
const std::vector<RadioGroupParam>& radioGroupParams();
const std::vector<ListParam>& listParams();
const TrackBarParam* findTrackBarParam(std::string_view name);

inline int storedFromPosition(const TrackBarParam& p, int position) { return p.storedBase - position; }
inline int positionFromStored(const TrackBarParam& p, int stored) { return p.storedBase - stored; }
inline int shownFromPosition(const TrackBarParam& p, int position) { return p.labelBase - position; }
inline int shownFromStored(const TrackBarParam& p, int stored) { return stored + p.labelBase - p.storedBase; }

// Read-out texts of the controls with their own rules. `decimalPoint` is the
// locale's decimal separator.
std::string NoteShiftText(int shown);                    // "±0", "+6", "-6"
std::string DetuneText(int tenthsHz, char decimalPoint);  // "±0 Hz", "+0.5 Hz", "-12.8 Hz"
std::string PanText(int position);                       // "CTR", "L-63", "R-63"

} // namespace patchsmith::editor
