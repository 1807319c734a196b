#pragma once
// The standalone patchsmith-virtual-cs1x (or any program) as a child process
// of a test. Its standard output is read line by line on a thread of its own
// so that the child never blocks on a full pipe; its standard input is a pipe
// for panel commands, or /dev/null. Only the process started here is ever
// signalled, by its PID.

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace patchsmith::test {

class SynthProcess {
public:
    enum class Input { Pipe, Null };
    static constexpr std::chrono::seconds kWait{60};

    // args[0] is the program's path.
    explicit SynthProcess(const std::vector<std::string>& args, Input input = Input::Pipe);
    ~SynthProcess(); // stop()
    SynthProcess(const SynthProcess&) = delete;
    SynthProcess& operator=(const SynthProcess&) = delete;

    bool started() const { return pid_ > 0; }

    // Types a line on the child's standard input.
    bool type(const std::string& line);
    void closeInput();

    // Waits until the child has printed exactly this line; false when it
    // ended or the time ran out first.
    bool waitForLine(const std::string& text, std::chrono::milliseconds limit = kWait);
    bool ready(std::chrono::milliseconds limit = kWait) { return waitForLine("ready", limit); }

    // Every line printed so far, and of them the messages the synth received
    // ("<- ..."), in order.
    std::vector<std::string> lines();
    std::vector<std::string> received();

    // Sends the signal and waits up to 10 s for the exit; the exit status, or
    // -1 (then the child is still there and stop() ends it). Signal 0 only
    // waits.
    int terminate(int signal = SIGTERM);

    // Ends the child: its input closed, SIGTERM, SIGKILL when it is still
    // there after 10 s; then waits for it.
    void stop();

private:
    bool hasLine(const std::string& text) const; // under mutex_
    void read();

    pid_t pid_ = -1;
    int fd_ = -1;
    int stdin_ = -1;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::string> lines_;
    bool eof_ = false;
};

// The device of a list that belongs to the client of this name (the last,
// should there be several); empty when there is none.
std::string findDevice(const std::vector<std::string>& names, const std::string& client);

} // namespace patchsmith::test
