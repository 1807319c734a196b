#include "ui/ParameterTable.h"

#include "model/catalog/EffectCatalog.h"

#include <cstdlib>

namespace patchsmith::editor {

namespace {

TrackBarParam layerBar(std::string_view name, int offset, int k, int l, Envelope redraw = Envelope::None) {
    TrackBarParam p;
    p.name = name;
    p.layer = true;
    p.offset = offset;
    p.storedBase = k;
    p.labelBase = l;
    p.redraw = redraw;
    return p;
}

TrackBarParam commonBar(std::string_view name, Block block, int offset, int k, int l, bool refreshed = true) {
    TrackBarParam p;
    p.name = name;
    p.block = block;
    p.offset = offset;
    p.storedBase = k;
    p.labelBase = l;
    p.refreshed = refreshed;
    return p;
}

} // namespace

const std::vector<TrackBarParam>& trackBarParams() {
    static const std::vector<TrackBarParam> params{
        // Layer bytes.
        layerBar("VelocitySenseDepth", 8, 127, 127),
        layerBar("VelocitySenseOffset", 9, 127, 63),
        layerBar("EffectChorus", 13, 127, 127),
        layerBar("EffectReverb", 14, 127, 127),
        layerBar("FilterCutoff", 17, 127, 63),
        layerBar("FilterResonance", 18, 127, 63),
        layerBar("AEGAtkTime", 19, 128, 64, Envelope::Amplitude),
        layerBar("AEGDcyTime", 20, 128, 64, Envelope::Amplitude),
        layerBar("AEGRelTime", 21, 128, 64, Envelope::Amplitude),
        layerBar("PEGInitLevel", 23, 127, 63, Envelope::Pitch),
        layerBar("PEGAtkTime", 24, 128, 64, Envelope::Pitch),
        layerBar("PEGRelTime", 25, 128, 64, Envelope::Pitch),
        layerBar("PEGRelLevel", 26, 127, 63, Envelope::Pitch),
        layerBar("VelocityLimitLow", 27, 127, 127),
        layerBar("VelocityLimitHigh", 28, 127, 127),
        layerBar("AEGSusLevel", 29, 127, 63, Envelope::Amplitude),
        layerBar("LFOSpeed", 30, 128, 64),
        layerBar("LFOAMod", 32, 128, 64),
        layerBar("LFOPMod", 33, 128, 64),
        layerBar("LFOFMod", 34, 128, 64),
        layerBar("FEGAtkTime", 35, 128, 64, Envelope::Filter),
        layerBar("FEGDcyTime", 36, 128, 64, Envelope::Filter),
        layerBar("FEGSusLevel", 37, 127, 63, Envelope::Filter),
        layerBar("FEGRelTime", 38, 128, 64, Envelope::Filter),
        layerBar("PEGAtkLevel", 39, 127, 63, Envelope::Pitch),
        layerBar("PEGDcyTime", 40, 128, 64, Envelope::Pitch),
        // Common bytes.
        commonBar("CommonVolume", Block::Common, 9, 127, 127),
        commonBar("Scene1Knob1", Block::Common, 10, 127, 63),
        commonBar("Scene1Knob2", Block::Common, 11, 127, 63),
        commonBar("Scene1Knob3", Block::Common, 12, 127, 63),
        commonBar("Scene1Knob4", Block::Common, 13, 127, 63),
        commonBar("Scene1Knob5", Block::Common, 14, 127, 63),
        commonBar("Scene1Knob6", Block::Common, 15, 127, 63),
        commonBar("Scene2Knob1", Block::Common, 16, 127, 63),
        commonBar("Scene2Knob2", Block::Common, 17, 127, 63),
        commonBar("Scene2Knob3", Block::Common, 18, 127, 63),
        commonBar("Scene2Knob4", Block::Common, 19, 127, 63),
        commonBar("Scene2Knob5", Block::Common, 20, 127, 63),
        commonBar("Scene2Knob6", Block::Common, 21, 127, 63),
        commonBar("FCVariCtl", Block::Effect, 19, 127, 63),
        commonBar("ChorusToReverb", Block::Effect, 20, 127, 127, false),
        commonBar("VariOnRev", Block::Effect, 21, 127, 127, false),
        commonBar("VariOnCho", Block::Effect, 22, 127, 127, false),
        commonBar("MWFilterCtl", Block::Controller, 0, 127, 63),
        commonBar("MWLFOPMod", Block::Controller, 1, 127, 127),
        commonBar("MWLFOFMod", Block::Controller, 2, 127, 127),
        commonBar("PitchBend", Block::Controller, 3, 128, 64),
        commonBar("FCFilterCtl", Block::Controller, 4, 127, 63),
        commonBar("FCLFOFMod", Block::Controller, 6, 127, 127),
        commonBar("PortaTime", Block::Controller, 8, 127, 127),
    };
    return params;
}

const std::vector<CheckBoxParam>& checkBoxParams() {
    static const std::vector<CheckBoxParam> params{
        {"PlayPoly", true, Block::Common, 3, 1},
        {"EffectVariation", true, Block::Common, 15, 127},
        {"PortaOn", false, Block::Controller, 7, 1},
    };
    return params;
}

const std::vector<RadioGroupParam>& radioGroupParams() {
    static const std::vector<RadioGroupParam> params{
        {{"LFOSyncFree", "LFOSyncRetrigger", "LFOSyncElement"}, 16},
        {{"LFOWaveSaw", "LFOWaveTriangle", "LFOWaveSH", "LFOWaveElement"}, 31},
    };
    return params;
}

const std::vector<ListParam>& listParams() {
    static const std::vector<ListParam> params{
        {"PerformanceType", Block::Common, 8, false},
        {"ArpeggioType", Block::Common, 43, true},
        {"ArpeggioSubdiv", Block::Common, 44, false},
        {"Assign1Para", Block::Common, 40, true},
    };
    return params;
}

const TrackBarParam* findTrackBarParam(std::string_view name) {
    for (const auto& p : trackBarParams())
        if (p.name == name) return &p;
    return nullptr;
}

std::string NoteShiftText(int shown) {
    if (shown == 0) return "\u00B10";
    if (shown > 0) return "+" + std::to_string(shown);
    return std::to_string(shown);
}

std::string DetuneText(int tenthsHz, char decimalPoint) {
    const std::string sign = tenthsHz == 0 ? "\u00B1" : tenthsHz > 0 ? "+" : "";
    return sign + formatTenth(tenthsHz, decimalPoint) + " Hz";
}

std::string PanText(int position) {
    if (position == 64) return "CTR";
    if (position < 64) return "L-" + std::to_string(64 - position);
    return "R-" + std::to_string(position - 64);
}

} // namespace patchsmith::editor
