#pragma once
// TMainWindow: the editor window. It owns its controls (each a public member
// named as the control, with that name as its objectName), the menu, the
// status line, the MIDI lamps and the four timers. The layout comes from the
// control table (ControlTable.h) and is built in MainWindowLayout.cpp; the
// process-wide state it edits lives in the application's AppContext.

#include "midi/ReceiveDispatcher.h"
#include "model/Parameters.h"
#include "storage/BulkTransfers.h"
#include "ui/AppContext.h"
#include "ui/Widgets.h"

#include <QMainWindow>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressDialog;
class QPushButton;
class QRadioButton;
class QShortcut;
class QSlider;
class QTabWidget;
class QTimer;
class QToolButton;

namespace patchsmith {
class TMessageWindow;
}
namespace patchsmith::dialogs {
class SharedFileDialogs;
}

namespace patchsmith::editor {

class TestNotePlayer;
class EditHandlers;
class DisplayRefresh;
class LayerOperations;
class VoiceSelection;

// The widgets that show one parameter of the performance, found once when
// the window is built (the control table names each control's parameter).
struct ParameterControls {
    const Parameter* param = nullptr;
    QSlider* bar = nullptr;
    QLabel* readout = nullptr;
    QAbstractButton* check = nullptr;
    // Checked for the value 0 the bar cannot show (RandomPan, ArpTempoMidi).
    QAbstractButton* companion = nullptr;
    // Radio buttons or mode boxes, by value.
    std::vector<QAbstractButton*> choices;
    QListWidget* list = nullptr;
    QComboBox* combo = nullptr;
    QLineEdit* edit = nullptr;
};

// Every control the handlers use, with its class. One list, so that the
// members, their binding to the built widgets and the tests stay in step.
// clang-format off
#define PS_MAINWINDOW_CONTROLS(X)                                                                                      \
    /* left column, bottom bar */                                                                                      \
    X(QFrame, TitleBevel)                                                                                              \
    X(QListWidget, UserPerf)                                                                                           \
    X(QPushButton, SaveToSynth)                                                                                        \
    X(QGroupBox, ActiveEditLayer)                                                                                      \
    X(QRadioButton, EditLayer1) X(QRadioButton, EditLayer2) X(QRadioButton, EditLayer3) X(QRadioButton, EditLayer4)    \
    X(QToolButton, MuteLayer1) X(QToolButton, MuteLayer2) X(QToolButton, MuteLayer3) X(QToolButton, MuteLayer4)        \
    X(QCheckBox, AffectAllLayers)                                                                                      \
    X(PictureBox, Image2)                                                                                              \
    X(QFrame, StatusPanel)                                                                                             \
    X(QLabel, StatusLabel)                                                                                             \
    X(QPushButton, TestNote)                                                                                           \
    X(QGroupBox, GroupMidiInOut)                                                                                       \
    X(Lamp, MidiInLED) X(Lamp, MidiOutLED)                                                                             \
    X(QTabWidget, PageControl1)                                                                                        \
    /* page "Common" */                                                                                                \
    X(QLineEdit, PerformanceName)                                                                                      \
    X(QComboBox, PerformanceType)                                                                                      \
    X(QSlider, CommonVolume) X(QLabel, Label_CommonVolume)                                                             \
    X(QSlider, ArpTempo) X(QLabel, Label_ArpTempo)                                                                     \
    X(QCheckBox, ArpTempoMidi)                                                                                         \
    X(QListWidget, ArpeggioType)                                                                                       \
    X(QCheckBox, ArpModeOn) X(QCheckBox, ArpModeHold) X(QCheckBox, ArpModeSplit)                                       \
    X(QComboBox, ArpeggioSubdiv)                                                                                       \
    X(QSlider, MWLFOPMod) X(QLabel, Label_MWLFOPMod)                                                                   \
    X(QSlider, MWLFOFMod) X(QLabel, Label_MWLFOFMod)                                                                   \
    X(QSlider, MWFilterCtl) X(QLabel, Label_MWFilterCtl)                                                               \
    X(QSlider, FCLFOFMod) X(QLabel, Label_FCLFOFMod)                                                                   \
    X(QSlider, FCFilterCtl) X(QLabel, Label_FCFilterCtl)                                                               \
    X(QSlider, FCVariCtl) X(QLabel, Label_FCVariCtl)                                                                   \
    X(QCheckBox, PortaOn)                                                                                              \
    X(QSlider, PortaTime) X(QLabel, Label_PortaTime)                                                                   \
    X(QSlider, PitchBend) X(QLabel, Label_PitchBend)                                                                   \
    /* page "Common / Knobs" */                                                                                        \
    X(QSlider, Scene1Knob1) X(QLabel, Label_Scene1Knob1) X(QSlider, Scene1Knob2) X(QLabel, Label_Scene1Knob2)          \
    X(QSlider, Scene1Knob3) X(QLabel, Label_Scene1Knob3) X(QSlider, Scene1Knob4) X(QLabel, Label_Scene1Knob4)          \
    X(QSlider, Scene1Knob5) X(QLabel, Label_Scene1Knob5) X(QSlider, Scene1Knob6) X(QLabel, Label_Scene1Knob6)          \
    X(QSlider, Scene2Knob1) X(QLabel, Label_Scene2Knob1) X(QSlider, Scene2Knob2) X(QLabel, Label_Scene2Knob2)          \
    X(QSlider, Scene2Knob3) X(QLabel, Label_Scene2Knob3) X(QSlider, Scene2Knob4) X(QLabel, Label_Scene2Knob4)          \
    X(QSlider, Scene2Knob5) X(QLabel, Label_Scene2Knob5) X(QSlider, Scene2Knob6) X(QLabel, Label_Scene2Knob6)          \
    X(QListWidget, Assign1Para)                                                                                        \
    X(TabControl, Assign2Tab)                                                                                          \
    X(QListWidget, Assign2Para)                                                                                        \
    X(QSlider, Assign2Level) X(QLabel, Label_Assign2Level)                                                             \
    X(QRadioButton, Assign2Layer1) X(QRadioButton, Assign2Layer2)                                                      \
    X(QRadioButton, Assign2Layer3) X(QRadioButton, Assign2Layer4)                                                      \
    /* page "Common / Effects" */                                                                                      \
    X(QListWidget, ReverbType)                                                                                         \
    X(QListWidget, ChorusType)                                                                                         \
    X(QSlider, ChorusToReverb) X(QLabel, Label_ChorusToReverb)                                                         \
    X(QSlider, VariOnRev) X(QLabel, Label_VariOnRev)                                                                   \
    X(QSlider, VariOnCho) X(QLabel, Label_VariOnCho)                                                                   \
    X(QListWidget, VariType)                                                                                           \
    X(QSlider, VPara1) X(QLabel, Text_VPara1) X(QLabel, Label_VPara1)                                                  \
    X(QSlider, VPara2) X(QLabel, Text_VPara2) X(QLabel, Label_VPara2)                                                  \
    X(QSlider, VPara3) X(QLabel, Text_VPara3) X(QLabel, Label_VPara3)                                                  \
    X(QSlider, VPara4) X(QLabel, Text_VPara4) X(QLabel, Label_VPara4)                                                  \
    X(QSlider, VPara5) X(QLabel, Text_VPara5) X(QLabel, Label_VPara5)                                                  \
    X(QSlider, VPara10) X(QLabel, Text_VPara10) X(QLabel, Label_VPara10)                                               \
    /* page "Layer Voice" */                                                                                           \
    X(QLabel, Label_PerfName)                                                                                          \
    X(QComboBox, PatchBankNumber)                                                                                      \
    X(QListWidget, PatchVoiceNumber)                                                                                   \
    X(QSlider, EffectReverb) X(QLabel, Label_EffectReverb)                                                             \
    X(QSlider, EffectChorus) X(QLabel, Label_EffectChorus)                                                             \
    X(QCheckBox, EffectVariation)                                                                                      \
    X(QSlider, VelocityLimitLow) X(QLabel, Label_VelocityLimitLow)                                                     \
    X(QSlider, VelocityLimitHigh) X(QLabel, Label_VelocityLimitHigh)                                                   \
    X(QSlider, VelocitySenseDepth) X(QLabel, Label_VelocitySenseDepth)                                                 \
    X(QSlider, VelocitySenseOffset) X(QLabel, Label_VelocitySenseOffset)                                               \
    X(QPushButton, VelocityDefaults)                                                                                   \
    X(QSlider, NoteShift) X(QLabel, Label_NoteShift)                                                                   \
    X(QSlider, NoteDetune) X(QLabel, Label_NoteDetune)                                                                 \
    X(QSlider, LayerVolume) X(QLabel, Label_LayerVolume)                                                               \
    X(QCheckBox, PlayPoly)                                                                                             \
    X(QCheckBox, LayerOn)                                                                                              \
    X(QSlider, NoteLimitLow) X(QLabel, Label_NoteLimitLow)                                                             \
    X(QSlider, NoteLimitHigh) X(QLabel, Label_NoteLimitHigh)                                                           \
    X(QSlider, PanPot) X(QLabel, Label_PanPot)                                                                         \
    X(QCheckBox, RandomPan)                                                                                            \
    /* page "Layer EG's / LFO" */                                                                                      \
    X(PaintBox, PaintAEG)                                                                                              \
    X(QSlider, AEGAtkTime) X(QLabel, Label_AEGAtkTime) X(QSlider, AEGDcyTime) X(QLabel, Label_AEGDcyTime)              \
    X(QSlider, AEGSusLevel) X(QLabel, Label_AEGSusLevel) X(QSlider, AEGRelTime) X(QLabel, Label_AEGRelTime)            \
    X(PaintBox, PaintFEG)                                                                                              \
    X(QSlider, FEGAtkTime) X(QLabel, Label_FEGAtkTime) X(QSlider, FEGDcyTime) X(QLabel, Label_FEGDcyTime)              \
    X(QSlider, FEGSusLevel) X(QLabel, Label_FEGSusLevel) X(QSlider, FEGRelTime) X(QLabel, Label_FEGRelTime)            \
    X(PaintBox, PaintPEG)                                                                                              \
    X(QSlider, PEGInitLevel) X(QLabel, Label_PEGInitLevel) X(QSlider, PEGAtkTime) X(QLabel, Label_PEGAtkTime)          \
    X(QSlider, PEGAtkLevel) X(QLabel, Label_PEGAtkLevel) X(QSlider, PEGDcyTime) X(QLabel, Label_PEGDcyTime)            \
    X(QSlider, PEGRelTime) X(QLabel, Label_PEGRelTime) X(QSlider, PEGRelLevel) X(QLabel, Label_PEGRelLevel)            \
    X(QSlider, LFOSpeed) X(QLabel, Label_LFOSpeed) X(QSlider, LFOAMod) X(QLabel, Label_LFOAMod)                        \
    X(QSlider, LFOPMod) X(QLabel, Label_LFOPMod) X(QSlider, LFOFMod) X(QLabel, Label_LFOFMod)                          \
    X(QRadioButton, LFOWaveTriangle) X(QRadioButton, LFOWaveSaw) X(QRadioButton, LFOWaveSH)                            \
    X(QRadioButton, LFOWaveElement)                                                                                    \
    X(PictureBox, ImageTriangle) X(PictureBox, ImageSawtooth) X(PictureBox, Image1)                                    \
    X(QRadioButton, LFOSyncFree) X(QRadioButton, LFOSyncRetrigger) X(QRadioButton, LFOSyncElement)                     \
    X(QSlider, FilterCutoff) X(QLabel, Label_FilterCutoff)                                                             \
    X(QSlider, FilterResonance) X(QLabel, Label_FilterResonance)

#define PS_MAINWINDOW_MENU(X)                                                                                          \
    X(QMenu, MenuFile)                                                                                                 \
    X(QMenu, MenuFileOpen)                                                                                             \
    X(QAction, MenuFileOpenActPerf)                                                                                    \
    X(QAction, MenuFileOpenPerfNames)                                                                                  \
    X(QMenu, MenuFileSave)                                                                                             \
    X(QAction, MenuFileSaveActPerf)                                                                                    \
    X(QAction, MenuFileSavePerfNames)                                                                                  \
    X(QAction, MenuFilePreferences)                                                                                    \
    X(QAction, MenuFileExit)                                                                                           \
    X(QMenu, MenuEdit)                                                                                                 \
    X(QAction, MenuEditUndo)                                                                                           \
    X(QAction, MenuEditRedo)                                                                                           \
    X(QAction, MenuEditCopyLayer)                                                                                      \
    X(QAction, MenuEditPasteLayer)                                                                                     \
    X(QAction, MenuEditCompare)                                                                                        \
    X(QAction, MenuEditRandomize)                                                                                      \
    X(QMenu, MenuBulk)                                                                                                 \
    X(QAction, MenuBulkPerfNames)                                                                                      \
    X(QAction, MenuBulkSinglePerfSynth)                                                                                \
    X(QAction, MenuBulkPerfBankSynth)                                                                                  \
    X(QAction, MenuBulkSinglePerfHD)                                                                                   \
    X(QAction, MenuBulkAllPerfHD)                                                                                      \
    X(QAction, MenuBulkBankEdit)                                                                                       \
    X(QAction, MenuAbout)
// clang-format on

class TMainWindow : public QMainWindow, public TransferUi {
    Q_OBJECT
public:
    // Creates the window (not shown): caption, hints, voice lists, the
    // default performance in the image, the name list file, the start
    // positions of every control.
    explicit TMainWindow(AppContext& app, QWidget* parent = nullptr);
    // Without `showImage` the creation leaves out the display refresh, so the
    // controls keep their start positions (no performance shown yet).
    TMainWindow(AppContext& app, QWidget* parent, bool showImage);
    // Start-up: builds only what the first frame shows (the controls around
    // the pages, the first page, the tabs of the others) and shows the image
    // on it; completeWindow() builds the rest. Until then the window takes no
    // input: the first key or click completes it before it is delivered.
    struct HiddenPagesLater {};
    TMainWindow(AppContext& app, HiddenPagesLater);
    ~TMainWindow() override;

