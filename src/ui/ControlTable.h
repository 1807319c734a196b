#pragma once
// The controls of the editor window as data: name (the widget's objectName),
// kind, parent, geometry, caption, hint, and the parameter a control shows.
// Range, start position and list entries come from that parameter
// (model/Parameters.h). The window is built from these two tables alone, and
// the tests check the window against them. Widget-free.

#include "model/Parameters.h"

#include <string>
#include <string_view>
#include <vector>

namespace patchsmith::editor {

enum class ControlKind {
    PageControl, // the five editor pages
    Page,        // one page of the page control
    GroupBox,
    Panel,        // plain frame (status panel, frame around a graph)
    Bevel,        // the thin line along the top edge
    Label,        // static text (captions of bars, list titles)
    ReadoutLabel, // value read-out "Label_<control>"
    StatusLabel,  // the status line
    VTrackBar,    // minimum at the top
    HTrackBar,
    CheckBox,
    RadioButton,
    ListBox,
    ComboBox,
    EditBox,
    PushButton,
    SpeedButton, // toggle button that stays down
    PaintBox,    // envelope graph
    Picture,     // drawn picture, clickable
    TabControl,  // tab strip over one shared area
    Lamp,        // MIDI activity lamp
};

std::string_view kindName(ControlKind kind);

struct ControlSpec {
    std::string_view name;
    ControlKind kind = ControlKind::Label;
    std::string_view parent; // empty: the window's client area
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    std::string_view caption; // text shown on the control (pages, groups, buttons, labels)
    std::string_view hint;    // tool-tip hint; also the accessible name
    // The parameter (model/Parameters.h) the control shows, empty for none.
    // Radio buttons and the arpeggio mode boxes show value `choice` of it; a
    // companion box is checked for the value 0 its bar cannot show.
    std::string_view parameter;
    int choice = -1;
    bool companion = false;
    bool checked = false;     // buttons that show no parameter: checked at start
    int pageStep = 16;        // track bars
    std::string_view readout; // "Label_<name>" of a track bar, empty if none
    bool bold = false;        // labels and group captions
    bool small = false;       // the small captions of the track bars
    bool condensed = false;   // narrow letters: a long text on one line of a narrow group
    bool enabled = true;
};

// Every control of the window, parents before their children, pages in
// order. The reference stays valid for the whole run.
const std::vector<ControlSpec>& controlTable();

// The entry of a control; nullptr for an unknown name.
const ControlSpec* findControl(std::string_view name);

// The rows a list or combo box starts with (empty for other controls).
std::vector<std::string> startItems(std::string_view name);

// The parameter a control shows; nullptr for none.
const Parameter* parameterOf(const ControlSpec& spec);

// Names of the five pages, in order.
inline constexpr std::string_view kPageNames[5] = {"PageCommon", "PageKnobs", "PageEffects", "PageLayerVoice",
                                                   "PageLayerEG"};

// Client area of the window.
inline constexpr int kClientWidth = 632;
inline constexpr int kClientHeight = 411;

} // namespace patchsmith::editor
