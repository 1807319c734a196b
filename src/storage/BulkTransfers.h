#pragma once
// The File and Bulk-Dump commands that move performances between the
// editor's image, the synthesizer's 128 user performances and files:
// sending (fixed sequences of seven bulk blocks with fixed pauses), receiving
// to disk (a request chain advanced by each answer) and the editor-disk
// commands. Widget-free: the window supplies dialogs, list and status line
// through TransferUi.

#include "midi/MidiLink.h"
#include "midi/Notifier.h"
#include "midi/ReceiveDispatcher.h"
#include "storage/FileNames.h"
#include "storage/TransferFileWriter.h"

#include <optional>
#include <string>
#include <vector>

namespace patchsmith {

inline constexpr const char* kSysExFilter = "SysEx binary (*.SYX)|*.SYX|All files (*.*)|*.*";
inline constexpr const char* kBankFilter = "Performance-banks (*.PFB)|*.PFB|All files (*.*)|*.*";
inline constexpr const char* kNamesFilter = "Performance-name files (*.PFN)|*.PFN|All files (*.*)|*.*";

// What the commands need of the main window beyond what the receive side needs.
class TransferUi : public ReceiveUi {
public:
    // The shared open dialog (existing files only, no name proposed) and
    // save dialog; nothing when cancelled. Filters are
    // "text|pattern|text|pattern". The save dialog proposes `proposedName`
    // (empty: no name); without one it keeps the name it showed last.
    virtual std::optional<std::string> openFileDialog(const std::string& title, const std::string& filter,
                                                      const std::string& initialDir) = 0;
    virtual std::optional<std::string> saveFileDialog(const std::string& title, const std::string& filter,
                                                      const std::string& initialDir,
                                                      const std::optional<std::string>& proposedName) = 0;
    // The user-performance chooser: caption (empty keeps its own), confirm
    // button caption, the entry selected and scrolled to the top (-1: none).
    // The chosen entry, or nothing when not confirmed with an entry selected.
    virtual std::optional<int> chooseUserPerf(const std::string& caption, const std::string& okCaption,
                                              int selected) = 0;
    // The directory chooser, starting at and storing into `lastDir`.
    virtual bool ChooseLastDir(std::string& lastDir) = 0;
    // The two-button message window: 1, 2, or 0 when closed otherwise.
    virtual int AskTwoChoices(const std::string& text, const std::string& first, const std::string& second) = 0;

    virtual std::vector<std::string> userPerfRows() = 0;
    virtual void setUserPerfRows(const std::vector<std::string>& rows) = 0;

    // A bank going to the synth: the window repaints, freezes and resets the
    // user-performance list, lights the output lamp and shows the busy
    // cursor; progress redraws the status line at once and reports how far
    // it is; the end undoes it all and shows "OK".
    virtual void beginBankSend(int records) = 0;
    virtual void bankSendProgress(int done, const std::string& status) = 0;
    virtual void endBankSend() = 0;
    // The image was stored into a user performance of the synth.
    virtual void performanceStored() {}
};

// The directories and name list the commands read and set.
struct TransferPaths {
    std::string& LastDir;
    std::string& PerfBankDir;
    std::string& PerfListFile;
};

class BulkTransfers {
public:
    BulkTransfers(MidiLink& link, ReceiveDispatcher& dispatcher, TransferUi& ui, Notifier& notifier,
                  TransferPaths paths);

    void MenuFileOpenActPerfClick();
    void MenuFileSaveActPerfClick();
    void MenuFileOpenPerfNamesClick();
    void MenuFileSavePerfNamesClick();
    void MenuBulkPerfNamesClick();
    void MenuBulkSinglePerfSynthClick();
    void MenuBulkPerfBankSynthClick();
    void SaveToSynthClick();
    void MenuBulkSinglePerfHDClick();
    void MenuBulkAllPerfHDClick();

    // Runs after each stored answer while a transfer to disk is under way.
    void DiskTransferStep();
    // Ends a transfer to disk that cannot go on (time-out, wrong block size,
    // file error): file closed with complete records only, flags cleared,
    // normal cursor, the user told why.
    void windUp(const std::string& reason);

    bool transferRunning() const;

    // Received performances go into one bank file (set) or a .SYX file each.
    bool WriteToBankFile = false;
    // The bank file still to be created; emptied once it is.
    std::string BankFileName;

private:
    void sendUserBlocks(int pauseMs);
    bool openTransferFile();
    void finishPerformance();

    MidiLink& link_;
    ReceiveDispatcher& dispatcher_;
    TransferUi& ui_;
    Notifier& notifier_;
    TransferPaths paths_;
    TransferFileWriter writer_;
    DiskTransferNames names_;
    std::string bankPath_;
};

} // namespace patchsmith