    // Builds the pages not built yet, connects the handlers and shows the
    // performance on all controls; once only. Before it, no MIDI event and
    // no command may reach the window.
    void completeWindow();
    bool complete() const { return complete_; }

    AppContext& app() { return app_; }

    // The receive side and the transfer commands, with this window as their
    // user interface.
    ReceiveDispatcher dispatcher;
    BulkTransfers transfers;
    // The handlers, by subject: edits of single parameters and the effect
    // page; the display refresh; layer operations; voice and user-performance
    // selection.
    std::unique_ptr<EditHandlers> edit;
    std::unique_ptr<DisplayRefresh> refresh;
    std::unique_ptr<LayerOperations> layers;
    std::unique_ptr<VoiceSelection> selection;
    // The two-button message window, made once at start-up.
    TMessageWindow* messageWindow = nullptr;

    // The changes the handlers make to the performance, and the quiet scope
    // of a display refresh.
    EditSession& edits() { return app_.edits; }

    // Every parameter of the table with the controls that show it, in the
    // table's order; the references stay valid as long as the window.
    const std::vector<ParameterControls>& parameterControls() const { return parameterControls_; }
    const ParameterControls& controlsOf(const Parameter& p) const;

    // Moves a track bar from code: clamped to its range, and its change
    // handler does not run. Handlers that move another bar use this and write
    // that bar's read-out themselves.
    static void setPosition(QSlider* bar, int position);
    // The locale's decimal separator, for the read-outs in tenths.
    static char decimalPoint();

#define PS_DECLARE_MEMBER(Type, name) Type* name = nullptr;
    PS_MAINWINDOW_CONTROLS(PS_DECLARE_MEMBER)
    PS_MAINWINDOW_MENU(PS_DECLARE_MEMBER)
#undef PS_DECLARE_MEMBER

