#include "model/Parameters.h"

#include "model/Names.h"
#include "model/catalog/AssignKnobs.h"
#include "model/catalog/EffectCatalog.h"
#include "model/catalog/VoiceCatalog.h"

#include <algorithm>
#include <cstdio>

namespace patchsmith {

namespace {

// The fixed lists of the common page, in row order.
// clang-format off
constexpr std::array<std::string_view, kCategoryCount> kCategoryEntries{
    "--", "PF  Piano", "CP  Chromatic Perc.", "OR Organ", "GT  Guitar", "BA  Bass", "ST  Strings/Orch.",
    "EN  Ensemble", "BR  Brass", "RD  Reed", "PI   Pipe", "LD  Synth Lead", "PD  Synth Pad", "FX  Synth SFX",
    "ET  Ethnic", "PC  Percussive", "SE  Sound Effect", "DR  Drums", "SC  String Comping", "VO  Vocal",
    "CO  Combination", "WV Material Wave", "SQ  Sequence"};
// clang-format on

constexpr std::array<std::string_view, 30> kArpeggioTypeEntries{
    "Up Oct 1",       "Up Oct 2",       "Up Oct 4",       "Down Oct 1",     "Down Oct 2",     "Down Oct 4",
    "UpDown A Oct 1", "UpDown A Oct 2", "UpDown A Oct 4", "UpDown B Oct 1", "UpDown B Oct 2", "UpDown B Oct 4",
    "Random Oct 1",   "Random Oct 2",   "Random Oct 4",   "Techno-A",       "Techno-B",       "Techno-C",
    "Techno-D",       "DA House",       "Syncopation A",  "Syncopation B",  "Echo & Pan",     "Tekk Echo",
    "Sweep Line",     "Pulse Line",     "Bass Line A",    "Bass Line B",    "Bass Line C",    "Bass Line D"};

constexpr std::array<std::string_view, 10> kSubdivisionEntries{"3 / 8",  "1 / 4",  "3 / 16", "1 / 6",  "1 / 8",
                                                               "3 / 32", "1 / 12", "1 / 16", "1 / 24", "1 / 32"};

} // namespace

namespace params {

namespace {

constexpr Parameter bar(std::string_view name, ParamGroup group, ParamArea area, int offset, int min, int max,
                        int start, int base, int zero, Envelope envelope = Envelope::None) {
    Parameter p;
    p.name = name;
    p.group = group;
    p.area = area;
    p.offset = offset;
    p.sendOffset = offset;
    p.control = ParamControl::VBar;
    p.min = min;
    p.max = max;
    p.start = start;
    p.inverted = true;
    p.base = base;
    p.readout = ParamReadout::Number;
    p.zero = zero;
    p.envelope = envelope;
    return p;
}
// A plain bar: stored 127 - position, shown as stored.
constexpr Parameter plainBar(std::string_view name, ParamGroup group, ParamArea area, int offset, int start,
                             int min = 0, int max = 127) {
    return bar(name, group, area, offset, min, max, start, 127, 0);
}
// A centred bar over 0..127: stored 127 - position, shown as stored - 64.
constexpr Parameter centredBar(std::string_view name, ParamGroup group, ParamArea area, int offset,
                               Envelope envelope = Envelope::None, int start = 64) {
    return bar(name, group, area, offset, 0, 127, start, 127, 64, envelope);
}
// A centred bar that never stores 0 or a value outside min..max: stored
// 128 - position, shown as stored - 64.
constexpr Parameter centredBar128(std::string_view name, ParamGroup group, ParamArea area, int offset, int min, int max,
                                  Envelope envelope = Envelope::None, int start = 64) {
    return bar(name, group, area, offset, min, max, start, 128, 64, envelope);
}
constexpr Parameter check(std::string_view name, ParamGroup group, ParamArea area, int offset, int onValue) {
    Parameter p;
    p.name = name;
    p.group = group;
    p.area = area;
    p.offset = offset;
    p.sendOffset = offset;
    p.control = ParamControl::CheckBox;
    p.min = 0;
    p.max = 1;
    p.start = 0;
    p.inverted = false;
    p.onValue = onValue;
    return p;
}
constexpr Parameter choices(std::string_view name, ParamGroup group, ParamArea area, int offset, int start,
                            std::array<std::string_view, 4> texts, int count) {
    Parameter p;
    p.name = name;
    p.group = group;
    p.area = area;
    p.offset = offset;
    p.sendOffset = offset;
    p.control = ParamControl::Choices;
    p.min = 0;
    p.max = count - 1;
    p.start = start;
    p.inverted = false;
    p.list = ParamList::Choices;
    p.entries = count;
    p.choices = texts;
    return p;
}
constexpr Parameter list(std::string_view name, ParamGroup group, ParamArea area, int offset, ParamControl control,
                         ParamList entries, int count, bool scrollToTop = false) {
    Parameter p;
    p.name = name;
    p.group = group;
    p.area = area;
    p.offset = offset;
    p.sendOffset = offset;
    p.control = control;
    p.min = 0;
    p.max = count - 1;
    p.start = 0;
    p.inverted = false;
    p.list = entries;
    p.entries = count;
    p.scrollToTop = scrollToTop;
    return p;
}
// A type pair of an effect list: two bytes sent together.
constexpr Parameter effectType(std::string_view name, int offset, ParamList entries, int count) {
    Parameter p = list(name, ParamGroup::Effects, ParamArea::Effect, offset, ParamControl::List, entries, count, true);
    p.partner = offset + 1;
    p.encoding = ParamEncoding::Pair;
    p.send = ParamSend::TwoByte;
    return p;
}
// A 14-bit variation parameter: range and format follow the variation type;
// until a type is shown the bar is as for type "OFF".
constexpr Parameter variation(std::string_view name, int offset) {
    Parameter p = bar(name, ParamGroup::Effects, ParamArea::Effect, offset, 0, 1, 1, 1, 0);
    p.partner = offset + 1;
    p.encoding = ParamEncoding::Wide;
    p.send = ParamSend::TwoByte;
    p.readout = ParamReadout::Variation;
    p.depends = ParamDepends::VariationType;
    return p;
}
// Assign knob 2, parameter q: affected layer and target travel together at
// the layer byte's address; the sensitivity alone.
constexpr Parameter assign2LayerParam(std::string_view name, int q) {
    Parameter p = choices(name, ParamGroup::Performance, ParamArea::Common, 26 + 2 * q, 0,
                          {"Layer 1", "Layer 2", "Layer 3", "Layer 4"}, 4);
    p.partner = 27 + 2 * q;
    p.send = ParamSend::TwoByte;
    p.depends = ParamDepends::Assign2Tab;
    p.tab = q;
    return p;
}
constexpr Parameter assign2TargetParam(std::string_view name, int q, int count) {
    Parameter p = list(name, ParamGroup::Performance, ParamArea::Common, 27 + 2 * q, ParamControl::List,
                       ParamList::Assign2Targets, count, true);
    p.sendOffset = 26 + 2 * q;
    p.send = ParamSend::TwoByte;
    p.depends = ParamDepends::Assign2Tab;
    p.tab = q;
    return p;
}
constexpr Parameter assign2LevelParam(std::string_view name, int q) {
    Parameter p = centredBar128(name, ParamGroup::Performance, ParamArea::Common, 35 + q, 32, 96);
    p.depends = ParamDepends::Assign2Tab;
    p.tab = q;
    return p;
}

constexpr ParamArea C = ParamArea::Common;
constexpr ParamArea E = ParamArea::Effect;
constexpr ParamArea K = ParamArea::Controller;
constexpr ParamArea L = ParamArea::Layer;
constexpr ParamGroup Perf = ParamGroup::Performance;
constexpr ParamGroup Ctl = ParamGroup::Controllers;
constexpr ParamGroup Arp = ParamGroup::Arpeggio;
constexpr ParamGroup Fx = ParamGroup::Effects;
constexpr ParamGroup Voice = ParamGroup::LayerVoice;
constexpr ParamGroup Env = ParamGroup::FilterEnvelopes;
constexpr ParamGroup Lfo = ParamGroup::Lfo;

constexpr int kCategories = kCategoryCount;
constexpr int kArpeggioTypes = static_cast<int>(kArpeggioTypeEntries.size());
constexpr int kArpeggioSubdivisions = static_cast<int>(kSubdivisionEntries.size());
constexpr int kAssignTargets = kAssignParamCount;
constexpr int kReverbTypes = kReverbTypeCount;
constexpr int kChorusTypes = kChorusTypeCount;
constexpr int kVariationTypes = kVariationTypeCount;
constexpr int kBanks = kBankCount;
constexpr int kVoices = kProgramCount;

} // namespace

// ---- PerfCommon ----
constexpr Parameter PerformanceName = [] {
    Parameter p = list("PerformanceName", Perf, C, 0, ParamControl::EditBox, ParamList::None, 0);
    p.encoding = ParamEncoding::Text;
    p.send = ParamSend::BlockDump;
    p.min = 0;
    p.max = kNameLength;
    return p;
}();
constexpr Parameter PerformanceType =
    list("PerformanceType", Perf, C, 8, ParamControl::Combo, ParamList::Categories, kCategories);
constexpr Parameter CommonVolume = plainBar("CommonVolume", Perf, C, 9, 27);
constexpr Parameter Scene1Knob1 = centredBar("Scene1Knob1", Perf, C, 10);
constexpr Parameter Scene1Knob2 = centredBar("Scene1Knob2", Perf, C, 11);
constexpr Parameter Scene1Knob3 = centredBar("Scene1Knob3", Perf, C, 12);
constexpr Parameter Scene1Knob4 = centredBar("Scene1Knob4", Perf, C, 13);
constexpr Parameter Scene1Knob5 = centredBar("Scene1Knob5", Perf, C, 14);
constexpr Parameter Scene1Knob6 = centredBar("Scene1Knob6", Perf, C, 15);
constexpr Parameter Scene2Knob1 = centredBar("Scene2Knob1", Perf, C, 16);
constexpr Parameter Scene2Knob2 = centredBar("Scene2Knob2", Perf, C, 17);
constexpr Parameter Scene2Knob3 = centredBar("Scene2Knob3", Perf, C, 18);
constexpr Parameter Scene2Knob4 = centredBar("Scene2Knob4", Perf, C, 19);
constexpr Parameter Scene2Knob5 = centredBar("Scene2Knob5", Perf, C, 20);
constexpr Parameter Scene2Knob6 = centredBar("Scene2Knob6", Perf, C, 21);
constexpr Parameter Assign2Param1Layer = assign2LayerParam("Assign2Param1Layer", 1);
constexpr Parameter Assign2Param1Para = assign2TargetParam("Assign2Param1Para", 1, kAssignTargets);
constexpr Parameter Assign2Param2Layer = assign2LayerParam("Assign2Param2Layer", 2);
constexpr Parameter Assign2Param2Para = assign2TargetParam("Assign2Param2Para", 2, kAssignTargets);
constexpr Parameter Assign2Param3Layer = assign2LayerParam("Assign2Param3Layer", 3);
constexpr Parameter Assign2Param3Para = assign2TargetParam("Assign2Param3Para", 3, kAssignTargets);
constexpr Parameter Assign2Param4Layer = assign2LayerParam("Assign2Param4Layer", 4);
constexpr Parameter Assign2Param4Para = assign2TargetParam("Assign2Param4Para", 4, kAssignTargets);
constexpr Parameter Assign2Param1Level = assign2LevelParam("Assign2Param1Level", 1);
constexpr Parameter Assign2Param2Level = assign2LevelParam("Assign2Param2Level", 2);
constexpr Parameter Assign2Param3Level = assign2LevelParam("Assign2Param3Level", 3);
constexpr Parameter Assign2Param4Level = assign2LevelParam("Assign2Param4Level", 4);
constexpr Parameter Assign1Para =
    list("Assign1Para", Perf, C, 40, ParamControl::List, ParamList::Assign1Targets, kAssignTargets, true);
// Tempo code t: 0 follows MIDI clock, 1..201 is t + 39 beats per minute.
constexpr Parameter ArpTempo = [] {
    Parameter p = bar("ArpTempo", Arp, C, 41, 40, 240, 140, 241, 0);
    p.partner = 42;
    p.encoding = ParamEncoding::Wide;
    p.send = ParamSend::TwoByte;
    p.readout = ParamReadout::Tempo;
    p.zeroChecksCompanion = true;
    p.restPosition = 140;
    p.companionText = "MIDI";
    return p;
}();
constexpr Parameter ArpeggioType =
    list("ArpeggioType", Arp, C, 43, ParamControl::List, ParamList::ArpeggioTypes, kArpeggioTypes, true);
constexpr Parameter ArpeggioSubdiv =
    list("ArpeggioSubdiv", Arp, C, 44, ParamControl::Combo, ParamList::ArpeggioSubdivisions, kArpeggioSubdivisions);
// Bit 0 on, else bit 1 hold; bit 2 set when split is off.
constexpr Parameter ArpMode = [] {
    Parameter p = choices("ArpMode", Arp, C, 45, 0, {"On", "Hold", "Split"}, 3);
    p.control = ParamControl::ModeChecks;
    p.min = 0;
    p.max = 6;
    return p;
}();

// ---- PerfEffect ----
constexpr Parameter ReverbType = effectType("ReverbType", 0, ParamList::ReverbTypes, kReverbTypes);
constexpr Parameter ChorusType = effectType("ChorusType", 2, ParamList::ChorusTypes, kChorusTypes);
constexpr Parameter VariType = [] {
    Parameter p = effectType("VariType", 4, ParamList::VariationTypes, kVariationTypes);
    p.send = ParamSend::BlockDump;
    p.rule = ParamRule::VariationDefaults;
    return p;
}();
constexpr Parameter VPara1 = variation("VPara1", 6);
constexpr Parameter VPara2 = variation("VPara2", 8);
constexpr Parameter VPara3 = variation("VPara3", 10);
constexpr Parameter VPara4 = variation("VPara4", 12);
constexpr Parameter VPara5 = variation("VPara5", 14);
constexpr Parameter VPara10 = variation("VPara10", 16);
constexpr Parameter FCVariCtl = centredBar("FCVariCtl", Ctl, E, 19);
constexpr Parameter ChorusToReverb = plainBar("ChorusToReverb", Fx, E, 20, 127);
constexpr Parameter VariOnRev = plainBar("VariOnRev", Fx, E, 21, 87);
constexpr Parameter VariOnCho = plainBar("VariOnCho", Fx, E, 22, 127);

// ---- PerfController ----
constexpr Parameter MWFilterCtl = centredBar("MWFilterCtl", Ctl, K, 0);
constexpr Parameter MWLFOPMod = plainBar("MWLFOPMod", Ctl, K, 1, 117);
constexpr Parameter MWLFOFMod = plainBar("MWLFOFMod", Ctl, K, 2, 127);
constexpr Parameter PitchBend = centredBar128("PitchBend", Ctl, K, 3, 40, 88, Envelope::None, 62);
constexpr Parameter FCFilterCtl = centredBar("FCFilterCtl", Ctl, K, 4);
constexpr Parameter FCLFOFMod = plainBar("FCLFOFMod", Ctl, K, 6, 127);
constexpr Parameter PortaOn = check("PortaOn", Ctl, K, 7, 1);
constexpr Parameter PortaTime = plainBar("PortaTime", Ctl, K, 8, 127);

// ---- PerfLayer ----
constexpr Parameter PatchBankNumber = [] {
    Parameter p = list("PatchBankNumber", Voice, L, 0, ParamControl::Combo, ParamList::Banks, kBanks);
    p.partner = 1;
    p.encoding = ParamEncoding::Pair;
    p.send = ParamSend::LayerDump;
    return p;
}();
constexpr Parameter PatchVoiceNumber = [] {
    Parameter p = list("PatchVoiceNumber", Voice, L, 2, ParamControl::List, ParamList::Voices, kVoices, true);
    p.depends = ParamDepends::Bank;
    return p;
}();
constexpr Parameter PlayPoly = check("PlayPoly", Voice, L, 3, 1);
constexpr Parameter NoteShift = [] {
    Parameter p = bar("NoteShift", Voice, L, 4, -24, 24, 0, 64, 0);
    p.readout = ParamReadout::Shift;
    return p;
}();
// Detune code d = 16 * high + low, shown as (d - 128) tenths of a hertz.
constexpr Parameter NoteDetune = [] {
    Parameter p = bar("NoteDetune", Voice, L, 5, -127, 128, 0, 128, 0);
    p.partner = 6;
    p.encoding = ParamEncoding::Nibbles;
    p.send = ParamSend::LayerDump;
    p.readout = ParamReadout::Detune;
    return p;
}();
constexpr Parameter LayerVolume = [] {
    Parameter p = plainBar("LayerVolume", Voice, L, 7, 0);
    p.rule = ParamRule::MutedVolume;
    return p;
}();
constexpr Parameter VelocitySenseDepth = plainBar("VelocitySenseDepth", Voice, L, 8, 63);
constexpr Parameter VelocitySenseOffset = centredBar("VelocitySenseOffset", Voice, L, 9, Envelope::None, 63);
// Pan 0 is random panning; 1..127 with 64 the centre.
constexpr Parameter PanPot = [] {
    Parameter p = bar("PanPot", Voice, L, 10, 1, 127, 64, 0, 0);
    p.control = ParamControl::HBar;
    p.inverted = false;
    p.readout = ParamReadout::Pan;
    p.zeroChecksCompanion = true;
    p.restPosition = 64;
    p.companionText = "Random";
    return p;
}();
constexpr Parameter NoteLimitLow = [] {
    Parameter p = bar("NoteLimitLow", Voice, L, 11, 0, 127, 0, 0, 0);
    p.control = ParamControl::HBar;
    p.inverted = false;
    p.readout = ParamReadout::Note;
    p.rule = ParamRule::NoteLimit;
    return p;
}();
constexpr Parameter NoteLimitHigh = [] {
    Parameter p = NoteLimitLow;
    p.name = "NoteLimitHigh";
    p.offset = 12;
    p.sendOffset = 12;
    p.start = 127;
    return p;
}();
constexpr Parameter EffectChorus = plainBar("EffectChorus", Voice, L, 13, 127);
constexpr Parameter EffectReverb = plainBar("EffectReverb", Voice, L, 14, 86);
constexpr Parameter EffectVariation = check("EffectVariation", Voice, L, 15, 127);
constexpr Parameter LFOSync = choices("LFOSync", Lfo, L, 16, 2, {"FreeRun", "Retrigger", "Element"}, 3);
constexpr Parameter FilterCutoff = centredBar("FilterCutoff", Env, L, 17);
constexpr Parameter FilterResonance = centredBar("FilterResonance", Env, L, 18);
constexpr Parameter AEGAtkTime = centredBar128("AEGAtkTime", Env, L, 19, 1, 127, Envelope::Amplitude);
constexpr Parameter AEGDcyTime = centredBar128("AEGDcyTime", Env, L, 20, 1, 127, Envelope::Amplitude);
constexpr Parameter AEGRelTime = centredBar128("AEGRelTime", Env, L, 21, 1, 127, Envelope::Amplitude);
constexpr Parameter LayerOn = [] {
    Parameter p = check("LayerOn", Voice, L, 22, 1);
    p.rule = ParamRule::LayerSwitch;
    return p;
}();
constexpr Parameter PEGInitLevel = centredBar("PEGInitLevel", Env, L, 23, Envelope::Pitch);
constexpr Parameter PEGAtkTime = centredBar128("PEGAtkTime", Env, L, 24, 1, 127, Envelope::Pitch);
constexpr Parameter PEGRelTime = centredBar128("PEGRelTime", Env, L, 25, 1, 127, Envelope::Pitch);
constexpr Parameter PEGRelLevel = centredBar("PEGRelLevel", Env, L, 26, Envelope::Pitch);
constexpr Parameter VelocityLimitLow = plainBar("VelocityLimitLow", Voice, L, 27, 126, 0, 126);
constexpr Parameter VelocityLimitHigh = plainBar("VelocityLimitHigh", Voice, L, 28, 0, 0, 126);
constexpr Parameter AEGSusLevel = centredBar("AEGSusLevel", Env, L, 29, Envelope::Amplitude);
constexpr Parameter LFOSpeed = centredBar128("LFOSpeed", Lfo, L, 30, 1, 127);
constexpr Parameter LFOWave = choices("LFOWave", Lfo, L, 31, 3, {"Sawtooth", "Triangle", "S & H", "Element"}, 4);
constexpr Parameter LFOAMod = centredBar128("LFOAMod", Lfo, L, 32, 33, 95);
constexpr Parameter LFOPMod = centredBar128("LFOPMod", Lfo, L, 33, 1, 127);
constexpr Parameter LFOFMod = centredBar128("LFOFMod", Lfo, L, 34, 49, 79);
constexpr Parameter FEGAtkTime = centredBar128("FEGAtkTime", Env, L, 35, 1, 127, Envelope::Filter);
constexpr Parameter FEGDcyTime = centredBar128("FEGDcyTime", Env, L, 36, 1, 127, Envelope::Filter);
constexpr Parameter FEGSusLevel = centredBar("FEGSusLevel", Env, L, 37, Envelope::Filter);
constexpr Parameter FEGRelTime = centredBar128("FEGRelTime", Env, L, 38, 1, 127, Envelope::Filter);
constexpr Parameter PEGAtkLevel = centredBar("PEGAtkLevel", Env, L, 39, Envelope::Pitch);
constexpr Parameter PEGDcyTime = centredBar128("PEGDcyTime", Env, L, 40, 1, 127, Envelope::Pitch);

namespace {

const Parameter* const kAssign2Layers[4] = {&Assign2Param1Layer, &Assign2Param2Layer, &Assign2Param3Layer,
                                            &Assign2Param4Layer};
const Parameter* const kAssign2Paras[4] = {&Assign2Param1Para, &Assign2Param2Para, &Assign2Param3Para,
                                           &Assign2Param4Para};
const Parameter* const kAssign2Levels[4] = {&Assign2Param1Level, &Assign2Param2Level, &Assign2Param3Level,
                                            &Assign2Param4Level};

std::size_t tabIndex(int q) { return q >= 1 && q <= 4 ? static_cast<std::size_t>(q - 1) : 0; }

} // namespace

const Parameter& assign2Layer(int q) { return *kAssign2Layers[tabIndex(q)]; }
const Parameter& assign2Para(int q) { return *kAssign2Paras[tabIndex(q)]; }
const Parameter& assign2Level(int q) { return *kAssign2Levels[tabIndex(q)]; }

} // namespace params

namespace {

using namespace params;

// Blocks in transfer order, each by offset.
constexpr std::array<const Parameter*, 92> kAll{
    &PerformanceName, &PerformanceType, &CommonVolume, &Scene1Knob1, &Scene1Knob2, &Scene1Knob3, &Scene1Knob4,
    &Scene1Knob5, &Scene1Knob6, &Scene2Knob1, &Scene2Knob2, &Scene2Knob3, &Scene2Knob4, &Scene2Knob5, &Scene2Knob6,
    &Assign2Param1Layer, &Assign2Param1Para, &Assign2Param2Layer, &Assign2Param2Para, &Assign2Param3Layer,
    &Assign2Param3Para, &Assign2Param4Layer, &Assign2Param4Para, &Assign2Param1Level, &Assign2Param2Level,
    &Assign2Param3Level, &Assign2Param4Level, &params::Assign1Para, &ArpTempo, &ArpeggioType, &ArpeggioSubdiv, &ArpMode,
    // PerfEffect
    &ReverbType, &ChorusType, &VariType, &VPara1, &VPara2, &VPara3, &VPara4, &VPara5, &VPara10, &FCVariCtl,
    &ChorusToReverb, &VariOnRev, &VariOnCho,
    // PerfController
    &MWFilterCtl, &MWLFOPMod, &MWLFOFMod, &PitchBend, &FCFilterCtl, &FCLFOFMod, &PortaOn, &PortaTime,
    // PerfLayer
    &PatchBankNumber, &PatchVoiceNumber, &PlayPoly, &NoteShift, &NoteDetune, &LayerVolume, &VelocitySenseDepth,
    &VelocitySenseOffset, &PanPot, &NoteLimitLow, &NoteLimitHigh, &EffectChorus, &EffectReverb, &EffectVariation,
    &LFOSync, &FilterCutoff, &FilterResonance, &AEGAtkTime, &AEGDcyTime, &AEGRelTime, &LayerOn, &PEGInitLevel,
    &PEGAtkTime, &PEGRelTime, &PEGRelLevel, &VelocityLimitLow, &VelocityLimitHigh, &AEGSusLevel, &LFOSpeed, &LFOWave,
    &LFOAMod, &LFOPMod, &LFOFMod, &FEGAtkTime, &FEGDcyTime, &FEGSusLevel, &FEGRelTime, &PEGAtkLevel, &PEGDcyTime};

constexpr std::array<CarriedBytes, 3> kCarried{{
    {ParamArea::Common, 22, 6},
    {ParamArea::Effect, 18, 1},
    {ParamArea::Controller, 5, 1},
}};

constexpr std::array<int, 2> kFlagOne{0, 1};
constexpr std::array<int, 2> kFlagFull{0, 127};
// Off, on, hold, each with split on (0..2) and off (4..6).
constexpr std::array<int, 6> kArpModes{0, 1, 2, 4, 5, 6};

std::optional<int> pairRow(ParamList list, Byte msb, Byte lsb) {
    switch (list) {
    case ParamList::ReverbTypes: return findReverbType(msb, lsb);
    case ParamList::ChorusTypes: return findChorusType(msb, lsb);
    case ParamList::VariationTypes: return findVariationType(msb, lsb);
    case ParamList::Banks: return findBank(msb, lsb);
    default: return std::nullopt;
    }
}

// The pair of a row; nullopt outside the list.
std::optional<std::pair<Byte, Byte>> rowPair(ParamList list, int row) {
    auto effect = [row](const auto& table) -> std::optional<std::pair<Byte, Byte>> {
        if (row < 0 || row >= static_cast<int>(table.size())) return std::nullopt;
        const auto& e = table[static_cast<std::size_t>(row)];
        return std::pair<Byte, Byte>{e.msb, e.lsb};
    };
    switch (list) {
    case ParamList::ReverbTypes: return effect(ReverbTypeTable);
    case ParamList::ChorusTypes: return effect(ChorusTypeTable);
    case ParamList::VariationTypes: return effect(VariationTypeTable);
    case ParamList::Banks: return effect(BankSelectTable);
    default: return std::nullopt;
    }
}

std::string unknown(int value) { return "?" + std::to_string(value); }

std::string hexByte(int b) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", b & 0xFF);
    return text;
}

// Index 0..5 of a variation parameter; nullopt for any other parameter.
std::optional<std::size_t> variationIndex(const Parameter& p) {
    for (std::size_t k = 0; k < kVariationParameters.size(); ++k)
        if (kVariationParameters[k] == &p) return k;
    return std::nullopt;
}

} // namespace

