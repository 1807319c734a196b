#pragma once
// The two MIDI devices of the program: enumeration, opening and closing,
// sending long and short messages, reporting send failures and driving the
// two activity lamps. Incoming events are handed to the GUI thread whole and
// in arrival order, tagged with the input they came from. Ports come and go
// while the program runs (an interface unplugged, a JACK server restarted):
// fresh port lists close a device whose port has gone and reopen the
// configured one when its port is back.

#include "midi/MidiPlatform.h"
#include "midi/Notifier.h"
#include "model/Bytes.h"

#include <array>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace patchsmith {

// Texts of failures to register a receive or send buffer. The platforms in
// use have no such step (they deliver from the open on and take each
// message as it is sent), so nothing shows them today; they stay for a
// platform that has one.
inline constexpr const char* kCreateInBufferFailed = "Unable to Create MIDI-In Buffer!";
inline constexpr const char* kCreateOutBufferFailed = "Unable to Create MIDI-Out Buffer!";

class MidiDevices {
public:
    static constexpr std::size_t kBufferBytes = 8192;

    MidiDevices(midi::MidiPlatform& platform, Notifier& notifier);
    ~MidiDevices();
    MidiDevices(const MidiDevices&) = delete;
    MidiDevices& operator=(const MidiDevices&) = delete;

    // Enumerates both sides, opens the devices whose names match the
    // configured ones and sends the identity request. False (after a
    // message) when there is no input or no output device at all. A side
    // whose configured device is absent gets fallbackDeviceName when that is
    // present; the configured name stays as it is.
    bool InitMidiDevices();
    // Whether InitMidiDevices will find an input and an output device; shows
    // its message when not. Opens nothing and lists no more than it must, so
    // that start-up can tell before the window shows.
    bool hasMidiDevices();
    // `device` is a row of the device list; `portName` the name the row
    // showed (its name in the list when empty), so that a list that changed
    // meanwhile still opens the port that was chosen.
    void OpenMidiIn(int device, const std::string& portName = {});
    bool CloseMidiIn();
    void OpenMidiOut(int device, const std::string& portName = {});
    bool CloseMidiOut();

    // --- Ports that come and go ---------------------------------------------
    struct PortLists {
        std::vector<std::string> inputs;
        std::vector<std::string> outputs;
    };
    // The ports there are now. Asks the platform only, so it may run on any
    // thread (listing can keep a caller waiting while a MIDI system goes away).
    PortLists listPorts();
    // On the GUI thread, with lists read a moment ago; does nothing while
    // busy() holds. The device lists are brought up to date; a device whose
    // port is not listed any more is closed and counted lost; a side whose
    // configured device is not open (lost, or absent at start, or standing
    // in with the fallback) opens it as soon as its port is listed (exact
    // name, else the name without ALSA's numbers), and then the identity
    // request goes out as at start. A reopen that fails is tried again only
    // once the port has gone and come back; it shows no message.
    void applyPortLists(PortLists lists);
    // Lists and applies at once; false (and nothing done) while busy().
    bool pollPorts();
    // Brings the device lists up to date without opening or closing anything.
    void refreshDeviceLists();
    // The configured device of a side is wanted and nothing is open there.
    bool midiInLost() const { return inSide_.waiting && !MidiInOpen; }
    bool midiOutLost() const { return outSide_.waiting && !MidiOutOpen; }

    // What the program is doing that ports must not be looked at during (a
    // transfer, a request chain, a bank send); set by the application.
    std::function<bool()> busy;
    // A device's port went away, or came back and the device is open again.
    std::function<void(bool input, const std::string& name)> onDeviceLost;
    std::function<void(bool input, const std::string& name)> onDeviceReconnected;
    // midiInLost() or midiOutLost() may have changed.
    std::function<void()> onDeviceStateChanged;

    void SendLongMessage(std::span<const Byte> message);
    void SendShortMessage(Byte status, Byte data1, Byte data2);
    void ReportMidiOutError();
    void PulseMidiInLed();
    void PulseMidiOutLed();

    // Delivers an event of the platform on the GUI thread (the poster's
    // thread). Public for platforms that already run there.
    void deliver(const midi::MidiInputEvent& event);

    midi::InputHandle inputHandle() const { return inHandle_; }

    // State (read by the settings window and the dispatcher).
    bool MidiInOpen = false;
    bool MidiOutOpen = false;
    std::vector<std::string> MidiInDeviceNames;
    std::vector<std::string> MidiOutDeviceNames;
    int MidiInDeviceIndex = -1;
    int MidiOutDeviceIndex = -1;
    std::string MidiInDeviceName;
    std::string MidiOutDeviceName;
    int LastMidiResult = 0;
    // Opened on a side whose configured device is not present (the built-in
    // virtual CS1x); empty for none.
    std::string fallbackDeviceName;

    // Hooks the window and the link connect.
    std::function<void()> onPulseMidiInLed;
    std::function<void()> onPulseMidiOutLed;
    std::function<void()> onIdentityRequest;                       // step 6 of the enumeration
    std::function<void(const midi::MidiInputEvent&)> onInputEvent; // events of the open input
    // Runs a task on the GUI thread, after every task posted before it. Until
    // one is set, events are handled on the delivering thread at once.
    std::function<void(std::function<void()>)> postToGuiThread;

    // A device name without the numbers ALSA's sequencer appends (" 20:0"),
    // which change when an interface is plugged in again.
    static std::string baseDeviceName(const std::string& name);
    // The row of the device a configured name stands for: the last row of
    // that exact name, else the last row whose name is the same without
    // ALSA's numbers; -1 when there is none.
    static int findDevice(const std::vector<std::string>& names, const std::string& wanted);

private:
    struct Alive {
        MidiDevices* self;
    };

    // The state of one side beside its open flag.
    struct Side {
        std::string openName;      // the port open now; empty when closed
        bool waiting = false;      // the configured device is wanted and not open
        std::string lostName;      // the port that went away or would not open
        bool retryBlocked = false; // a reopen failed; not again until the port comes back
    };

    // `shownName` names the device in failure messages; `quiet` shows none.
    // True when the device is open.
    bool openInput(int device, const std::string& portName, const std::string& shownName, bool quiet = false);
    bool openOutput(int device, const std::string& portName, const std::string& shownName, bool quiet = false);
    void closeQuietly(bool input);
    // The row of the port a waiting side wants; -1 when it is not listed.
    int wantedRow(const std::vector<std::string>& names, const std::string& configured, const Side& side) const;
    void updateIndexes();
    void stateChanged();
    void reportLateSendFailure(midi::MidiResult rc);

    midi::MidiPlatform& platform_;
    Notifier& notifier_;
    midi::InputHandle inHandle_ = 0;
    midi::OutputHandle outHandle_ = 0;
    Side inSide_;
    Side outSide_;
    std::array<Byte, kBufferBytes> sendBuffer_{};
    // Lets events still queued for the GUI thread find out that this object
    // is gone.
    std::shared_ptr<Alive> alive_;
};

} // namespace patchsmith
