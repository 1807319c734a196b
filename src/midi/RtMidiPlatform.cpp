#include "midi/RtMidiPlatform.h"
#include "midi/SendQueue.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <mutex>
#include <thread>

#if defined(__LINUX_ALSA__)
#include <unistd.h>
#endif

#if defined(PATCHSMITH_HAVE_JACK) && defined(__UNIX_JACK__)
#include <jack/jack.h>
#define PATCHSMITH_JACK_CONNECTION_WAIT 1
#endif

namespace patchsmith::midi {

namespace {

// Our own RtMidi clients go by this name; their ports are not offered as
// devices (connecting the editor to itself makes no sense).
constexpr const char* kClientName = "Patchsmith";
constexpr const char* kInputPortName = "MIDI In";
constexpr const char* kOutputPortName = "MIDI Out";

// Large enough for the biggest SysEx the program receives in one piece;
// only APIs with fixed input buffers (WinMM) look at it.
constexpr unsigned kInputBufferBytes = 16384;
constexpr unsigned kInputBufferCount = 4;

constexpr MidiResult MMSYSERR_NOMEM = 7; // no text of its own

bool allDigits(const std::string& s, std::size_t from, std::size_t to) {
    if (from >= to) return false;
    for (std::size_t i = from; i < to; ++i)
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    return true;
}

// Ports of a running Patchsmith: "Patchsmith:..." or, when JACK or ALSA had
// to make the client name unique, "Patchsmith-NN:...".
bool isOwnPort(const std::string& rtmidiName) {
    const std::string prefix = kClientName;
    if (rtmidiName.compare(0, prefix.size(), prefix) != 0) return false;
    const std::size_t rest = prefix.size();
    if (rest < rtmidiName.size() && rtmidiName[rest] == ':') return true;
    if (rest < rtmidiName.size() && rtmidiName[rest] == '-') {
        const std::size_t colon = rtmidiName.find(':', rest);
        return colon != std::string::npos && allDigits(rtmidiName, rest + 1, colon);
    }
    return false;
}

// RtMidi's reports: JACK's full output queue and ALSA's refused event both
// leave the message unsent as a whole, so it can be sent again once there is
// room.
bool isQueueFull(const std::string& text) {
    return text.find("ringbuffer full") != std::string::npos ||
           text.find("error sending MIDI message to port") != std::string::npos;
}

#ifdef PATCHSMITH_JACK_CONNECTION_WAIT
// libjack reports on stderr every time it finds no server; while a device
// is lost the ports are listed once a second, with or without one.
void quietJack(const char*) {}

// The one client through which this process looks at JACK's ports, kept
// while its server runs. Opening and closing a client for every look (once a
// second, and for every open) deadlocks libjack sooner or later: its close
// waits for a lock that the threads of the process's other clients hold
// while the server notifies them of that very client. A client whose server
// went away is left as it is (closing it may hang as well) and a new one is
// opened once a server answers again.
class JackLook {
public:
    static JackLook& instance() {
        static JackLook* look = new JackLook; // lives as long as the process
        return *look;
    }

    // That server still runs: a client of ours made on it may be closed.
    // A client of a server that has gone is a zombie: libjack crashes when
    // its port is unregistered, and its close may hang.
    bool running(unsigned server) {
        std::lock_guard lock(mutex_);
        if (!client_ || gone_.load() || server != server_) return false;
        // The shutdown notice may still be on its way: ask the server itself.
        char* uuid = jack_get_uuid_for_client_name(client_, jack_get_client_name(client_));
        if (!uuid) return false;
        jack_free(uuid);
        return true;
    }

    // Runs `f` with a client of the running server, or with nullptr when no
    // server answers; one caller at a time.
    template <typename F>
    auto with(F f) {
        std::lock_guard lock(mutex_);
        if (client_ && gone_.load()) client_ = nullptr;
        if (!client_) {
            jack_status_t status{};
            jack_client_t* client = jack_client_open("Patchsmith look", JackNoStartServer, &status);
            if (client) {
                gone_ = false;
                ++server_;
                jack_on_info_shutdown(client, &JackLook::shutdown, this);
                client_ = client;
            }
        }
        return f(client_);
    }

