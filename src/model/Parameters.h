#pragma once
// The parameters of a performance, each defined once: where its bytes live
// (block, offset, the partner byte of a two-byte value), how the bytes form
// its stored value, the values the synth accepts, how an edit travels to the
// synth, the control that shows it (range, start position, position <->
// stored value) and the text the window shows for it. Widget-free: the
// editor window, the command line and any tool that walks a performance
// read the same table.
//
// Every data byte of every block belongs to exactly one parameter, or to the
// few bytes the editor never shows and carries unchanged (carriedBytes()).

#include "model/Bytes.h"
#include "model/PerformanceImage.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace patchsmith {

// Where a parameter's bytes live. Layer parameters exist in each of the four
// layer blocks; an edit goes to the edited layer or to all four.
enum class ParamArea { Common, Effect, Controller, Layer };

// What a parameter is about, for tools that treat parameters by subject.
enum class ParamGroup { Performance, Controllers, Arpeggio, Effects, LayerVoice, FilterEnvelopes, Lfo };

// How the image bytes form the stored value.
enum class ParamEncoding {
    Byte,    // one byte
    Wide,    // two bytes of 7 bits, high first: 128 * first + second
    Nibbles, // two bytes of 4 bits, high first: 16 * first + second
    Pair,    // two bytes (MSB, LSB) = an entry of the parameter's list; the value is the entry's row
    Text,    // the eight name characters
};

// How an edit travels to the synth.
enum class ParamSend {
    OneByte,   // a parameter change of the byte (layer bytes: to the edited layer, or to all four)
    TwoByte,   // one parameter change carrying the two bytes from `sendOffset` on
    BlockDump, // the whole block as a bulk dump
    LayerDump, // the layer block as a bulk dump (all four with "edit all layers")
};

// The control that shows the parameter.
enum class ParamControl {
    VBar,       // vertical track bar, minimum at the top
    HBar,       // horizontal track bar
    CheckBox,   // checked for any value but 0; stores `onValue` when checked
    Choices,    // radio buttons, one per value 0, 1, 2 ...
    ModeChecks, // the three arpeggio mode boxes over one byte
    List,       // list box, row = value
    Combo,      // combo box, row = value
    EditBox,    // the name
};

// The read-out text of a track bar.
enum class ParamReadout {
    None,
    Number,    // decimal of value - zero
    Note,      // note name of the bar's position
    Pan,       // "CTR", "L-n", "R-n" of the bar's position
    Shift,     // "±0", "+n", "-n" of value - 64
    Detune,    // tenths of a hertz of value - 128, signed, with " Hz"
    Tempo,     // beats per minute, value + 39
    Variation, // printed as the variation type says
};

// The entries of a list, or the texts of radio buttons and mode boxes.
enum class ParamList {
    None,
    Categories,
    ArpeggioTypes,
    ArpeggioSubdivisions,
    Assign1Targets,
    Assign2Targets,
    ReverbTypes,
    ChorusTypes,
    VariationTypes,
    Banks,
    Voices,  // the 128 voices of the layer's bank
    Choices, // the parameter's own `choices`
};

// Another part of the image that the range, format or list of a parameter
// follows.
enum class ParamDepends {
    None,
    VariationType, // range and format of the variation parameters
    Bank,          // the voice names of the layer's bank
    Assign2Tab,    // one of four parameters shown by the same controls, by tab
};

// The envelope graph a parameter redraws.
enum class Envelope { None, Amplitude, Filter, Pitch };

// Rules of an edit beyond writing the value and sending it.
enum class ParamRule {
    None,
    MutedVolume,       // a muted layer keeps 0; the new volume becomes its saved volume
    LayerSwitch,       // the layer selectors show which layers are on
    NoteLimit,         // low and high limit push each other along
    VariationDefaults, // a new variation type brings the defaults of its parameters
};