    // The pages of PageControl1, in order.
    QWidget* pages[5] = {};

    // Timers: lamps (50 ms pulses), request time-out, status line.
    QTimer* MidiInTimer = nullptr;
    QTimer* MidiOutTimer = nullptr;
    QTimer* MidiRequestTimer = nullptr;
    QTimer* StatusTimer = nullptr;

    // The shared open and save dialogs, built on first use; the bank
    // manager opened over this window uses them too.
    dialogs::SharedFileDialogs* fileDialogs = nullptr;

    // Keyboard shortcuts that open the menus (Ctrl+F, Ctrl+E, Ctrl+B).
    std::map<std::string, QShortcut*> menuShortcuts;

    // The widget of a table entry by its name; nullptr if there is none.
    QWidget* control(std::string_view name) const;

    // Status line: shows the text and restarts the status timer with 750 ms;
    // the line returns to "OK" when it fires.
    void ShowStatus(const QString& text);
    void ShowStatus(const std::string& text) override { ShowStatus(QString::fromStdString(text)); }

    // What the receive side needs (MainWindowReceive.cpp).
    void showMessage(const std::string& text) override;
    void setBusyCursor() override;
    void setNormalCursor() override;
    void selectUserPerfRow(int row) override;
    void setUserPerfRow(int row, const std::string& text) override;
    void ShowPerformance() override;
    void ShowLayer();
    void HandleSynthKnob(int controller, int value) override;
    void startRequestTimer(int milliseconds) override;
    void stopRequestTimer() override;
    void wait(int milliseconds) override;

