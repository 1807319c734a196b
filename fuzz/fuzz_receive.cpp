// Fuzz target: everything the CS1x may send, through the device layer into
// the receive dispatcher, while a request chain of any kind runs: the fetch
// of the current performance, the names request, and single and all user
// performances to disk (with the transfer writing its files into a
// temporary directory). The input's first bytes choose the state, the rest
// is a stream of MIDI events and overlapping commands (see ReceiveFormat.h).

#include "FuzzSupport.h"
#include "FuzzUi.h"
#include "ReceiveFormat.h"
#include "midi/MidiDevices.h"
#include "midi/MidiLink.h"
#include "midi/ReceiveDispatcher.h"
#include "model/Model.h"
#include "storage/BulkTransfers.h"
#include "storage/PerformanceFiles.h"
#include "support/RecordingNotifier.h"
#include "support/ScriptedMidiPlatform.h"

#include <cstring>

using namespace patchsmith;
using namespace patchsmith::fuzz;
using namespace patchsmith::fuzz::receive;

namespace {

// The program as the main window wires it, over a scripted MIDI system.
struct Rig {
    explicit Rig(const TempDir& dir)
        : devices(platform, notifier), link(model, devices), dispatcher(link, ui), lastDir(dir.path().string()),
          bankDir(lastDir), transfers(link, dispatcher, ui, notifier, TransferPaths{lastDir, bankDir, listFile}),
          dir_(dir) {
        platform.inputs = {"In"};
        platform.outputs = {"Out"};
        devices.MidiInDeviceName = "In";
        devices.MidiOutDeviceName = "Out";
        devices.onInputEvent = [this](const midi::MidiInputEvent& e) { dispatcher.AppMessage(e); };
        dispatcher.programChangesOn = [this] { return programChanges; };
        dispatcher.DiskTransferStep = [this] { transfers.DiskTransferStep(); };
        dispatcher.onTimeoutReported = [this] {
            if (transfers.transferRunning()) transfers.windUp("the CS1x does not answer.");
        };
        model.fillDefaults();
        devices.InitMidiDevices();
    }

    void run(Byte command, Byte parameter) {
        switch (command % kCommandCount) {
        case FetchPerformance:
            // The user-performance list refuses a switch while a transfer to disk runs.
            if (transfers.transferRunning() || !devices.MidiOutOpen || !devices.MidiInOpen) break;
            model.ActiveUserPerf = parameter & 0x7F;
            devices.SendShortMessage(0xB0, 0x00, 0x3F);
            devices.SendShortMessage(0xB0, 0x20, 0x41);
            devices.SendShortMessage(0xC0, parameter & 0x7F, 0x00);
            dispatcher.FetchCurrentPerformance();
            break;
        case Names: transfers.MenuBulkPerfNamesClick(); break;
        case SingleToDisk:
            ui.chooserAnswer = parameter & 0x7F;
            ui.dirAnswer = dir_.path().string();
            transfers.MenuBulkSinglePerfHDClick();
            break;
        case AllToBank:
            ui.twoChoiceAnswer = 1;
            ui.saveAnswer = dir_.file(parameter & 1 ? "Bank" : "Bank.pfb");
            transfers.MenuBulkAllPerfHDClick();
            break;
        case AllToFiles:
            ui.twoChoiceAnswer = 2;
            ui.dirAnswer = dir_.path().string();
            transfers.MenuBulkAllPerfHDClick();
            break;
        case Identity: link.SendRequest(TransferKind::Identity); break;
        case SaveToSynth:
            ui.chooserAnswer = parameter & 0x7F;
            transfers.SaveToSynthClick();
            break;
        default: break;
        }
    }

    // What must hold after every event.
    void check() {
        for (const auto& sent : platform.sent) {
            if (sent.isLong) {
                FUZZ_CHECK(wellFramed(sent.bytes));
            } else {
                FUZZ_CHECK(sent.bytes.size() == 3 && (sent.bytes[1] & 0x80) == 0 && (sent.bytes[2] & 0x80) == 0);
            }
        }
        platform.sent.clear();
        FUZZ_CHECK(link.UserPerfNumber >= 0 && link.UserPerfNumber <= 127);
        FUZZ_CHECK(dispatcher.BlocksToGo >= 0 && dispatcher.BlocksToGo <= 6);
        FUZZ_CHECK(model.ActiveUserPerf >= -1 && model.ActiveUserPerf <= 127);
        // A transfer that has ended leaves no half-written file behind.
        const bool running = transfers.transferRunning();
        if (wasRunning_ && !running) {
            for (const auto& p : dir_.entries()) FUZZ_CHECK(p.extension() != ".tmp");
        }
        wasRunning_ = running;
    }