struct Parameter {
    std::string_view name; // the control's name ("AEGAtkTime"), or a name for a group or a pair
    ParamGroup group = ParamGroup::Performance;
    ParamArea area = ParamArea::Common;
    int offset = 0;   // the first (or only) data byte
    int partner = -1; // the second byte of a two-byte value, -1 for none
    ParamEncoding encoding = ParamEncoding::Byte;
    ParamSend send = ParamSend::OneByte;
    int sendOffset = 0; // the byte whose address the change goes to
    ParamControl control = ParamControl::VBar;
    // Range and start position of the control (bars: positions; lists and
    // choices: rows; check boxes 0..1).
    int min = 0;
    int max = 127;
    int start = 0;
    // Bars: position = base - value when inverted, else position = value.
    bool inverted = true;
    int base = 127;
    ParamReadout readout = ParamReadout::None;
    int zero = 0;    // Number read-outs: the stored value shown as 0
    int onValue = 1; // check boxes
    ParamList list = ParamList::None;
    int entries = 0; // rows of the list, number of choices
    std::array<std::string_view, 4> choices{};
    // A stored 0 that the bar cannot show: a check box beside it is checked
    // and the bar rests at `restPosition` (random pan, MIDI clock tempo).
    bool zeroChecksCompanion = false;
    int restPosition = 0;
    std::string_view companionText; // what 0 means
    Envelope envelope = Envelope::None;
    ParamDepends depends = ParamDepends::None;
    int tab = 0;              // assign-knob-2 parameter 1..4, 0 for all others
    bool scrollToTop = false; // the list shows the selected row as its top row
    ParamRule rule = ParamRule::None;

    // An edit of it is one byte written and one one-byte change sent, shown
    // by one control with no rule of its own.
    constexpr bool plain() const {
        return encoding == ParamEncoding::Byte && send == ParamSend::OneByte && rule == ParamRule::None &&
               depends == ParamDepends::None && !zeroChecksCompanion && control != ParamControl::ModeChecks &&
               control != ParamControl::EditBox;
    }
    constexpr bool layer() const { return area == ParamArea::Layer; }
    constexpr bool twoBytes() const { return partner >= 0; }
    constexpr bool bar() const { return control == ParamControl::VBar || control == ParamControl::HBar; }
};

// Every parameter, in a stable order: common, effect, controller and layer
// block, each by offset. References stay valid for the whole run.
std::span<const Parameter* const> allParameters();
// The parameter of that name; nullptr for none.
const Parameter* findParameter(std::string_view name);
// The parameter whose bytes include `offset` of `area`; nullptr for a carried byte.
const Parameter* parameterAt(ParamArea area, int offset);

// Where a parameter's first byte lies in the bulk-dump message of its block
// (header included): data byte k is message byte 9 + k.
inline std::size_t messageOffset(const Parameter& p) { return static_cast<std::size_t>(kHeaderBytes + p.offset); }

// The block of a parameter (layer parameters: of layer 1..4).
Block blockOf(ParamArea area, int layer = 1);
// Address low byte of a byte of the common, effect or controller block, and
// of a layer byte (the layer is the address's mid byte).
Byte addressLow(ParamArea area, int offset);

// The bytes the editor never shows, carried unchanged: PerfCommon 22..27,
// PerfEffect 18, PerfController 5.
struct CarriedBytes {
    ParamArea area;
    int first;
    int count;
};
std::span<const CarriedBytes> carriedBytes();

// The data-byte offsets an edit of the parameter writes (its own bytes; a
// variation type also the defaults of the six variation parameters).
std::vector<int> bytesWritten(const Parameter& p);
// The data bytes that hold the parameter's stored value, in order: the eight
// name characters, both bytes of a two-byte value or pair, or its one byte.
// (An assign-knob-2 layer travels with its target byte but holds only its own.)
std::vector<int> valueBytes(const Parameter& p);
// Whether a stored performance (a user performance, a .SYX or .PFB record)
// holds the parameter: its effect block has no place for the two variation
// sends.
bool inStoredPerformance(const Parameter& p);
// A short lower-case name of a group ("performance", "layer-voice" ...), for
// tools that write parameters out.
std::string_view groupName(ParamGroup group);

// ---- values ------------------------------------------------------------------

