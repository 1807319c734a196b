#pragma once
// The controls of the editor window as data: name (the widget's objectName),
// kind, parent, geometry, caption, hint, range and start position. The window
// is built from this table alone, and the tests check the window against it.
// Widget-free, so that later columns (image block, offset, conversions) can
// be added and used without a display.

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
    int min = 0;
    int max = 0;
    int start = 0;     // track bar position; 1 = checked for check boxes, radio and speed buttons
    int pageStep = 16; // track bars
    int maxLength = 0; // edit boxes
    std::string_view readout; // "Label_<name>" of a track bar, empty if none
    bool bold = false;        // labels and group captions
    bool small = false;       // the small captions of the track bars
    bool enabled = true;
};

// Every control of the window, parents before their children, pages in
// order. The reference stays valid for the whole run.
const std::vector<ControlSpec>& controlTable();

// The entry of a control; nullptr for an unknown name.
const ControlSpec* findControl(std::string_view name);

// The rows a list or combo box starts with (empty for other controls).
std::vector<std::string> startItems(std::string_view name);

// Names of the five pages, in order.
inline constexpr std::string_view kPageNames[5] = {"PageCommon", "PageKnobs", "PageEffects", "PageLayerVoice",
                                                   "PageLayerEG"};

// Client area of the window.
inline constexpr int kClientWidth = 632;
inline constexpr int kClientHeight = 411;

} // namespace patchsmith::editor