    midi::ScriptedMidiPlatform platform;
    test::RecordingNotifier notifier;
    Model model;
    MidiDevices devices;
    MidiLink link;
    FuzzUi ui;
    ReceiveDispatcher dispatcher;
    std::string lastDir, bankDir, listFile;
    BulkTransfers transfers;
    bool programChanges = false;

private:
    const TempDir& dir_;
    bool wasRunning_ = false;
};

std::vector<Byte> answer(int pending, Input& in) {
    int length = answerLength(pending);
    if (length == 0) length = 57;
    std::vector<Byte> m(static_cast<std::size_t>(length), 0);
    m.front() = 0xF0;
    m.back() = 0xF7;
    const std::vector<Byte> given = in.bytes(in.byte());
    for (std::size_t i = 0; i < given.size() && i + 2 < m.size(); ++i) m[i + 1] = given[i];
    return m;
}

// Files the transfers leave: whole records only.
void checkFiles(const TempDir& dir) {
    for (const auto& p : dir.entries()) {
        FUZZ_CHECK(p.extension() != ".tmp");
        const std::vector<Byte> bytes = readFile(p.string());
        if (p.extension() == ".SYX") {
            FUZZ_CHECK(bytes.size() == static_cast<std::size_t>(kRecordBytes));
        } else if (p.extension() == ".PFB") {
            FUZZ_CHECK(bytes.size() >= 14 && std::memcmp(bytes.data(), "Patchsmith PFB", 14) == 0);
            FUZZ_CHECK((bytes.size() - 14) % kRecordBytes == 0);
        } else {
            FUZZ_CHECK(p.extension() == ".SYX" || p.extension() == ".PFB");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    TempDir dir;
    {
        Rig rig(dir);
        const Byte command = in.byte();
        const Byte parameter = in.byte();
        const Byte switches = in.byte();
        const Byte pending = in.byte();
        const Byte number = in.byte();
        const Byte blocks = in.byte();
        rig.programChanges = (switches & ProgramChanges) != 0;
        rig.run(command, parameter);
        if (switches & SetPending) rig.link.PendingRequest = pending;
        if (switches & SetNumber) rig.link.UserPerfNumber = number & 0x7F;
        if (switches & SetBlocks) rig.dispatcher.BlocksToGo = blocks % 7;
        if (switches & SetCurrentChain) rig.dispatcher.ReceivingCurrentPerf = true;
        if (switches & SetNamesChain) rig.dispatcher.ReceivingAllNames = true;
        if (switches & SetDiskChain) rig.dispatcher.UserPerfToDisk = true;
        if (switches & OutputClosed) rig.devices.CloseMidiOut();
        rig.check();

        while (!in.empty()) {
            switch (in.byte() % kEventCount) {
            case SysEx: rig.platform.injectSysEx(in.bytes(in.byte())); break;
            case Answer: rig.platform.injectSysEx(answer(rig.link.PendingRequest, in)); break;
            case Short: {
                const Byte status = in.byte(), d1 = in.byte(), d2 = in.byte();
                rig.platform.injectShort(status, d1, d2);
                break;
            }
            case Timeout: rig.dispatcher.requestTimeout(); break;
            case Run: {
                const Byte c = in.byte();
                rig.run(c, in.byte());
                break;
            }
            case LongSysEx: {
                const int length = in.word() % 20000;
                const Byte fill = in.byte();
                std::vector<Byte> m(static_cast<std::size_t>(length), fill);
                if (!m.empty()) m.front() = 0xF0;
                if (m.size() > 1) m.back() = 0xF7;
                rig.platform.injectSysEx(std::move(m));
                break;
            }
            case OtherInput: {
                const Byte status = in.byte(), d1 = in.byte(), d2 = in.byte();
                rig.platform.injectShort(status, d1, d2, rig.platform.openInputHandle() + 1);
                break;
            }
            default: break;
            }
            rig.check();
        }
    }
    // The rig is gone: a transfer it left running has been wound up.
    checkFiles(dir);
    return 0;
}