std::span<const Parameter* const> allParameters() { return kAll; }

const Parameter* findParameter(std::string_view name) {
    for (const Parameter* p : kAll)
        if (p->name == name) return p;
    return nullptr;
}

const Parameter* parameterAt(ParamArea area, int offset) {
    for (const Parameter* p : kAll) {
        if (p->area != area) continue;
        if (p->encoding == ParamEncoding::Text) {
            if (offset >= p->offset && offset < p->offset + kNameLength) return p;
        } else if (offset == p->offset || offset == p->partner) {
            return p;
        }
    }
    return nullptr;
}

Block blockOf(ParamArea area, int layer) {
    switch (area) {
    case ParamArea::Common: return Block::Common;
    case ParamArea::Effect: return Block::Effect;
    case ParamArea::Controller: return Block::Controller;
    case ParamArea::Layer: break;
    }
    return layerBlock(std::clamp(layer, 1, 4));
}

Byte addressLow(ParamArea area, int offset) {
    return static_cast<Byte>((baseAddress(blockOf(area)).low + offset) & 0x7F);
}

std::span<const CarriedBytes> carriedBytes() { return kCarried; }

std::vector<int> bytesWritten(const Parameter& p) {
    std::vector<int> bytes;
    if (p.encoding == ParamEncoding::Text) {
        for (int k = 0; k < kNameLength; ++k) bytes.push_back(p.offset + k);
        return bytes;
    }
    bytes.push_back(p.offset);
    if (p.twoBytes()) bytes.push_back(p.partner);
    if (p.rule == ParamRule::VariationDefaults) {
        for (const Parameter* v : kVariationParameters) {
            bytes.push_back(v->offset);
            bytes.push_back(v->partner);
        }
    }
    return bytes;
}