// The stored value of a parameter in the image (layer parameters: of layer
// 1..4). Pairs give the row of their list, -1 for a pair that is in no row;
// the name gives 0 (see nameText).
int storedValue(const Parameter& p, const PerformanceImage& image, int layer = 1);
// The stored value in the default performance ("InitPerf"; all four layers alike).
int defaultValue(const Parameter& p);
// Writes a stored value into the image (layer parameters: into one layer).
// A pair row outside its list writes nothing; other values are cut to what
// their bytes hold, so no data byte gets bit 7 set.
void writeValue(const Parameter& p, PerformanceImage& image, int value, int layer = 1);
// The eight name characters as stored.
std::string nameText(const PerformanceImage& image);
// Writes a name: at most 8 characters, padded with blanks; anything but
// printable ASCII becomes a blank.
void writeName(PerformanceImage& image, std::u16string_view text);
void writeName(PerformanceImage& image, std::string_view text);
inline constexpr int kNameLength = 8;
constexpr bool isNameCharacter(int c) { return c >= 0x20 && c <= 0x7E; }

// The stored values the synth accepts for a parameter, as the window writes
// them. A variation parameter follows the image's variation type: an unused
// parameter, or any under a type in no row, has none.
struct ValueRange {
    int min = 0;
    int max = -1;                // empty when max < min
    std::span<const int> only{}; // when not empty: only these values
    bool empty() const { return only.empty() && max < min; }
    bool contains(int v) const;
};
ValueRange storedRange(const Parameter& p, const PerformanceImage& image);

// ---- control positions -------------------------------------------------------

// The position a bar shows for a stored value (not clamped to its range; the
// bar clamps). A value that checks the companion box gives the rest position.
int positionOf(const Parameter& p, int value);
// The stored value of a bar position, a check box state (0, 1), a choice or a row.
int storedOf(const Parameter& p, int position);

// ---- texts -------------------------------------------------------------------

// The read-out text of a bar for a stored value, as the window's read-out
// label shows it. `decimalPoint` is the locale's separator (tenths).
std::string readoutText(const Parameter& p, int value, char decimalPoint);
// Entry `row` of a list (voices: of `bank`); empty outside the list.
std::string entryText(ParamList list, int row, int bank = 0);
// Number of entries of a list (choices: see Parameter::entries).
int entryCount(ParamList list);
// The text the window shows for a parameter of the image: the read-out of a
// bar, the entry of a list, the checked box or radio button, the name; a
// bar's value 0 that checks its companion box reads as what it means ("MIDI",
// "Random"). A value the window cannot show reads "?" followed by the value
// (a row past a list's end: "?25"; a pair in no row: its bytes, "?7F/00").
std::string displayText(const Parameter& p, const PerformanceImage& image, int layer, char decimalPoint);

// Read-out texts with rules of their own.
std::string noteShiftText(int shown);                    // "±0", "+6", "-6"
std::string detuneText(int tenthsHz, char decimalPoint); // "±0 Hz", "+0.5 Hz", "-12.8 Hz"
std::string panText(int position);                       // "CTR", "L-63", "R-63"

// The arpeggio mode byte as its three boxes, and back.
struct ArpModeBoxes {
    bool on = false;
    bool hold = false;
    bool split = false;
};
ArpModeBoxes arpModeBoxes(int value);
int arpModeValue(const ArpModeBoxes& boxes);

// Row 0..43 of the image's variation type; nullopt for a pair in no row.
std::optional<int> variationTypeRow(const PerformanceImage& image);
// The defaults of the six variation parameters of variation type `row`
// into the image (nothing for a row in no list).
void writeVariationDefaults(PerformanceImage& image, int row);