    // What the transfer commands need (MainWindowTransfers.cpp).
    std::optional<std::string> openFileDialog(const std::string& title, const std::string& filter,
                                              const std::string& initialDir) override;
    std::optional<std::string> saveFileDialog(const std::string& title, const std::string& filter,
                                              const std::string& initialDir,
                                              const std::optional<std::string>& proposedName) override;
    std::optional<int> chooseUserPerf(const std::string& caption, const std::string& okCaption, int selected) override;
    bool ChooseLastDir(std::string& lastDir) override;
    int AskTwoChoices(const std::string& text, const std::string& first, const std::string& second) override;
    std::vector<std::string> userPerfRows() override;
    void setUserPerfRows(const std::vector<std::string>& rows) override;
    void beginBankSend(int records) override;
    void bankSendProgress(int done, const std::string& status) override;
    void endBankSend() override;
    void performanceStored() override;

    // Edit > Undo, Redo, Compare and Randomize... (MainWindowEditMenu.cpp).
    void menuEditUndoClick();
    void menuEditRedoClick();
    void menuEditCompareClick();
    void menuEditRandomizeClick();
    // The choice the randomize dialog starts with: the last one confirmed.
    RandomizeChoice randomizeSettings;
    // What the status line returns to: "OK", or that the original sounds.
    QString restingStatus() const;
    static const char* const kCompareOnText;
    static const char* const kCompareOffText;
    // The test note (button TestNote, and Ctrl+T held).
    TestNotePlayer& testNote() { return *testNote_; }