std::vector<int> valueBytes(const Parameter& p) {
    std::vector<int> bytes;
    switch (p.encoding) {
    case ParamEncoding::Text:
        for (int k = 0; k < kNameLength; ++k) bytes.push_back(p.offset + k);
        break;
    case ParamEncoding::Wide:
    case ParamEncoding::Nibbles:
    case ParamEncoding::Pair:
        bytes.push_back(p.offset);
        bytes.push_back(p.partner);
        break;
    case ParamEncoding::Byte: bytes.push_back(p.offset); break;
    }
    return bytes;
}

bool inStoredPerformance(const Parameter& p) {
    if (p.area != ParamArea::Effect) return true;
    for (const int offset : valueBytes(p))
        if (offset >= kUserEffectDataBytes) return false;
    return true;
}

std::string_view groupName(ParamGroup group) {
    switch (group) {
    case ParamGroup::Performance: return "performance";
    case ParamGroup::Controllers: return "controllers";
    case ParamGroup::Arpeggio: return "arpeggio";
    case ParamGroup::Effects: return "effects";
    case ParamGroup::LayerVoice: return "layer-voice";
    case ParamGroup::FilterEnvelopes: return "filter-envelopes";
    case ParamGroup::Lfo: return "lfo";
    }
    return "performance";
}

