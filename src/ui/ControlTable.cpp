#include "ui/ControlTable.h"

#include "model/catalog/FactoryPerformances.h"

#include <deque>

namespace patchsmith::editor {

std::string_view kindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::PageControl: return "PageControl";
    case ControlKind::Page: return "Page";
    case ControlKind::GroupBox: return "GroupBox";
    case ControlKind::Panel: return "Panel";
    case ControlKind::Bevel: return "Bevel";
    case ControlKind::Label: return "Label";
    case ControlKind::ReadoutLabel: return "ReadoutLabel";
    case ControlKind::StatusLabel: return "StatusLabel";
    case ControlKind::VTrackBar: return "VTrackBar";
    case ControlKind::HTrackBar: return "HTrackBar";
    case ControlKind::CheckBox: return "CheckBox";
    case ControlKind::RadioButton: return "RadioButton";
    case ControlKind::ListBox: return "ListBox";
    case ControlKind::ComboBox: return "ComboBox";
    case ControlKind::EditBox: return "EditBox";
    case ControlKind::PushButton: return "PushButton";
    case ControlKind::SpeedButton: return "SpeedButton";
    case ControlKind::PaintBox: return "PaintBox";
    case ControlKind::Picture: return "Picture";
    case ControlKind::TabControl: return "TabControl";
    case ControlKind::Lamp: return "Lamp";
    }
    return "?";
}

namespace {

using K = ControlKind;

// Builds the table. Derived names ("Text_x", "Label_x") are kept in a deque
// so that the string_views into them stay valid.
class Builder {
public:
    std::vector<ControlSpec> rows;

    std::string_view keep(std::string s) { return store_.emplace_back(std::move(s)); }

    ControlSpec& add(std::string_view name, K kind, std::string_view parent, int x, int y, int w, int h,
                     std::string_view caption = {}, std::string_view hint = {}) {
        ControlSpec s;
        s.name = name;
        s.kind = kind;
        s.parent = parent;
        s.x = x;
        s.y = y;
        s.w = w;
        s.h = h;
        s.caption = caption;
        s.hint = hint;
        rows.push_back(s);
        return rows.back();
    }

    void group(std::string_view name, std::string_view parent, int x, int y, int w, int h, std::string_view caption) {
        add(name, K::GroupBox, parent, x, y, w, h, caption).bold = true;
    }

    // Static text; its name is "Text_" + the control it belongs to.
    ControlSpec& text(std::string_view owner, std::string_view parent, int x, int y, int w, int h,
                      std::string_view caption) {
        return add(keep("Text_" + std::string(owner)), K::Label, parent, x, y, w, h, caption);
    }

    struct Bar {
        int captionWidth = 44;
        int captionHeight = 12;
        int readoutWidth = 36;
        int pageStep = 16;
        bool enabled = true;
        std::string_view readoutText = "0";
        std::string_view parameter; // empty: the bar's own name
    };

    // A vertical bar centred on cx: caption above (if any), the bar, its
    // read-out label below.
    void vbar(std::string_view name, std::string_view parent, int cx, int top, int barHeight, std::string_view hint,
              std::string_view caption, Bar o) {
        int y = top;
        if (!caption.empty()) {
            text(name, parent, cx - o.captionWidth / 2, y, o.captionWidth, o.captionHeight, caption).small = true;
            y += o.captionHeight + 1;
        }
        const std::string_view readout = keep("Label_" + std::string(name));
        ControlSpec& bar = add(name, K::VTrackBar, parent, cx - 10, y, 20, barHeight, {}, hint);
        bar.parameter = o.parameter.empty() ? name : o.parameter;
        bar.pageStep = o.pageStep;
        bar.readout = readout;
        bar.enabled = o.enabled;
        add(readout, K::ReadoutLabel, parent, cx - o.readoutWidth / 2, y + barHeight + 1, o.readoutWidth, 12,
            o.readoutText);
    }
    void vbar(std::string_view name, std::string_view parent, int cx, int top, int barHeight, std::string_view hint,
              std::string_view caption) {
        vbar(name, parent, cx, top, barHeight, hint, caption, Bar{});
    }