// ---- the parameters by name --------------------------------------------------
// For code that treats one parameter in its own way. Blocks and offsets are
// written in Parameters.cpp and nowhere else.
namespace params {

extern const Parameter PerformanceName;
extern const Parameter PerformanceType;
extern const Parameter CommonVolume;
extern const Parameter Scene1Knob1;
extern const Parameter Scene1Knob2;
extern const Parameter Scene1Knob3;
extern const Parameter Scene1Knob4;
extern const Parameter Scene1Knob5;
extern const Parameter Scene1Knob6;
extern const Parameter Scene2Knob1;
extern const Parameter Scene2Knob2;
extern const Parameter Scene2Knob3;
extern const Parameter Scene2Knob4;
extern const Parameter Scene2Knob5;
extern const Parameter Scene2Knob6;
extern const Parameter Assign2Param1Layer;
extern const Parameter Assign2Param1Para;
extern const Parameter Assign2Param2Layer;
extern const Parameter Assign2Param2Para;
extern const Parameter Assign2Param3Layer;
extern const Parameter Assign2Param3Para;
extern const Parameter Assign2Param4Layer;
extern const Parameter Assign2Param4Para;
extern const Parameter Assign2Param1Level;
extern const Parameter Assign2Param2Level;
extern const Parameter Assign2Param3Level;
extern const Parameter Assign2Param4Level;
extern const Parameter Assign1Para;
extern const Parameter ArpTempo;
extern const Parameter ArpeggioType;
extern const Parameter ArpeggioSubdiv;
extern const Parameter ArpMode;
extern const Parameter ReverbType;
extern const Parameter ChorusType;
extern const Parameter VariType;
extern const Parameter VPara1;
extern const Parameter VPara2;
extern const Parameter VPara3;
extern const Parameter VPara4;
extern const Parameter VPara5;
extern const Parameter VPara10;
extern const Parameter FCVariCtl;
extern const Parameter ChorusToReverb;
extern const Parameter VariOnRev;
extern const Parameter VariOnCho;
extern const Parameter MWFilterCtl;
extern const Parameter MWLFOPMod;
extern const Parameter MWLFOFMod;
extern const Parameter PitchBend;
extern const Parameter FCFilterCtl;
extern const Parameter FCLFOFMod;
extern const Parameter PortaOn;
extern const Parameter PortaTime;
extern const Parameter PatchBankNumber;
extern const Parameter PatchVoiceNumber;
extern const Parameter PlayPoly;
extern const Parameter NoteShift;
extern const Parameter NoteDetune;
extern const Parameter LayerVolume;
extern const Parameter VelocitySenseDepth;
extern const Parameter VelocitySenseOffset;
extern const Parameter PanPot;
extern const Parameter NoteLimitLow;
extern const Parameter NoteLimitHigh;
extern const Parameter EffectChorus;
extern const Parameter EffectReverb;
extern const Parameter EffectVariation;
extern const Parameter LFOSync;
extern const Parameter FilterCutoff;
extern const Parameter FilterResonance;
extern const Parameter AEGAtkTime;
extern const Parameter AEGDcyTime;
extern const Parameter AEGRelTime;
extern const Parameter LayerOn;
extern const Parameter PEGInitLevel;
extern const Parameter PEGAtkTime;
extern const Parameter PEGRelTime;
extern const Parameter PEGRelLevel;
extern const Parameter VelocityLimitLow;
extern const Parameter VelocityLimitHigh;
extern const Parameter AEGSusLevel;
extern const Parameter LFOSpeed;
extern const Parameter LFOWave;
extern const Parameter LFOAMod;
extern const Parameter LFOPMod;
extern const Parameter LFOFMod;
extern const Parameter FEGAtkTime;
extern const Parameter FEGDcyTime;
extern const Parameter FEGSusLevel;
extern const Parameter FEGRelTime;
extern const Parameter PEGAtkLevel;
extern const Parameter PEGDcyTime;

// Assign knob 2, parameter q (1..4; other values are taken as 1).
const Parameter& assign2Layer(int q);
const Parameter& assign2Para(int q);
const Parameter& assign2Level(int q);
// The six variation parameters in the order 1, 2, 3, 4, 5, 10.
inline constexpr std::array<const Parameter*, 6> kVariationParameters{&VPara1, &VPara2, &VPara3,
                                                                      &VPara4, &VPara5, &VPara10};

} // namespace params

} // namespace patchsmith