// ---- values -------------------------------------------------------------------

int storedValue(const Parameter& p, const PerformanceImage& image, int layer) {
    const Block block = blockOf(p.area, layer);
    const int first = image.data(block, p.offset);
    const int second = p.twoBytes() ? image.data(block, p.partner) : 0;
    switch (p.encoding) {
    case ParamEncoding::Byte: return first;
    case ParamEncoding::Wide: return 128 * first + second;
    case ParamEncoding::Nibbles: return 16 * first + second;
    case ParamEncoding::Pair: return pairRow(p.list, static_cast<Byte>(first), static_cast<Byte>(second)).value_or(-1);
    case ParamEncoding::Text: return 0;
    }
    return 0;
}

int defaultValue(const Parameter& p) {
    static const PerformanceImage kDefaults = [] {
        PerformanceImage image;
        image.fillDefaults();
        return image;
    }();
    return storedValue(p, kDefaults);
}

void writeValue(const Parameter& p, PerformanceImage& image, int value, int layer) {
    const Block block = blockOf(p.area, layer);
    switch (p.encoding) {
    case ParamEncoding::Byte: image.setData(block, p.offset, static_cast<Byte>(std::clamp(value, 0, 127))); break;
    case ParamEncoding::Wide: {
        const int v = std::clamp(value, 0, 128 * 128 - 1);
        image.setData(block, p.offset, static_cast<Byte>(v / 128));
        image.setData(block, p.partner, static_cast<Byte>(v % 128));
        break;
    }
    case ParamEncoding::Nibbles: {
        const int v = std::clamp(value, 0, 255);
        image.setData(block, p.offset, static_cast<Byte>(v / 16));
        image.setData(block, p.partner, static_cast<Byte>(v % 16));
        break;
    }
    case ParamEncoding::Pair:
        if (const auto pair = rowPair(p.list, value)) {
            image.setData(block, p.offset, pair->first);
            image.setData(block, p.partner, pair->second);
        }
        break;
    case ParamEncoding::Text: break;
    }
}

