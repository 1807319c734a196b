// patchsmith-virtual-cs1x: the virtual CS1x on virtual MIDI ports, for trying
// the editor (or any other program) without an instrument. Prints every
// message it receives ("<- ") and sends ("-> ") as one line of hex, "ready"
// once its ports exist, and ends cleanly on Ctrl-C or SIGTERM. Panel events
// (knob turns, performance selection, notes) can be typed on its standard
// input for demonstrations and tests.

#include "synth/SynthRunner.h"

#include <RtMidi.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t gStop = 0;

extern "C" void onSignal(int) { gStop = 1; }

std::mutex gPrintLock;

void printLine(const std::string& line) {
    std::lock_guard<std::mutex> lock(gPrintLock);
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string hexLine(const char* mark, const unsigned char* bytes, std::size_t n) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string s = mark;
    for (std::size_t i = 0; i < n; ++i) {
        s += ' ';
        s += kDigits[bytes[i] >> 4];
        s += kDigits[bytes[i] & 0x0F];
    }
    return s;
}

void usage(std::FILE* to) {
    std::fputs("Usage: patchsmith-virtual-cs1x [--api jack|alsa] [--name CLIENT] [--wire] [--quiet]\n"
               "  --api    MIDI system for the virtual ports (default: ALSA where its sequencer exists, else JACK)\n"
               "  --name   client and port name (default \"Virtual CS1x\")\n"
               "  --wire   take the time of a MIDI cable: 320 us per byte each way\n"
               "  --quiet  do not print the messages\n"
               "Each direction is a client of its own; JACK renames the second one (\"CLIENT-01\").\n"
               "Panel commands on standard input, channel 1..16 (1 when left out):\n"
               "  knob CC VALUE [CHANNEL]       turn knob CC (71..74) to VALUE (0..127)\n"
               "  program P [CHANNEL]           select user performance P (0..127)\n"
               "  note NOTE VELOCITY [CHANNEL]  play a note (velocity 0: release it)\n",
               to);
}

// Panel commands read from standard input, one a line:
//   knob CC VALUE [CHANNEL]      control change 71..74
//   program P [CHANNEL]          select user performance P (0..127)
//   note NOTE VELOCITY [CHANNEL] velocity 0 for note off
// The channel is 1..16, 1 when left out. False for anything else.
bool panelCommand(const std::string& line, patchsmith::synth::SynthRunner& runner) {
    std::istringstream words(line);
    std::string cmd;
    if (!(words >> cmd)) return true; // an empty line does nothing
    std::vector<int> args;
    std::string word;
    while (words >> word) {
        std::size_t used = 0;
        int v = 0;
        try {
            v = std::stoi(word, &used);
        } catch (const std::exception&) {
            return false;
        }
        if (used != word.size()) return false;
        args.push_back(v);
    }
    auto channel = [&](std::size_t i) { return args.size() > i ? args[i] : 1; };
    if (cmd == "knob" && (args.size() == 2 || args.size() == 3)) return runner.turnKnob(args[0], args[1], channel(2));
    if (cmd == "program" && (args.size() == 1 || args.size() == 2)) return runner.programChange(args[0], channel(1));
    if (cmd == "note" && (args.size() == 2 || args.size() == 3)) return runner.note(args[0], args[1], channel(2));
    return false;
}

// Lines from standard input without blocking; at its end (or with none, as
// under a service manager) it is simply no longer read.
class PanelInput {
public:
    std::vector<std::string> poll(int timeoutMs) {
        std::vector<std::string> lines;
        // Started in the background of a shell, reading the terminal would
        // stop the program; it reads only while in the foreground.
        const bool background = isatty(STDIN_FILENO) && tcgetpgrp(STDIN_FILENO) != getpgrp();
        if (!open_ || background) {
            std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
            return lines;
        }
        pollfd fd{STDIN_FILENO, POLLIN, 0};
        if (::poll(&fd, 1, timeoutMs) <= 0) return lines; // nothing, or a signal
        char buf[256];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n < 0 && errno == EINTR) return lines;
        if (n <= 0) {
            open_ = false;
            if (!pending_.empty()) lines.push_back(pending_);
            return lines;
        }
        for (ssize_t i = 0; i < n; ++i) {
            if (buf[i] == '\n') {
                lines.push_back(pending_);
                pending_.clear();
            } else if (pending_.size() < 1024) {
                pending_ += buf[i];
            }
        }
        return lines;
    }

private:
    bool open_ = true;
    std::string pending_;
};

struct Options {
    RtMidi::Api api = RtMidi::UNSPECIFIED;
    std::string name = "Virtual CS1x";
    bool wire = false;
    bool quiet = false;
};