    // A number for the server the look client talks to; it changes when
    // that server goes away or another one answers.
    unsigned server() {
        return with([this](jack_client_t*) { return server_; });
    }

private:
    static void shutdown(jack_status_t, const char*, void* self) { static_cast<JackLook*>(self)->gone_ = true; }

    std::mutex mutex_;
    jack_client_t* client_ = nullptr;
    std::atomic<bool> gone_{false};
    unsigned server_ = 0;
};

// RtMidi objects that cannot be closed or destroyed any more (their JACK
// server has gone): kept, unused, until the process ends.
void keepForever(std::shared_ptr<void> object) {
    static auto* kept = new std::vector<std::shared_ptr<void>>; // never destroyed
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    kept->push_back(std::move(object));
}

// JACK makes a new connection part of the running graph only at the start of
// a later cycle, after jack_connect has returned: a message sent or received
// in between is lost. Opening therefore waits until JACK's current graph
// shows the peer port connected to a port of ours (bounded; false when it
// never does).
bool awaitJackConnection(const std::string& peerPort, const std::string& ownPortName) {
    return JackLook::instance().with([&](jack_client_t* client) {
        if (!client) return true; // cannot look; the open itself went through
        bool connected = false;
        if (jack_port_t* peer = jack_port_by_name(client, peerPort.c_str())) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            const std::string suffix = ":" + ownPortName;
            while (!connected && std::chrono::steady_clock::now() < deadline) {
                if (const char** ports = jack_port_get_all_connections(client, peer)) {
                    for (const char** p = ports; *p && !connected; ++p) {
                        const std::string name = *p;
                        connected = isOwnPort(name) && name.size() > suffix.size() &&
                                    name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
                    }
                    jack_free(ports);
                }
                if (!connected) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        return connected;
    });
}

// JACK's MIDI ports, read from the server itself: RtMidi would open and
// activate a client of the running graph for every listing. No server, no
// ports. Ports that are outputs of their clients are our inputs.
void listJackPorts(bool inputs, std::vector<RtMidiPlatform::Port>& ports) {
    JackLook::instance().with([&](jack_client_t* client) {
        if (!client) return;
        const char** names =
            jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE, inputs ? JackPortIsOutput : JackPortIsInput);
        if (!names) return;
        for (const char** p = names; *p; ++p) {
            const std::string name = *p;
            if (!isOwnPort(name))
                ports.push_back({RtMidi::UNIX_JACK, name, normalizeDeviceName(RtMidi::UNIX_JACK, name)});
        }
        jack_free(names);
    });
}
#endif

// F0, 7-bit data, F7: anything else would end early or run into the next
// message on the cable.
bool isWholeSysEx(std::span<const Byte> message) {
    if (message.size() < 2 || message.front() != 0xF0 || message.back() != 0xF7) return false;
    return std::all_of(message.begin() + 1, message.end() - 1, [](Byte b) { return b < 0x80; });
}

} // namespace

// What RtMidi reported through the error callback since it was last cleared.
// RtMidi calls it instead of throwing once a callback is set, possibly on its
// own threads.
struct RtMidiPlatform::ErrorLog {
    std::mutex mutex;
    bool occurred = false;
    RtMidiError::Type type = RtMidiError::UNSPECIFIED;
    std::string text;

    static void callback(RtMidiError::Type type, const std::string& text, void* user) {
        auto* log = static_cast<ErrorLog*>(user);
        std::lock_guard lock(log->mutex);
        // The first error of an operation is the one that tells what failed.
        if (log->occurred) return;
        log->occurred = true;
        log->type = type;
        log->text = text;
    }
    void clear() {
        std::lock_guard lock(mutex);
        occurred = false;
        text.clear();
    }
    // The error since the last clear, if any, and clears it.
    std::optional<std::pair<RtMidiError::Type, std::string>> take() {
        std::lock_guard lock(mutex);
        if (!occurred) return std::nullopt;
        occurred = false;
        return std::make_pair(type, std::move(text));
    }
};

// The part of an open input that RtMidi's thread sees.
struct RtMidiPlatform::InputState {
    std::mutex mutex;
    InputHandle handle = 0;
    MidiInputSink sink;