std::string nameText(const PerformanceImage& image) {
    std::string name;
    for (int k = 0; k < kNameLength; ++k)
        name += static_cast<char>(image.data(Block::Common, PerformanceName.offset + k));
    return name;
}

void writeName(PerformanceImage& image, std::u16string_view text) {
    for (int k = 0; k < kNameLength; ++k) {
        const char16_t c = static_cast<std::size_t>(k) < text.size() ? text[static_cast<std::size_t>(k)] : u' ';
        image.setData(Block::Common, PerformanceName.offset + k,
                      isNameCharacter(c) ? static_cast<Byte>(c) : Byte{0x20});
    }
}

void writeName(PerformanceImage& image, std::string_view text) {
    std::u16string wide;
    for (char c : text) wide += static_cast<char16_t>(static_cast<unsigned char>(c));
    writeName(image, std::u16string_view(wide));
}

bool ValueRange::contains(int v) const {
    if (!only.empty()) return std::find(only.begin(), only.end(), v) != only.end();
    return v >= min && v <= max;
}

ValueRange storedRange(const Parameter& p, const PerformanceImage& image) {
    ValueRange r;
    switch (p.control) {
    case ParamControl::CheckBox:
        r.only = p.onValue == 127 ? std::span<const int>(kFlagFull) : std::span<const int>(kFlagOne);
        r.min = 0;
        r.max = p.onValue;
        return r;
    case ParamControl::ModeChecks:
        r.only = kArpModes;
        r.min = 0;
        r.max = 6;
        return r;
    case ParamControl::EditBox:
        // Per character.
        r.min = 0x20;
        r.max = 0x7E;
        return r;
    case ParamControl::Choices:
    case ParamControl::List:
    case ParamControl::Combo:
        r.min = 0;
        r.max = p.entries - 1;
        return r;
    case ParamControl::VBar:
    case ParamControl::HBar: break;
    }
    if (p.depends == ParamDepends::VariationType) {
        const auto row = variationTypeRow(image);
        const auto k = variationIndex(p);
        if (!row || !k) return r;
        const VariationParamSetup setup = variationSetup(*row)[*k];
        if (!setup.enabled) return r;
        r.min = setup.minimum;
        r.max = setup.maximum;
        return r;
    }
    r.min = p.inverted ? p.base - p.max : p.min;
    r.max = p.inverted ? p.base - p.min : p.max;
    if (p.zeroChecksCompanion) r.min = std::min(r.min, 0);
    return r;
}