// False (after a message) for a bad command line; `help` set for --help.
bool parse(int argc, char** argv, Options& o, bool& help) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            help = true;
        } else if (a == "--wire") {
            o.wire = true;
        } else if (a == "--quiet") {
            o.quiet = true;
        } else if ((a == "--api" || a == "--name") && i + 1 < argc) {
            const std::string v = argv[++i];
            if (a == "--name") {
                if (v.empty()) {
                    std::fputs("patchsmith-virtual-cs1x: the client name must not be empty\n", stderr);
                    return false;
                }
                o.name = v;
            } else if (v == "jack") {
                o.api = RtMidi::UNIX_JACK;
            } else if (v == "alsa") {
                o.api = RtMidi::LINUX_ALSA;
            } else {
                std::fprintf(stderr, "patchsmith-virtual-cs1x: unknown API '%s' (jack or alsa)\n", v.c_str());
                return false;
            }
        } else {
            std::fprintf(stderr, "patchsmith-virtual-cs1x: unknown or incomplete option '%s'\n", a.c_str());
            return false;
        }
    }
    return true;
}

struct InputContext {
    patchsmith::synth::SynthRunner* runner;
    bool quiet;
};

void onMessage(double, std::vector<unsigned char>* message, void* user) {
    if (!message || message->empty()) return;
    auto* ctx = static_cast<InputContext*>(user);
    if (!ctx->quiet) printLine(hexLine("<-", message->data(), message->size()));
    ctx->runner->receive(std::span<const unsigned char>(message->data(), message->size()));
}

// RtMidi reports through the error callback instead of throwing once one is
// set; until the ports exist, anything but a debug note means they do not.
std::atomic<bool> gSetupDone{false};
std::atomic<bool> gSetupFailed{false};

void onError(RtMidiError::Type type, const std::string& text, void* user) {
    if (!gSetupDone && type != RtMidiError::DEBUG_WARNING) gSetupFailed = true;
    // RtMidi's JACK output refuses a message while its queue is full; the
    // sender waits and tries again rather than losing an answer.
    if (user && text.find("ringbuffer full") != std::string::npos) {
        static_cast<std::atomic<bool>*>(user)->store(true);
        return;
    }
    // Warnings (a dropped oversized message, say) are shown and survived.
    std::fprintf(stderr, "patchsmith-virtual-cs1x: %s%s\n",
                 type == RtMidiError::WARNING || type == RtMidiError::DEBUG_WARNING ? "warning: " : "", text.c_str());
}

// Sends one message, waiting up to a second while the output queue is full.
void sendWhole(RtMidiOut& out, std::atomic<bool>& full, const patchsmith::synth::Message& m) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    for (;;) {
        full = false;
        out.sendMessage(m.data(), m.size());
        if (!full) return;
        if (std::chrono::steady_clock::now() > deadline || gStop) {
            std::fputs("patchsmith-virtual-cs1x: output queue full, message lost\n", stderr);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace

int main(int argc, char** argv) {
    Options opt;
    bool help = false;
    if (!parse(argc, argv, opt, help)) {
        usage(stderr);
        return 2;
    }
    if (help) {
        usage(stdout);
        return 0;
    }
#ifdef __linux__
    // Left to itself RtMidi would choose an API for each direction on its
    // own, and the two could differ: take ALSA where the sequencer exists,
    // JACK otherwise.
    if (opt.api == RtMidi::UNSPECIFIED)
        opt.api = access("/dev/snd/seq", R_OK | W_OK) == 0 ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK;
#endif

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);

    try {
        // Declared so that input goes first and output last when they close.
        std::atomic<bool> outputFull{false};
        auto out = std::make_unique<RtMidiOut>(opt.api, opt.name);
        out->setErrorCallback(onError, &outputFull);
        auto runner = std::make_unique<patchsmith::synth::SynthRunner>(
            [&out, &outputFull, quiet = opt.quiet](const patchsmith::synth::Message& m) {
                if (!quiet) printLine(hexLine("->", m.data(), m.size()));
                sendWhole(*out, outputFull, m);
            },
            opt.wire);
        InputContext ctx{runner.get(), opt.quiet};
        auto in = std::make_unique<RtMidiIn>(opt.api, opt.name);
        in->setErrorCallback(onError, nullptr);
        in->ignoreTypes(false, true, true); // system exclusive in; clock and active sensing out
        in->setCallback(onMessage, &ctx);
        out->openVirtualPort(opt.name);
        in->openVirtualPort(opt.name);

        if (gSetupFailed) {
            std::fputs("patchsmith-virtual-cs1x: could not open the virtual ports\n", stderr);
            in->cancelCallback();
            in.reset();
            runner.reset();
            out.reset();
            return 1;
        }
        gSetupDone = true;
        printLine("ready");
        PanelInput panel;
        while (!gStop) {
            for (const std::string& line : panel.poll(20)) {
                if (!panelCommand(line, *runner))
                    std::fprintf(stderr, "patchsmith-virtual-cs1x: not a panel command: %s\n", line.c_str());
            }
        }

        in->cancelCallback();
        in->closePort();
        in.reset();
        runner.reset();
        out->closePort();
        out.reset();
    } catch (const RtMidiError& e) {
        std::fprintf(stderr, "patchsmith-virtual-cs1x: %s\n", e.getMessage().c_str());
        return 1;
    }
    if (!opt.quiet) printLine("bye");
    return 0;
}
