// The standalone virtual CS1x on a private JACK server, reached through the
// device layer over RtMidi: found by name, answering the identity request and
// the request for the current common block, printing what it sees, and
// ending cleanly on SIGTERM.

#include "JackServer.h"
#include "midi/MidiDevices.h"
#include "midi/MidiLink.h"
#include "midi/RtMidiPlatform.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using namespace patchsmith;
using Bytes = std::vector<Byte>;
using Clock = std::chrono::steady_clock;

constexpr auto kWait = std::chrono::seconds(20);
const std::string kClient = "Virtual CS1x";

class RecordingNotifier : public Notifier {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

// The GUI thread's event queue: RtMidi's thread posts, the test thread runs.
class TaskQueue {
public:
    void post(std::function<void()> task) {
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
        }
        cv_.notify_all();
    }
    bool runUntil(const std::function<bool()>& done) {
        const auto deadline = Clock::now() + kWait;
        for (;;) {
            std::deque<std::function<void()>> batch;
            {
                std::unique_lock lock(mutex_);
                cv_.wait_until(lock, std::min(deadline, Clock::now() + std::chrono::milliseconds(50)),
                               [this] { return !tasks_.empty(); });
                batch.swap(tasks_);
            }
            for (auto& task : batch) task();
            if (done()) return true;
            if (Clock::now() > deadline) return false;
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> tasks_;
};

// The standalone program as a child process; its output is read line by line
// on a thread of its own so that the child never blocks on a full pipe.
class Child {
public:
    explicit Child(const std::vector<std::string>& args) {
        int fds[2];
        int in[2];
        if (pipe(fds) != 0) return;
        if (pipe(in) != 0) {
            close(fds[0]);
            close(fds[1]);
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
        posix_spawn_file_actions_addclose(&actions, in[0]);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        close(in[0]);
        if (rc != 0) {
            pid_ = -1;
            close(fds[0]);
            close(in[1]);
            return;
        }
        fd_ = fds[0];
        stdin_ = in[1];
        reader_ = std::thread([this] { read(); });
    }

    ~Child() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (reader_.joinable()) reader_.join();
        if (fd_ >= 0) close(fd_);
        closeInput();
    }

    bool started() const { return pid_ > 0; }

    // Types a line on the child's standard input.
    bool type(const std::string& line) {
        const std::string text = line + "\n";
        return stdin_ >= 0 && ::write(stdin_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }
    void closeInput() {
        if (stdin_ >= 0) close(stdin_);
        stdin_ = -1;
    }

    bool waitForLine(const std::string& text) {
        std::unique_lock lock(mutex_);
        return cv_.wait_until(lock, Clock::now() + kWait, [&] {
            for (const auto& l : lines_)
                if (l == text) return true;
            return eof_;
        }) && !eofWithout(text);
    }

    std::vector<std::string> lines() {
        std::lock_guard lock(mutex_);
        return lines_;
    }

    // Sends the signal and waits for the exit; the exit status, or -1.
    int terminate(int signal = SIGTERM) {
        if (pid_ <= 0) return -1;
        kill(pid_, signal);
        int status = 0;
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        for (;;) {
            const pid_t r = waitpid(pid_, &status, WNOHANG);
            if (r == pid_) break;
            if (Clock::now() > deadline) return -1; // the destructor kills it
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        pid_ = -1;
        if (reader_.joinable()) reader_.join();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    bool eofWithout(const std::string& text) {
        for (const auto& l : lines_)
            if (l == text) return false;
        return true;
    }

    void read() {
        std::string pending;
        char buf[512];
        for (;;) {
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0) break;
            std::lock_guard lock(mutex_);
            for (ssize_t i = 0; i < n; ++i) {
                if (buf[i] == '\n') {
                    lines_.push_back(pending);
                    pending.clear();
                } else {
                    pending += buf[i];
                }
            }
            cv_.notify_all();
        }
        std::lock_guard lock(mutex_);
        eof_ = true;
        cv_.notify_all();
    }

    pid_t pid_ = -1;
    int fd_ = -1;
    int stdin_ = -1;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::string> lines_;
    bool eof_ = false;
};

// The one device of a list that belongs to the virtual CS1x's client.
std::string findDevice(const std::vector<std::string>& names) {
    std::string found;
    for (const auto& n : names)
        if (n.rfind(kClient, 0) == 0) found = n;
    return found;
}

} // namespace

// Run plain and with the wire model; the latter is stopped with SIGINT (Ctrl-C).
class VirtualCs1xOverJack : public ::testing::TestWithParam<bool> {};

TEST_P(VirtualCs1xOverJack, FoundByNameAndAnswersIdentityAndCommonBlock) {
    const bool wire = GetParam();
    test::JackServer server;
    if (!server.ok()) GTEST_SKIP() << server.why();

    std::vector<std::string> args{PATCHSMITH_VIRTUAL_CS1X, "--api", "jack", "--name", kClient};
    if (wire) args.emplace_back("--wire");
    Child child(args);
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(child.waitForLine("ready")) << "no ready line";

    RecordingNotifier notifier;
    TaskQueue gui;
    std::vector<midi::MidiInputEvent> events;
    {
        midi::RtMidiPlatform platform;
        MidiDevices devices(platform, notifier);
        Model model;
        model.fillDefaults();
        MidiLink link(model, devices);
        devices.postToGuiThread = [&](std::function<void()> task) { gui.post(std::move(task)); };
        devices.onInputEvent = [&](const midi::MidiInputEvent& e) { events.push_back(e); };

        // Learn the device names as the lists show them, then open by name.
        ASSERT_TRUE(devices.InitMidiDevices());
        devices.MidiInDeviceName = findDevice(devices.MidiInDeviceNames);
        devices.MidiOutDeviceName = findDevice(devices.MidiOutDeviceNames);
        ASSERT_FALSE(devices.MidiInDeviceName.empty()) << "no input of " << kClient;
        ASSERT_FALSE(devices.MidiOutDeviceName.empty()) << "no output of " << kClient;
        ASSERT_TRUE(devices.InitMidiDevices());
        ASSERT_TRUE(devices.MidiInOpen);
        ASSERT_TRUE(devices.MidiOutOpen);

        link.SendRequest(TransferKind::Identity);
        ASSERT_TRUE(gui.runUntil([&] { return !events.empty(); })) << "no identity reply";
        ASSERT_TRUE(events[0].isSysEx);
        const Bytes identity = events[0].sysex;
        EXPECT_EQ(identity.size(), 15u);
        EXPECT_EQ((Bytes(identity.begin(), identity.begin() + 6)), (Bytes{0xF0, 0x7E, 0x00, 0x06, 0x02, 0x43}));
        EXPECT_EQ(identity.back(), 0xF7);

        events.clear();
        link.SendRequest(TransferKind::CurrentCommon);
        ASSERT_TRUE(gui.runUntil([&] { return !events.empty(); })) << "no common block";
        const Bytes common = events[0].sysex;
        ASSERT_EQ(common.size(), 57u);
        EXPECT_EQ((Bytes(common.begin(), common.begin() + 9)),
                  (Bytes{0xF0, 0x43, 0x00, 0x4B, 0x00, 0x2E, 0x60, 0x00, 0x00}));
        // The edit buffer holds user performance 1 after power-on.
        EXPECT_EQ(std::string(common.begin() + 9, common.begin() + 17), "umTrax2 ");
        EXPECT_EQ(MidiLink::SysExChecksum(common), common[55]);
        EXPECT_EQ(common.back(), 0xF7);

        // Panel events typed on the program's input reach the editor's input
        // device as channel messages; the selected performance is recalled.
        events.clear();
        ASSERT_TRUE(child.type("knob 74 10"));
        ASSERT_TRUE(child.type("no such command"));
        ASSERT_TRUE(child.type("program 4"));
        ASSERT_TRUE(gui.runUntil([&] { return events.size() >= 2; })) << "no panel events";
        EXPECT_FALSE(events[0].isSysEx);
        EXPECT_EQ(events[0].shortMessage, midi::packShort(0xB0, 74, 10));
        EXPECT_EQ(events[1].shortMessage, midi::packShort(0xC0, 4, 0));
        events.clear();
        link.SendRequest(TransferKind::CurrentCommon);
        ASSERT_TRUE(gui.runUntil([&] { return !events.empty(); })) << "no common block";
        ASSERT_EQ(events[0].sysex.size(), 57u);
        EXPECT_EQ(std::string(events[0].sysex.begin() + 9, events[0].sysex.begin() + 17), "Superarp");
        // The end of its input does not end the program.
        child.closeInput();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        events.clear();
        link.SendRequest(TransferKind::Identity);
        ASSERT_TRUE(gui.runUntil([&] { return !events.empty(); })) << "no answer after the input closed";

        EXPECT_TRUE(notifier.messages.empty()) << notifier.messages.front();

        devices.CloseMidiIn();
        devices.CloseMidiOut();
    }

    EXPECT_EQ(child.terminate(wire ? SIGINT : SIGTERM), 0);
    const auto lines = child.lines();
    auto has = [&](const std::string& prefix) {
        for (const auto& l : lines)
            if (l.rfind(prefix, 0) == 0) return true;
        return false;
    };
    EXPECT_TRUE(has("<- F0 7E 00 06 01 F7"));
    EXPECT_TRUE(has("<- F0 43 20 4B 60 00 00 F7"));
    EXPECT_TRUE(has("-> F0 7E 00 06 02 43 "));
    EXPECT_TRUE(has("-> F0 43 00 4B 00 2E 60 00 00 75 6D 54 72 61 78 32 20 "));
    EXPECT_TRUE(has("-> B0 4A 0A"));
    EXPECT_TRUE(has("-> C0 04"));
    EXPECT_EQ(lines.back(), "bye");
}

INSTANTIATE_TEST_SUITE_P(Wire, VirtualCs1xOverJack, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& i) { return i.param ? "WireModel" : "Direct"; });

TEST(VirtualCs1xCommandLine, HelpAndBadOptions) {
    {
        Child child({PATCHSMITH_VIRTUAL_CS1X, "--help"});
        ASSERT_TRUE(child.started());
        EXPECT_TRUE(child.waitForLine("  --wire   take the time of a MIDI cable: 320 us per byte each way"));
        EXPECT_EQ(child.terminate(0), 0); // signal 0: just wait for the exit
    }
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--api", "coreaudio"},
                                                std::vector<std::string>{"--name"},
                                                std::vector<std::string>{"--name", ""},
                                                std::vector<std::string>{"--loud"}}) {
        std::vector<std::string> args{PATCHSMITH_VIRTUAL_CS1X};
        args.insert(args.end(), bad.begin(), bad.end());
        Child child(args);
        ASSERT_TRUE(child.started());
        EXPECT_EQ(child.terminate(0), 2) << bad.front();
        EXPECT_TRUE(child.lines().empty());
    }
}

TEST(VirtualCs1xCommandLine, AnUnusableMidiSystemEndsWithAnErrorNotAHang) {
    // Without a JACK server (and no starting one) RtMidi cannot make the ports.
    const char* previous = std::getenv("JACK_DEFAULT_SERVER");
    const std::string saved = previous ? previous : "";
    setenv("JACK_DEFAULT_SERVER", "patchsmith-no-such-server", 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    Child child({PATCHSMITH_VIRTUAL_CS1X, "--api", "jack"});
    if (previous) setenv("JACK_DEFAULT_SERVER", saved.c_str(), 1);
    else unsetenv("JACK_DEFAULT_SERVER");
    unsetenv("JACK_NO_START_SERVER");
    ASSERT_TRUE(child.started());
    EXPECT_EQ(child.terminate(0), 1);
    for (const auto& l : child.lines()) EXPECT_NE(l, "ready");
}