// ---- control positions ------------------------------------------------------

int positionOf(const Parameter& p, int value) {
    if (p.zeroChecksCompanion && value == 0) return p.restPosition;
    if (p.control == ParamControl::CheckBox) return value != 0 ? 1 : 0;
    return p.inverted ? p.base - value : value;
}

int storedOf(const Parameter& p, int position) {
    if (p.control == ParamControl::CheckBox) return position != 0 ? p.onValue : 0;
    return p.inverted ? p.base - position : position;
}

// ---- texts --------------------------------------------------------------------

std::string readoutText(const Parameter& p, int value, char decimalPoint) {
    // A value the bar cannot show reads as the bar's rest position.
    if (p.zeroChecksCompanion && value == 0) value = storedOf(p, p.restPosition);
    switch (p.readout) {
    case ParamReadout::None: return {};
    case ParamReadout::Number: return std::to_string(value - p.zero);
    case ParamReadout::Note: return noteName(value);
    case ParamReadout::Pan: return panText(std::clamp(value, p.min, p.max));
    case ParamReadout::Shift: return noteShiftText(value - 64);
    case ParamReadout::Detune: return detuneText(value - 128, decimalPoint);
    case ParamReadout::Tempo: return std::to_string(value + 39);
    case ParamReadout::Variation: return std::to_string(value);
    }
    return {};
}

