#include "SynthProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

extern char** environ;

namespace patchsmith::test {

using Clock = std::chrono::steady_clock;

SynthProcess::SynthProcess(const std::vector<std::string>& args, Input input) {
    int out[2];
    int in[2] = {-1, -1};
    if (pipe(out) != 0) return;
    if (input == Input::Pipe && pipe(in) != 0) {
        close(out[0]);
        close(out[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    if (input == Input::Pipe) {
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, in[0]);
        posix_spawn_file_actions_addclose(&actions, in[1]);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (in[0] >= 0) close(in[0]);
    if (rc != 0) {
        pid_ = -1;
        close(out[0]);
        if (in[1] >= 0) close(in[1]);
        return;
    }
    fd_ = out[0];
    stdin_ = in[1];
    reader_ = std::thread([this] { read(); });
}

SynthProcess::~SynthProcess() { stop(); }

bool SynthProcess::type(const std::string& line) {
    const std::string text = line + "\n";
    return stdin_ >= 0 && ::write(stdin_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

void SynthProcess::closeInput() {
    if (stdin_ >= 0) close(stdin_);
    stdin_ = -1;
}

bool SynthProcess::hasLine(const std::string& text) const {
    return std::find(lines_.begin(), lines_.end(), text) != lines_.end();
}

bool SynthProcess::waitForLine(const std::string& text, std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    cv_.wait_for(lock, limit, [&] { return eof_ || hasLine(text); });
    return hasLine(text);
}

std::vector<std::string> SynthProcess::lines() {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::vector<std::string> SynthProcess::received() {
    std::lock_guard lock(mutex_);
    std::vector<std::string> r;
    for (const auto& l : lines_)
        if (l.rfind("<- ", 0) == 0) r.push_back(l);
    return r;
}

int SynthProcess::terminate(int signal) {
    if (pid_ <= 0) return -1;
    kill(pid_, signal);
    int status = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    for (;;) {
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) break;
        if (Clock::now() > deadline) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
    if (reader_.joinable()) reader_.join();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void SynthProcess::stop() {
    closeInput();
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        int status = 0;
        while (waitpid(pid_, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                kill(pid_, SIGKILL);
                waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        pid_ = -1;
    }
    if (reader_.joinable()) reader_.join();
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

void SynthProcess::read() {
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

std::string findDevice(const std::vector<std::string>& names, const std::string& client) {
    std::string found;
    for (const auto& n : names)
        if (n.rfind(client, 0) == 0) found = n;
    return found;
}

} // namespace patchsmith::test