    static void callback(double, std::vector<unsigned char>* message, void* user) {
        auto* state = static_cast<InputState*>(user);
        if (!message) return;
        std::lock_guard lock(state->mutex);
        if (!state->sink) return;
        auto event = eventFromMessage(state->handle, *message);
        if (!event) return;
        state->sink(std::move(*event));
    }
};

// An open output: RtMidi's output object and the queue of messages that a
// thread of its own hands to it one after the other. The thread shares both,
// so that a thread left behind by a stalled driver keeps them alive.
struct RtMidiPlatform::Sender {
    std::shared_ptr<ErrorLog> errors = std::make_shared<ErrorLog>();
    std::shared_ptr<RtMidiOut> out;
    std::shared_ptr<SendQueue> queue;
    RtMidi::Api api = RtMidi::UNSPECIFIED;
    unsigned server = 0; // the JACK server it was opened on

    static MidiResult transmit(RtMidiOut& out, ErrorLog& errors, const std::vector<Byte>& message) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSendWaitMs);
        for (;;) {
            errors.clear();
            try {
                out.sendMessage(message.data(), message.size());
            } catch (const RtMidiError& e) {
                return resultFromRtMidiError(e.getType());
            } catch (const std::exception&) {
                return MMSYSERR_ERROR;
            }
            const auto error = errors.take();
            if (!error) return MMSYSERR_NOERROR;
            if (!isQueueFull(error->second)) {
                // The other warnings of a send are about the message itself.
                return error->first == RtMidiError::WARNING ? MMSYSERR_INVALPARAM : resultFromRtMidiError(error->first);
            }
            // The driver's queue is full and did not take the message: offer
            // the whole message again once it has drained a little.
            if (std::chrono::steady_clock::now() >= deadline) return MIDIERR_NOTREADY;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    void start(MidiSendFailureSink onFailure) {
        SendQueue::Limits limits;
        limits.queueBytes = kQueueBytes;
        limits.stallLimit = std::chrono::milliseconds(kSendWaitMs);
        limits.bytesPerMs = kPaceBytesPerMs;
        limits.burstBytes = kPaceBurstBytes;
        limits.overheadBytes = 12;
        queue = SendQueue::start(
            [out = out, errors = errors](const std::vector<Byte>& message) { return transmit(*out, *errors, message); },
            std::move(onFailure), limits);
    }

    MidiResult close() {
#ifdef PATCHSMITH_JACK_CONNECTION_WAIT
        if (api == RtMidi::UNIX_JACK && !JackLook::instance().running(server)) {
            // Its server has gone: nothing can be sent any more, and closing
            // the port would crash libjack.
            (void)queue->close();
            keepForever(out);
            keepForever(errors);
            return MMSYSERR_NOERROR;
        }
#endif
        // A driver that stopped taking messages leaves the port as lost as a
        // closed one; reporting a failure would only keep the device counted
        // as open with nothing behind it.
        if (!queue->close()) return MMSYSERR_NOERROR;
        try {
            out->closePort();
        } catch (const RtMidiError& e) {
            return resultFromRtMidiError(e.getType());
        }
        return MMSYSERR_NOERROR;
    }
};

std::string normalizeDeviceName(RtMidi::Api api, const std::string& rtmidiName) {
    std::string name = rtmidiName;
    if (api == RtMidi::WINDOWS_MM) {
        // RtMidi appends the device number to make names unique.
        const std::size_t blank = name.rfind(' ');
        if (blank != std::string::npos && allDigits(name, blank + 1, name.size())) name.erase(blank);
    }
    return name;
}

MidiResult resultFromRtMidiError(RtMidiError::Type type) {
    switch (type) {
    case RtMidiError::NO_DEVICES_FOUND:
    case RtMidiError::INVALID_DEVICE: return MMSYSERR_BADDEVICEID;
    case RtMidiError::INVALID_PARAMETER: return MMSYSERR_INVALPARAM;
    case RtMidiError::MEMORY_ERROR: return MMSYSERR_NOMEM;
    case RtMidiError::WARNING:
    case RtMidiError::DEBUG_WARNING:
    case RtMidiError::UNSPECIFIED:
    case RtMidiError::INVALID_USE:
    case RtMidiError::DRIVER_ERROR:
    case RtMidiError::SYSTEM_ERROR:
    case RtMidiError::THREAD_ERROR: break;
    }
    return MMSYSERR_ERROR;
}

unsigned shortMessageLength(Byte status) {
    if (status < 0x80) return 0;
    if (status < 0xF0) {
        const Byte kind = status & 0xF0;
        return (kind == 0xC0 || kind == 0xD0) ? 2 : 3;
    }
    switch (status) {
    case 0xF1:
    case 0xF3: return 2;
    case 0xF2: return 3;
    case 0xF0:
    case 0xF7: return 0;
    default: return 1; // F4, F5, F6 and the real-time messages F8..FF
    }
}

std::optional<MidiInputEvent> eventFromMessage(InputHandle input, const std::vector<unsigned char>& message) {
    if (message.empty()) return std::nullopt;
    MidiInputEvent event;
    event.input = input;
    if (message.front() == 0xF0) {
        // Only a whole message: a SysEx that a driver glued to others or cut
        // short would otherwise pass as an answer of the right length.
        if (!isWholeSysEx(message)) return std::nullopt;
        event.isSysEx = true;
        event.sysex.assign(message.begin(), message.end());
        return event;
    }
    if (message.size() > 3) return std::nullopt;
    event.shortMessage =
        packShort(message[0], message.size() > 1 ? message[1] : 0, message.size() > 2 ? message[2] : 0);
    return event;
}

RtMidiPlatform::RtMidiPlatform() {
#ifdef PATCHSMITH_JACK_CONNECTION_WAIT
    jack_set_error_function(quietJack);
    jack_set_info_function(quietJack);
#endif
}

RtMidiPlatform::~RtMidiPlatform() {
    // Inputs first: their callbacks must be quiet before anything goes away.
    std::vector<InputHandle> inputs;
    for (auto& [handle, input] : openInputs_) {
        std::lock_guard lock(input.state->mutex);
        input.state->sink = nullptr;
        inputs.push_back(handle);
    }
    for (const InputHandle handle : inputs) (void)closeInput(handle);
    for (auto& [handle, output] : openOutputs_) {
        (void)handle;
        (void)output.sender->close();
    }
    openOutputs_.clear();
}

std::vector<RtMidiPlatform::Port> RtMidiPlatform::listPorts(bool inputs, bool firstApiOnly) {
    std::vector<Port> ports;
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    if (firstApiOnly)
        std::stable_partition(apis.begin(), apis.end(), [](RtMidi::Api api) { return api != RtMidi::UNIX_JACK; });
    for (const RtMidi::Api api : apis) {
        if (firstApiOnly && !ports.empty()) break;
        if (api == RtMidi::RTMIDI_DUMMY) continue;
#ifdef PATCHSMITH_JACK_CONNECTION_WAIT
        if (api == RtMidi::UNIX_JACK) {
            listJackPorts(inputs, ports);
            continue;
        }
#endif
#if defined(__LINUX_ALSA__)
        // Without the sequencer device, ALSA's library would say so on
        // stderr at every listing.
        if (api == RtMidi::LINUX_ALSA && ::access("/dev/snd/seq", R_OK | W_OK) != 0) continue;
#endif
        // Each API on its own: one that cannot work here (no ALSA sequencer,
        // no JACK server) throws or lists nothing, and adds no ports.
        auto list = [&](auto& rtmidi) {
            ErrorLog errors;
            rtmidi.setErrorCallback(&ErrorLog::callback, &errors);
            const unsigned count = rtmidi.getPortCount();
            for (unsigned i = 0; i < count; ++i) {
                errors.clear();
                const std::string raw = rtmidi.getPortName(i);
                if (errors.take() || raw.empty() || isOwnPort(raw)) continue;
                ports.push_back({api, raw, normalizeDeviceName(api, raw)});
            }
            rtmidi.setErrorCallback(nullptr, nullptr);
        };
        try {
            if (inputs) {
                RtMidiIn in(api, kClientName);
                list(in);
            } else {
                RtMidiOut out(api, kClientName);
                list(out);
            }
        } catch (const std::exception&) {}
    }
    return ports;
}

namespace {

std::vector<std::string> namesOf(const std::vector<RtMidiPlatform::Port>& ports) {
    std::vector<std::string> names;
    names.reserve(ports.size());
    for (const auto& p : ports) names.push_back(p.name);
    return names;
}

// Finds the port RtMidi now lists under the name seen when listing; the
// numbering may have changed since.
template <typename R>
std::optional<unsigned> findPort(R& rtmidi, const std::string& rtmidiName) {
    const unsigned count = rtmidi.getPortCount();
    for (unsigned i = 0; i < count; ++i)
        if (rtmidi.getPortName(i) == rtmidiName) return i;
    return std::nullopt;
}

} // namespace

std::vector<std::string> RtMidiPlatform::inputPortNames() { return namesOf(listPorts(true)); }
std::vector<std::string> RtMidiPlatform::outputPortNames() { return namesOf(listPorts(false)); }
bool RtMidiPlatform::hasPorts(bool inputs) { return !listPorts(inputs, true).empty(); }

MidiResult RtMidiPlatform::openInput(unsigned portNumber, const std::string& name, MidiInputSink sink,
                                     InputHandle& handle) {
    const std::vector<Port> ports = listPorts(true);
    const int index = resolvePort(namesOf(ports), portNumber, name);
    if (index < 0) return MMSYSERR_BADDEVICEID;
    const Port& port = ports[static_cast<std::size_t>(index)];
    OpenInput input;
    input.errors = std::make_unique<ErrorLog>();
    input.state = std::make_shared<InputState>();
    input.api = port.api;
#ifdef PATCHSMITH_JACK_CONNECTION_WAIT
    if (port.api == RtMidi::UNIX_JACK) input.server = JackLook::instance().server();
#endif
    try {
        input.in = std::make_unique<RtMidiIn>(port.api, kClientName);
        input.in->setErrorCallback(&ErrorLog::callback, input.errors.get());
        input.in->setBufferSize(kInputBufferBytes, kInputBufferCount);
        // SysEx and timing messages are wanted, active sensing is not.
        input.in->ignoreTypes(false, false, true);
        const auto rtmidiIndex = findPort(*input.in, port.rtmidiName);
        if (!rtmidiIndex) return MMSYSERR_BADDEVICEID;
        input.errors->clear();
        input.in->setCallback(&InputState::callback, input.state.get());
        input.in->openPort(*rtmidiIndex, kInputPortName);
        if (auto error = input.errors->take();
            error && error->first != RtMidiError::WARNING && error->first != RtMidiError::DEBUG_WARNING)
            return resultFromRtMidiError(error->first);
        if (!input.in->isPortOpen()) return MMSYSERR_ERROR;
#ifdef PATCHSMITH_JACK_CONNECTION_WAIT
        if (port.api == RtMidi::UNIX_JACK && !awaitJackConnection(port.rtmidiName, kInputPortName))
            return MMSYSERR_ERROR;
#endif
    } catch (const RtMidiError& e) {
        return resultFromRtMidiError(e.getType());
    } catch (const std::exception&) {
        return MMSYSERR_ERROR;
    }
    handle = nextHandle_++;
    if (nextHandle_ == 0) nextHandle_ = 1;
    {
        // Events flow from here on.
        std::lock_guard lock(input.state->mutex);
        input.state->handle = handle;
        input.state->sink = std::move(sink);
    }
    openInputs_.emplace(handle, std::move(input));
    return MMSYSERR_NOERROR;
}

MidiResult RtMidiPlatform::closeInput(InputHandle handle) {
    const auto it = openInputs_.find(handle);
    if (it == openInputs_.end()) return MMSYSERR_INVALHANDLE;
    {
        // Once this returns, RtMidi's thread delivers nothing more: a callback
        // that is running finishes first, later ones find the sink gone.
        std::lock_guard lock(it->second.state->mutex);
        it->second.state->sink = nullptr;
    }
    MidiResult rc = MMSYSERR_NOERROR;
#ifdef PATCHSMITH_JACK_CONNECTION_WAIT
    if (it->second.api == RtMidi::UNIX_JACK && !JackLook::instance().running(it->second.server)) {
        // Its server has gone: unregistering the port of a client whose
        // server is gone crashes libjack, so the input is given up as it is.
        abandon(std::move(it->second));
        openInputs_.erase(it);
        return rc;
    }
#endif
    try {
        it->second.in->cancelCallback();
        it->second.in->closePort();
    } catch (const RtMidiError& e) {
        rc = resultFromRtMidiError(e.getType());
    }
    openInputs_.erase(it);
    return rc;
}

void RtMidiPlatform::abandon(OpenInput input) {
#ifdef PATCHSMITH_JACK_CONNECTION_WAIT
    // RtMidi's object points at the error log and the state: all three stay.
    keepForever(std::shared_ptr<RtMidiIn>(std::move(input.in)));
    keepForever(std::shared_ptr<ErrorLog>(std::move(input.errors)));
    keepForever(input.state);
#else
    (void)input;
#endif
}

MidiResult RtMidiPlatform::openOutput(unsigned portNumber, const std::string& name, MidiSendFailureSink onFailure,
                                      OutputHandle& handle) {
    const std::vector<Port> ports = listPorts(false);
    const int index = resolvePort(namesOf(ports), portNumber, name);
    if (index < 0) return MMSYSERR_BADDEVICEID;
    const Port& port = ports[static_cast<std::size_t>(index)];
    auto sender = std::make_shared<Sender>();
    sender->api = port.api;
#ifdef PATCHSMITH_JACK_CONNECTION_WAIT
    if (port.api == RtMidi::UNIX_JACK) sender->server = JackLook::instance().server();
#endif
    try {
        sender->out = std::make_shared<RtMidiOut>(port.api, kClientName);
        sender->out->setErrorCallback(&ErrorLog::callback, sender->errors.get());
        const auto rtmidiIndex = findPort(*sender->out, port.rtmidiName);
        if (!rtmidiIndex) return MMSYSERR_BADDEVICEID;
        sender->errors->clear();
        sender->out->openPort(*rtmidiIndex, kOutputPortName);
        if (auto error = sender->errors->take();
            error && error->first != RtMidiError::WARNING && error->first != RtMidiError::DEBUG_WARNING)
            return resultFromRtMidiError(error->first);
        if (!sender->out->isPortOpen()) return MMSYSERR_ERROR;
#ifdef PATCHSMITH_JACK_CONNECTION_WAIT
        if (port.api == RtMidi::UNIX_JACK && !awaitJackConnection(port.rtmidiName, kOutputPortName))
            return MMSYSERR_ERROR;
#endif
        sender->start(std::move(onFailure));
    } catch (const RtMidiError& e) {
        return resultFromRtMidiError(e.getType());
    } catch (const std::exception&) {
        return MMSYSERR_ERROR;
    }
    handle = nextHandle_++;
    if (nextHandle_ == 0) nextHandle_ = 1;
    openOutputs_.emplace(handle, OpenOutput{std::move(sender)});
    return MMSYSERR_NOERROR;
}

MidiResult RtMidiPlatform::sendLong(OutputHandle handle, std::span<const Byte> message) {
    const auto it = openOutputs_.find(handle);
    if (it == openOutputs_.end()) return MMSYSERR_INVALHANDLE;
    if (!isWholeSysEx(message) || message.size() > kMaxLongMessageBytes) return MMSYSERR_INVALPARAM;
    return it->second.sender->queue->enqueue(message.data(), message.size());
}

MidiResult RtMidiPlatform::sendShort(OutputHandle handle, std::uint32_t packed) {
    const auto it = openOutputs_.find(handle);
    if (it == openOutputs_.end()) return MMSYSERR_INVALHANDLE;
    const Byte bytes[3] = {static_cast<Byte>(packed & 0xFF), static_cast<Byte>((packed >> 8) & 0xFF),
                           static_cast<Byte>((packed >> 16) & 0xFF)};
    const unsigned length = shortMessageLength(bytes[0]);
    if (length == 0) return MMSYSERR_INVALPARAM;
    for (unsigned i = 1; i < length; ++i)
        if (bytes[i] & 0x80) return MMSYSERR_INVALPARAM;
    return it->second.sender->queue->enqueue(bytes, length);
}

MidiResult RtMidiPlatform::closeOutput(OutputHandle handle) {
    const auto it = openOutputs_.find(handle);
    if (it == openOutputs_.end()) return MMSYSERR_INVALHANDLE;
    const std::shared_ptr<Sender> sender = std::move(it->second.sender);
    openOutputs_.erase(it);
    return sender->close();
}

} // namespace patchsmith::midi