    // A horizontal bar: caption at the left and read-out at the right above it.
    void hbar(std::string_view name, std::string_view parent, int x, int y, int w, int pageStep, std::string_view hint,
              std::string_view caption) {
        text(name, parent, x, y, 40, 12, caption).small = true;
        const std::string_view readout = keep("Label_" + std::string(name));
        add(readout, K::ReadoutLabel, parent, x + w - 56, y, 56, 12, "0");
        ControlSpec& bar = add(name, K::HTrackBar, parent, x, y + 13, w, 18, {}, hint);
        bar.parameter = name;
        bar.pageStep = pageStep;
        bar.readout = readout;
    }

    // A check box; `parameter` names what it shows (empty: nothing).
    ControlSpec& check(std::string_view name, std::string_view parent, int x, int y, int w, std::string_view caption,
                       std::string_view hint, std::string_view parameter = {}) {
        ControlSpec& s = add(name, K::CheckBox, parent, x, y, w, 18, caption, hint);
        s.parameter = parameter;
        return s;
    }
    // One button of a group showing value `choice` of `parameter`.
    ControlSpec& radio(std::string_view name, std::string_view parent, int x, int y, int w, std::string_view caption,
                       std::string_view hint, std::string_view parameter, int choice) {
        ControlSpec& s = add(name, K::RadioButton, parent, x, y, w, 18, caption, hint);
        s.parameter = parameter;
        s.choice = choice;
        return s;
    }

private:
    std::deque<std::string> store_;
};

void buildLeftColumn(Builder& b) {
    b.add("TitleBevel", K::Bevel, {}, 0, 0, kClientWidth, 2);
    b.text("UserPerf", {}, 2, 4, 152, 14, "User Performance").bold = true;
    b.add("UserPerf", K::ListBox, {}, 2, 19, 152, 150, {}, "Select active User-Performance");
    b.add("SaveToSynth", K::PushButton, {}, 2, 172, 152, 22, "Save changes to User-Perf",
          "Make actual changes permanent");
    b.group("ActiveEditLayer", {}, 2, 197, 152, 104, " Active Edit/Audible ");
    static constexpr std::string_view kEditNames[4] = {"EditLayer1", "EditLayer2", "EditLayer3", "EditLayer4"};
    static constexpr std::string_view kEditCaptions[4] = {"Layer 1", "Layer 2", "Layer 3", "Layer 4"};
    static constexpr std::string_view kEditHints[4] = {"Edit Layer 1", "Edit Layer 2", "Edit Layer 3", "Edit Layer 4"};
    static constexpr std::string_view kMuteNames[4] = {"MuteLayer1", "MuteLayer2", "MuteLayer3", "MuteLayer4"};
    static constexpr std::string_view kMuteHints[4] = {"Mute Layer 1", "Mute Layer 2", "Mute Layer 3", "Mute Layer 4"};
    for (int i = 0; i < 4; ++i) {
        b.add(kEditNames[i], K::RadioButton, "ActiveEditLayer", 10, 20 + 20 * i, 92, 18, kEditCaptions[i],
              kEditHints[i])
            .checked = i == 0;
        b.add(kMuteNames[i], K::SpeedButton, "ActiveEditLayer", 108, 20 + 20 * i, 30, 18, "M", kMuteHints[i]);
    }
    b.check("AffectAllLayers", {}, 4, 303, 150, "Edit all Layers simult.", "Affect editing to ALL Layers");
    b.add("Image2", K::Picture, {}, 2, 323, 152, 60, {}, "The amazing Techno-Synth");

    b.add("StatusPanel", K::Panel, {}, 4, 387, 438, 22, "Status line");
    b.add("StatusLabel", K::StatusLabel, "StatusPanel", 6, 2, 426, 18, "OK").bold = true;
    b.add("TestNote", K::PushButton, {}, 446, 387, 78, 22, "Test note", "Play a test note on channel 1");
    b.add("GroupMidiInOut", K::GroupBox, {}, 528, 386, 100, 24, {}, "Midi In/Out monitor");
    b.text("MidiInLED", "GroupMidiInOut", 6, 5, 18, 14, "IN");
    b.add("MidiInLED", K::Lamp, "GroupMidiInOut", 26, 9, 18, 8, "IN");
    b.text("MidiOutLED", "GroupMidiInOut", 50, 5, 24, 14, "OUT");
    b.add("MidiOutLED", K::Lamp, "GroupMidiInOut", 76, 9, 18, 8, "OUT");

    b.add("PageControl1", K::PageControl, {}, 156, 4, 472, 380);
    static constexpr std::string_view kCaptions[5] = {"Common", "Common / Knobs", "Common / Effects", "Layer Voice",
                                                      "Layer EG's / LFO"};
    for (int i = 0; i < 5; ++i) b.add(kPageNames[i], K::Page, "PageControl1", 0, 0, 0, 0, kCaptions[i]);
}

void buildPageCommon(Builder& b) {
    const std::string_view page = kPageNames[0];
    b.group("GroupPerformance", page, 4, 4, 180, 168, " Performance ");
    b.add("PerformanceName", K::EditBox, "GroupPerformance", 8, 20, 100, 20, {}, "Performance name").parameter =
        "PerformanceName";
    b.add("PerformanceType", K::ComboBox, "GroupPerformance", 8, 46, 164, 20, {}, "Performance cathegory").parameter =
        "PerformanceType";
    b.vbar("CommonVolume", "GroupPerformance", 40, 72, 66, "Common volume", "Volume");

    b.group("GroupArpeggiator", page, 188, 4, 272, 168, " Arpeggiator ");
    b.vbar("ArpTempo", "GroupArpeggiator", 26, 16, 100, "Arpeggiator tempo", "Tempo");
    b.check("ArpTempoMidi", "GroupArpeggiator", 4, 145, 50, "MIDI", "Arpeggio-tempo MIDI", "ArpTempo").companion = true;
    b.add("ArpeggioType", K::ListBox, "GroupArpeggiator", 56, 18, 118, 142, {}, "Arpeggiator-type").parameter =
        "ArpeggioType";
    b.check("ArpModeOn", "GroupArpeggiator", 182, 18, 84, "On", "Arpeggiator ON/OFF", "ArpMode").choice = 0;
    b.check("ArpModeHold", "GroupArpeggiator", 182, 38, 84, "Hold", "Arpeggiator Hold-mode", "ArpMode").choice = 1;
    b.check("ArpModeSplit", "GroupArpeggiator", 182, 58, 84, "Split", "Arpeggiator Split-mode", "ArpMode").choice = 2;
    b.text("ArpeggioSubdiv", "GroupArpeggiator", 182, 96, 84, 12, "Sub-divide").small = true;
    b.add("ArpeggioSubdiv", K::ComboBox, "GroupArpeggiator", 182, 110, 84, 20, {}, "Arpeggiator sub-divide").parameter =
        "ArpeggioSubdiv";

    b.group("GroupModWheel", page, 4, 176, 150, 170, " Mod-Wheel ");
    b.vbar("MWLFOPMod", "GroupModWheel", 27, 18, 112, "Modulation-wheel Pitch-Mod depth", "P-Mod");
    b.vbar("MWLFOFMod", "GroupModWheel", 75, 18, 112, "Modulation-wheel Filter-Mod depth", "F-Mod");
    b.vbar("MWFilterCtl", "GroupModWheel", 123, 18, 112, "Modulation-wheel Filter-control", "Filter");

    b.group("GroupFootCtl", page, 158, 176, 150, 170, " Foot-Controller ");
    b.vbar("FCLFOFMod", "GroupFootCtl", 27, 18, 112, "Foot-controller Filter-Mod depth", "F-Mod");
    b.vbar("FCFilterCtl", "GroupFootCtl", 75, 18, 112, "Foot-controller Filter-control", "Filter");
    b.vbar("FCVariCtl", "GroupFootCtl", 123, 18, 112, "Foot-controller Variation-depth", "Vari");

    b.group("GroupPitch", page, 312, 176, 148, 170, " Pitch ");
    b.check("PortaOn", "GroupPitch", 10, 18, 60, "ON", "Portamento ON/OFF", "PortaOn");
    b.vbar("PortaTime", "GroupPitch", 36, 40, 90, "Portamento time", "Porta");
    b.vbar("PitchBend", "GroupPitch", 104, 40, 90, "Pitch-bend range (semitones)", "Bend");
}

void buildPageKnobs(Builder& b) {
    const std::string_view page = kPageNames[1];
    static constexpr std::string_view kKnobCaptions[6] = {"KN 1 A-EG ATK", "KN 2 A-EG REL", "KN 3 ASN1",
                                                          "KN 4 FILT CUT", "KN 5 FILT RES", "KN 6 ASN2"};
    static constexpr std::string_view kKnobNames[2][6] = {
        {"Scene1Knob1", "Scene1Knob2", "Scene1Knob3", "Scene1Knob4", "Scene1Knob5", "Scene1Knob6"},
        {"Scene2Knob1", "Scene2Knob2", "Scene2Knob3", "Scene2Knob4", "Scene2Knob5", "Scene2Knob6"}};
    static constexpr std::string_view kKnobHints[2][6] = {
        {"Scene 1, Amp-EG Attack-time", "Scene 1, Amp-EG Release-time", "Scene 1, Assign-Knob 1",
         "Scene 1, Filter Cutoff-frequency", "Scene 1, Filter resonance", "Scene 1, Assign-Knob 2"},
        {"Scene 2, Amp-EG Attack-time", "Scene 2, Amp-EG Release-time", "Scene 2, Assign-Knob 1",
         "Scene 2, Filter Cutoff-frequency", "Scene 2, Filter resonance", "Scene 2, Assign-Knob 2"}};
    static constexpr std::string_view kGroups[2] = {"GroupScene1", "GroupScene2"};
    static constexpr std::string_view kGroupCaptions[2] = {" Scene 1 ", " Scene 2 "};
    for (int s = 0; s < 2; ++s) {
        b.group(kGroups[s], page, 4, 4 + 172 * s, 242, 170, kGroupCaptions[s]);
        for (int k = 0; k < 6; ++k) {
            Builder::Bar o;
            o.captionWidth = 38;
            o.captionHeight = 36;
            b.vbar(kKnobNames[s][k], kGroups[s], 24 + 38 * k, 16, 96, kKnobHints[s][k], kKnobCaptions[k], o);
        }
    }

    b.group("GroupAssignKnobs", page, 250, 4, 210, 342, " Assign-Knobs ");
    b.text("Assign1Para", "GroupAssignKnobs", 8, 16, 194, 12, "Assign-Knob 1").small = true;
    b.add("Assign1Para", K::ListBox, "GroupAssignKnobs", 8, 30, 194, 92, {}, "Assign-Knob 1 parameter").parameter =
        "Assign1Para";
    b.text("Assign2Tab", "GroupAssignKnobs", 8, 126, 194, 12, "Assign-Knob 2").small = true;
    b.add("Assign2Tab", K::TabControl, "GroupAssignKnobs", 8, 140, 194, 136, {}, "Select Assign-Knob 2 Parameter-bank");
    // The assign-knob-2 controls show the parameter of the selected tab;
    // the first tab is selected at start.
    b.add("Assign2Para", K::ListBox, "Assign2Tab", 4, 26, 142, 106, {}, "Assign-Knob 2 parameter").parameter =
        "Assign2Param1Para";
    Builder::Bar level;
    level.parameter = "Assign2Param1Level";
    b.vbar("Assign2Level", "Assign2Tab", 170, 26, 80, "Assign-Knob 2 sensitivity", "Sens", level);
    b.group("GroupAffect", "GroupAssignKnobs", 8, 280, 194, 58, " Affect ");
    static constexpr std::string_view kAffectNames[4] = {"Assign2Layer1", "Assign2Layer2", "Assign2Layer3",
                                                         "Assign2Layer4"};
    static constexpr std::string_view kAffectCaptions[4] = {"Layer 1", "Layer 2", "Layer 3", "Layer 4"};
    for (int i = 0; i < 4; ++i)
        b.radio(kAffectNames[i], "GroupAffect", 8 + 92 * (i % 2), 17 + 19 * (i / 2), 80, kAffectCaptions[i],
                "Assign-Knob 2 Layer select", "Assign2Param1Layer", i);
}

void buildPageEffects(Builder& b) {
    const std::string_view page = kPageNames[2];
    b.group("GroupReverbChorus", page, 4, 4, 300, 168, " Reverb / Chorus ");
    b.text("ReverbType", "GroupReverbChorus", 8, 16, 138, 12, "Reverb").small = true;
    b.add("ReverbType", K::ListBox, "GroupReverbChorus", 8, 30, 138, 130, {}, "Reverb Type").parameter = "ReverbType";
    b.text("ChorusType", "GroupReverbChorus", 154, 16, 138, 12, "Chorus").small = true;
    b.add("ChorusType", K::ListBox, "GroupReverbChorus", 154, 30, 138, 130, {}, "Chorus Type").parameter = "ChorusType";

    b.group("GroupEffectLevels", page, 308, 4, 152, 168, " Effectlevels ");
    Builder::Bar wide;
    wide.captionWidth = 48;
    b.vbar("ChorusToReverb", "GroupEffectLevels", 27, 16, 110, "Chorus to Reverb send-level", "Cho>Rev", wide);
    b.vbar("VariOnRev", "GroupEffectLevels", 75, 16, 110, "Variation on Layer Reverb-send", "Var>Rev", wide);
    b.vbar("VariOnCho", "GroupEffectLevels", 123, 16, 110, "Variation on Layer Chorus-send", "Var>Cho", wide);

    b.group("GroupVariation", page, 4, 176, 456, 170, " Variation ");
    b.add("VariType", K::ListBox, "GroupVariation", 8, 18, 130, 144, {}, "Variation Type").parameter = "VariType";
    static constexpr std::string_view kNames[6] = {"VPara1", "VPara2", "VPara3", "VPara4", "VPara5", "VPara10"};
    static constexpr std::string_view kHints[6] = {
        "Variation Parameter 1 (depends on V.-Type)", "Variation Parameter 2 (depends on V.-Type)",
        "Variation Parameter 3 (depends on V.-Type)", "Variation Parameter 4 (depends on V.-Type)",
        "Variation Parameter 5 (depends on V.-Type)", "Variation Parameter 10 (depends on V.-Type)"};
    for (int i = 0; i < 6; ++i) {
        // Until a variation type is shown the bars are as for type "OFF":
        // caption "--", disabled (range 0..1 at its maximum, from the parameter).
        Builder::Bar o;
        // Captions such as "L-CHAN FEEDBK LEVEL" take three lines.
        o.captionWidth = 50;
        o.captionHeight = 36;
        o.readoutWidth = 50;
        o.enabled = false;
        b.vbar(kNames[i], "GroupVariation", 168 + 52 * i, 16, 88, kHints[i], "--", o);
    }
}

void buildPageLayerVoice(Builder& b) {
    const std::string_view page = kPageNames[3];
    b.group("GroupPatchSelect", page, 4, 4, 146, 342, " Patch Select ");
    // "Program 127, Bank MSB 63, LSB 65" on one line across the group.
    ControlSpec& perfName = b.add("Label_PerfName", K::ReadoutLabel, "GroupPatchSelect", 6, 22, 134, 14, "--");
    perfName.small = true;
    perfName.condensed = true;
    b.add("PatchBankNumber", K::ComboBox, "GroupPatchSelect", 8, 44, 130, 20, {}, "Layer Bank-select").parameter =
        "PatchBankNumber";
    b.add("PatchVoiceNumber", K::ListBox, "GroupPatchSelect", 8, 68, 130, 266, {}, "Layer Voice-select").parameter =
        "PatchVoiceNumber";

    b.group("GroupEffects", page, 154, 4, 84, 166, " Effects ");
    Builder::Bar send;
    send.captionWidth = 36;
    b.vbar("EffectReverb", "GroupEffects", 22, 16, 100, "Reverb send level", "Rev", send);
    b.vbar("EffectChorus", "GroupEffects", 62, 16, 100, "Chorus send level", "Cho", send);
    b.check("EffectVariation", "GroupEffects", 8, 144, 70, "VARI", "Variation send ON/OFF", "EffectVariation");

    b.group("GroupVelocity", page, 242, 4, 218, 166, " Velocity ");
    b.vbar("VelocityLimitLow", "GroupVelocity", 30, 16, 96, "Velocity Limit-LOW level", "Low");
    b.vbar("VelocityLimitHigh", "GroupVelocity", 80, 16, 96, "Velocity Limit-HIGH level", "High");
    b.vbar("VelocitySenseDepth", "GroupVelocity", 130, 16, 96, "Velocity sense depth", "Depth");
    b.vbar("VelocitySenseOffset", "GroupVelocity", 180, 16, 96, "Velocity sense offset", "Offset");
    b.add("VelocityDefaults", K::PushButton, "GroupVelocity", 8, 140, 198, 20, "Set to defaults",
          "Set all velocity-levels to default values");

    b.group("GroupTune", page, 154, 174, 108, 172, " Tune ");
    Builder::Bar tune;
    tune.readoutWidth = 52;
    tune.pageStep = 3;
    b.vbar("NoteShift", "GroupTune", 27, 16, 112, "Note shift (semitones)", "Shift", tune);
    tune.pageStep = 10;
    b.vbar("NoteDetune", "GroupTune", 80, 16, 112, "Note detune", "Detune", tune);

    b.group("GroupPlaying", page, 266, 174, 66, 172, " Playing ");
    b.vbar("LayerVolume", "GroupPlaying", 33, 16, 88, "Layer main volume", "Volume");
    b.check("PlayPoly", "GroupPlaying", 6, 132, 56, "Poly", "Poly-/monophonic playmode", "PlayPoly");
    b.check("LayerOn", "GroupPlaying", 6, 150, 56, "Layer", "Enable Layer", "LayerOn");

    b.group("GroupPositions", page, 336, 174, 124, 172, " Positions ");
    b.hbar("NoteLimitLow", "GroupPositions", 8, 16, 108, 12, "Lowest played note", "Low");
    b.hbar("NoteLimitHigh", "GroupPositions", 8, 54, 108, 12, "Highest played note", "High");
    b.hbar("PanPot", "GroupPositions", 8, 92, 108, 16, "Position of played note (L-C-R)", "Pan");
    b.check("RandomPan", "GroupPositions", 4, 132, 118, "Random Panning", "Set panpot to random position", "PanPot")
        .companion = true;
}

void buildPageLayerEG(Builder& b) {
    const std::string_view page = kPageNames[4];
    Builder::Bar narrow;
    narrow.captionWidth = 24;
    narrow.readoutWidth = 26;

    struct Eg {
        std::string_view group, caption, panel, paint, graphName, atk, dcy, sus, rel, atkHint, dcyHint, susHint,
            relHint;
        int x;
    };
    const Eg egs[2] = {
        {"GroupAmpEG", " Amp EG ", "PanelAEG", "PaintAEG", "Amp-EG graph", "AEGAtkTime", "AEGDcyTime", "AEGSusLevel",
         "AEGRelTime", "Amp-EG attack-time", "Amp-EG decay-time", "Amp-EG sustain-level", "Amp-EG release-time", 4},
        {"GroupFilterEG", " Filter EG ", "PanelFEG", "PaintFEG", "Filter-EG graph", "FEGAtkTime", "FEGDcyTime",
         "FEGSusLevel", "FEGRelTime", "Filter-EG attack-time", "Filter-EG decay-time", "Filter-EG sustain-level",
         "Filter-EG release-time", 120},
    };
    for (const Eg& eg : egs) {
        b.group(eg.group, page, eg.x, 4, 112, 172, eg.caption);
        b.add(eg.panel, K::Panel, eg.group, 10, 16, 92, 33, eg.graphName);
        b.add(eg.paint, K::PaintBox, eg.panel, 1, 1, 90, 31, eg.graphName);
        b.vbar(eg.atk, eg.group, 17, 52, 86, eg.atkHint, "A", narrow);
        b.vbar(eg.dcy, eg.group, 43, 52, 86, eg.dcyHint, "D", narrow);
        b.vbar(eg.sus, eg.group, 69, 52, 86, eg.susHint, "S", narrow);
        b.vbar(eg.rel, eg.group, 95, 52, 86, eg.relHint, "R", narrow);
    }

    b.group("GroupPitchEG", page, 236, 4, 224, 172, " Pitch EG ");
    b.add("PanelPEG", K::Panel, "GroupPitchEG", 38, 16, 148, 33, "Pitch-EG graph");
    b.add("PaintPEG", K::PaintBox, "PanelPEG", 1, 1, 146, 31, "Pitch-EG graph");
    Builder::Bar peg = narrow;
    peg.captionWidth = 34;
    peg.readoutWidth = 32;
    b.vbar("PEGInitLevel", "GroupPitchEG", 22, 52, 86, "Pitch-EG initial level", "Init L", peg);
    b.vbar("PEGAtkTime", "GroupPitchEG", 58, 52, 86, "Pitch-EG attack-time", "Atk T", peg);
    b.vbar("PEGAtkLevel", "GroupPitchEG", 94, 52, 86, "Pitch-EG attack-level", "Atk L", peg);
    b.vbar("PEGDcyTime", "GroupPitchEG", 130, 52, 86, "Pitch-EG decay-time", "Dcy T", peg);
    b.vbar("PEGRelTime", "GroupPitchEG", 166, 52, 86, "Pitch-EG release-time", "Rel T", peg);
    b.vbar("PEGRelLevel", "GroupPitchEG", 202, 52, 86, "Pitch-EG release-level", "Rel L", peg);

    b.group("GroupLFOLevels", page, 4, 180, 106, 166, " LFO Levels ");
    Builder::Bar lfo = narrow;
    lfo.captionWidth = 23;
    lfo.readoutWidth = 24;
    b.vbar("LFOSpeed", "GroupLFOLevels", 16, 18, 110, "LFO Speed", "Spd", lfo);
    b.vbar("LFOAMod", "GroupLFOLevels", 40, 18, 110, "LFO amplitude-modulation level", "AM", lfo);
    b.vbar("LFOPMod", "GroupLFOLevels", 64, 18, 110, "LFO pitch-modulation level", "PM", lfo);
    b.vbar("LFOFMod", "GroupLFOLevels", 88, 18, 110, "LFO frequency-modulation level", "FM", lfo);

    b.group("GroupLFOWave", page, 114, 180, 118, 166, " LFO Waveform ");
    b.add("ImageTriangle", K::Picture, "GroupLFOWave", 6, 20, 28, 18, {}, "LFO triangle wave");
    b.radio("LFOWaveTriangle", "GroupLFOWave", 36, 20, 78, "Triangle", "LFO triangle wave", "LFOWave", 1);
    b.add("ImageSawtooth", K::Picture, "GroupLFOWave", 6, 46, 28, 18, {}, "LFO sawtooth wave");
    b.radio("LFOWaveSaw", "GroupLFOWave", 36, 46, 78, "Sawtooth", "LFO sawtooth wave", "LFOWave", 0);
    b.add("Image1", K::Picture, "GroupLFOWave", 6, 72, 28, 18, {}, "LFO sample & hold");
    b.radio("LFOWaveSH", "GroupLFOWave", 36, 72, 78, "S && H", "LFO sample & hold", "LFOWave", 2);
    b.radio("LFOWaveElement", "GroupLFOWave", 36, 98, 78, "Element", "LFO wave element-settings", "LFOWave", 3);

    b.group("GroupLFOSync", page, 236, 180, 90, 166, " LFO Sync ");
    b.radio("LFOSyncFree", "GroupLFOSync", 6, 20, 80, "FreeRun", "LFO no phase-init", "LFOSync", 0);
    b.radio("LFOSyncRetrigger", "GroupLFOSync", 6, 46, 80, "Retrigger", "LFO phase-init retriggered", "LFOSync", 1);
    b.radio("LFOSyncElement", "GroupLFOSync", 6, 72, 80, "Element", "LFO sync element-settings", "LFOSync", 2);

    b.group("GroupFilterFreq", page, 330, 180, 130, 166, " Filter Frequency ");
    Builder::Bar filter;
    filter.captionWidth = 40;
    b.vbar("FilterCutoff", "GroupFilterFreq", 40, 18, 110, "Filter cutoff-frequency", "Cutoff", filter);
    b.vbar("FilterResonance", "GroupFilterFreq", 88, 18, 110, "Filter resonance-level", "Reso", filter);
}

struct Table {
    Builder builder;
    Table() {
        buildLeftColumn(builder);
        buildPageCommon(builder);
        buildPageKnobs(builder);
        buildPageEffects(builder);
        buildPageLayerVoice(builder);
        buildPageLayerEG(builder);
    }
};

const Table& table() {
    static const Table kTable;
    return kTable;
}

} // namespace

const std::vector<ControlSpec>& controlTable() { return table().builder.rows; }

const ControlSpec* findControl(std::string_view name) {
    for (const ControlSpec& s : controlTable())
        if (s.name == name) return &s;
    return nullptr;
}

std::vector<std::string> startItems(std::string_view name) {
    std::vector<std::string> items;
    if (name == "UserPerf") {
        for (const auto& line : kFactoryPerformanceLines) items.emplace_back(line);
        return items;
    }
    const ControlSpec* spec = findControl(name);
    const Parameter* p = spec ? parameterOf(*spec) : nullptr;
    if (!p || (spec->kind != ControlKind::ListBox && spec->kind != ControlKind::ComboBox)) return items;
    // The voice list starts with the first bank.
    for (int row = 0; row < p->entries; ++row) items.push_back(entryText(p->list, row, 0));
    return items;
}

const Parameter* parameterOf(const ControlSpec& spec) {
    return spec.parameter.empty() ? nullptr : findParameter(spec.parameter);
}

} // namespace patchsmith::editor
