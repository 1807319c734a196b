#pragma once
// The two MIDI devices of the program: enumeration, opening and closing,
// sending long and short messages, reporting send failures and driving the
// two activity lamps. Incoming events are handed to the GUI thread whole and
// in arrival order, tagged with the input they came from.

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
    // whose configured device is absent gets FallbackDeviceName when that is
    // present; the configured name stays as it is.
    bool InitMidiDevices();
    void OpenMidiIn(int device);
    bool CloseMidiIn();
    void OpenMidiOut(int device);
    bool CloseMidiOut();

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
    std::string FallbackDeviceName;

    // Hooks the window and the link connect.
    std::function<void()> onPulseMidiInLed;
    std::function<void()> onPulseMidiOutLed;
    std::function<void()> onIdentityRequest;                         // step 6 of the enumeration
    std::function<void(const midi::MidiInputEvent&)> onInputEvent;  // events of the open input
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

    // `shownName` names the device in failure messages.
    void openInput(int device, const std::string& shownName);
    void openOutput(int device, const std::string& shownName);
    void reportLateSendFailure(midi::MidiResult rc);

    midi::MidiPlatform& platform_;
    Notifier& notifier_;
    midi::InputHandle inHandle_ = 0;
    midi::OutputHandle outHandle_ = 0;
    std::array<Byte, kBufferBytes> sendBuffer_{};
    // Lets events still queued for the GUI thread find out that this object
    // is gone.
    std::shared_ptr<Alive> alive_;
};

} // namespace patchsmith