int entryCount(ParamList list) {
    switch (list) {
    case ParamList::None:
    case ParamList::Choices: return 0;
    case ParamList::Categories: return kCategoryCount;
    case ParamList::ArpeggioTypes: return static_cast<int>(kArpeggioTypeEntries.size());
    case ParamList::ArpeggioSubdivisions: return static_cast<int>(kSubdivisionEntries.size());
    case ParamList::Assign1Targets:
    case ParamList::Assign2Targets: return kAssignParamCount;
    case ParamList::ReverbTypes: return kReverbTypeCount;
    case ParamList::ChorusTypes: return kChorusTypeCount;
    case ParamList::VariationTypes: return kVariationTypeCount;
    case ParamList::Banks: return kBankCount;
    case ParamList::Voices: return kProgramCount;
    }
    return 0;
}

std::string entryText(ParamList list, int row, int bank) {
    if (row < 0 || row >= entryCount(list)) return {};
    const auto i = static_cast<std::size_t>(row);
    switch (list) {
    case ParamList::None:
    case ParamList::Choices: return {};
    case ParamList::Categories: return std::string(kCategoryEntries[i]);
    case ParamList::ArpeggioTypes: return std::string(kArpeggioTypeEntries[i]);
    case ParamList::ArpeggioSubdivisions: return std::string(kSubdivisionEntries[i]);
    case ParamList::Assign1Targets: return std::string(patchsmith::Assign1Para[i]);
    case ParamList::Assign2Targets: return std::string(patchsmith::Assign2Para[i]);
    case ParamList::ReverbTypes: return std::string(ReverbTypeTable[i].name);
    case ParamList::ChorusTypes: return std::string(ChorusTypeTable[i].name);
    case ParamList::VariationTypes: return std::string(VariationTypeTable[i].name);
    case ParamList::Banks: return std::string(BankSelectTable[i].text);
    case ParamList::Voices: return voiceEntryText(bank, row);
    }
    return {};
}