    // Activity lamps: lime for 50 ms after the last event, green at rest,
    // red while the device of that side is lost (its port went away); the
    // lost state is also told to assistive tools.
    void PulseMidiInLed();
    void PulseMidiOutLed();
    void showMidiDeviceLost(bool input, bool lost);
    bool midiDeviceShownLost(bool input) const { return input ? midiInLost_ : midiOutLost_; }

    // The envelope graphs, from the positions of their track bars.
    void DrawAEGEnvelope();
    void DrawFEGEnvelope();
    void DrawPEGEnvelope();

    // Replaces the rows of UserPerf with the lines of a name list file (at
    // most 128; missing rows get their number and an empty name). False with
    // the file's error text when it cannot be read.
    bool loadUserPerfList(const QString& path, QString& error);

    // Tool-tip hints on or off for the whole application.
    static void applyShowHints(bool on);

    // Files named outside the menus (the command line): the menu command
    // runs with its open dialog answered by `path`.
    void openActPerfFile(const std::string& path);
    void openPerfNamesFile(const std::string& path);
    // Bulk-Dump > Performance-bank manager; with a bank file, the window
    // opens on its directory with banks listed and that bank loaded.
    void openBankManager(const std::string& bankFile = std::string());

    static const QColor kLampOn;
    static const QColor kLampOff;
    static const QColor kLampLost;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TMainWindow(AppContext& app, QWidget* parent, bool showImage, bool wholeNow);
    void FormCreate();
    // Builds the table's controls not built yet; those of the pages not
    // shown first only with `hiddenPages`.
    void buildLayout(bool hiddenPages); // MainWindowLayout.cpp
    void bindControls();                // MainWindowLayout.cpp
    void buildMenu();                   // MainWindowLayout.cpp
    void setupTimers();
    void setupPictures();
    void MenuFileExitClick();

    void connectReceiveSide();  // MainWindowReceive.cpp
    void connectMenuCommands(); // MainWindowMenus.cpp
    void connectEditCommands(); // MainWindowEditMenu.cpp
    void updateEditCommands();
    void showCompareState();

    AppContext& app_;
    std::vector<ParameterControls> parameterControls_;
    // The answer of the next open dialog, when a file was named beforehand.
    std::optional<std::string> presetOpenFile_;
    QProgressDialog* bankProgress_ = nullptr;
    bool midiInLost_ = false;
    bool midiOutLost_ = false;
    std::map<std::string, QWidget*, std::less<>> widgets_;
    // Which entries of the control table are built, by position.
    std::vector<bool> built_;
    bool showImage_ = true;
    bool complete_ = false;
    // A name list that could not be read at start, told once the window is
    // complete (a message box would take input before).
    std::string startMessage_;
    bool centred_ = false;
    // The step of a bar being dragged: the whole drag is one step.
    std::optional<EditSession::Step> dragStep_;
    std::unique_ptr<TestNotePlayer> testNote_;
};

} // namespace patchsmith::editor