std::string displayText(const Parameter& p, const PerformanceImage& image, int layer, char decimalPoint) {
    const int v = storedValue(p, image, layer);
    switch (p.control) {
    case ParamControl::EditBox: {
        std::string name = nameText(image);
        for (char& c : name)
            if (!isNameCharacter(static_cast<unsigned char>(c))) c = '?';
        return name;
    }
    case ParamControl::CheckBox: return v != 0 ? "on" : "off";
    case ParamControl::ModeChecks: {
        const ArpModeBoxes boxes = arpModeBoxes(v);
        std::string text;
        auto add = [&text](bool checked, std::string_view caption) {
            if (!checked) return;
            if (!text.empty()) text += ", ";
            text += caption;
        };
        add(boxes.on, p.choices[0]);
        add(boxes.hold, p.choices[1]);
        add(boxes.split, p.choices[2]);
        return text.empty() ? "Off" : text;
    }
    case ParamControl::Choices:
        return v >= 0 && v < p.entries ? std::string(p.choices[static_cast<std::size_t>(v)]) : unknown(v);
    case ParamControl::List:
    case ParamControl::Combo: {
        if (p.encoding == ParamEncoding::Pair && v < 0) {
            const Block block = blockOf(p.area, layer);
            return "?" + hexByte(image.data(block, p.offset)) + "/" + hexByte(image.data(block, p.partner));
        }
        int bank = 0;
        if (p.depends == ParamDepends::Bank) {
            const Block block = blockOf(p.area, layer);
            bank = displayBank(image.data(block, PatchBankNumber.offset), image.data(block, PatchBankNumber.partner));
        }
        return v >= 0 && v < p.entries ? entryText(p.list, v, bank) : unknown(v);
    }
    case ParamControl::VBar:
    case ParamControl::HBar: break;
    }
    if (p.zeroChecksCompanion && v == 0) return std::string(p.companionText);
    if (p.readout == ParamReadout::Variation) {
        const auto row = variationTypeRow(image);
        const auto k = variationIndex(p);
        if (!row || !k) return std::to_string(v);
        const VariationParamSetup setup = variationSetup(*row)[*k];
        if (setup.labelZero) return "0";
        return formatVariationValue(setup, v, decimalPoint).value_or(std::to_string(v));
    }
    return readoutText(p, v, decimalPoint);
}

std::string noteShiftText(int shown) {
    if (shown == 0) return "\u00B10";
    if (shown > 0) return "+" + std::to_string(shown);
    return std::to_string(shown);
}

std::string detuneText(int tenthsHz, char decimalPoint) {
    const std::string sign = tenthsHz == 0 ? "\u00B1" : tenthsHz > 0 ? "+" : "";
    return sign + formatTenth(tenthsHz, decimalPoint) + " Hz";
}

std::string panText(int position) {
    if (position == 64) return "CTR";
    if (position < 64) return "L-" + std::to_string(64 - position);
    return "R-" + std::to_string(position - 64);
}

ArpModeBoxes arpModeBoxes(int value) {
    ArpModeBoxes boxes;
    boxes.on = (value & 0x01) != 0;
    boxes.hold = !boxes.on && (value & 0x02) != 0;
    boxes.split = (value & 0x04) == 0;
    return boxes;
}

int arpModeValue(const ArpModeBoxes& boxes) {
    const int base = boxes.split ? 0 : 4;
    if (boxes.on) return base + 1;
    if (boxes.hold) return base + 2;
    return base;
}

std::optional<int> variationTypeRow(const PerformanceImage& image) {
    const int row = storedValue(VariType, image);
    if (row < 0) return std::nullopt;
    return row;
}

void writeVariationDefaults(PerformanceImage& image, int row) {
    if (row < 0 || row >= kVariationTypeCount) return;
    const auto& defaults = VariationDefaults[static_cast<std::size_t>(row)];
    for (std::size_t k = 0; k < kVariationParameters.size(); ++k)
        writeValue(*kVariationParameters[k], image, defaults[k]);
}

} // namespace patchsmith
