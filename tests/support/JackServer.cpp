#include "JackServer.h"

#include <jack/jack.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace patchsmith::test {

namespace {

std::atomic<int> serverCounter{0};

std::string findInPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/local/bin:/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (dir.empty()) continue;
        const std::string candidate = dir + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

// libjack reports every failed connection attempt on stderr; while we poll
// for the server those are expected and only clutter the test output.
void quietJack(const char*) {}
void loudJack(const char* msg) { std::fprintf(stderr, "%s\n", msg); }

bool serverAcceptsClients(const std::string& name) {
    jack_set_error_function(quietJack);
    jack_set_info_function(quietJack);
    jack_status_t status{};
    jack_client_t* client = jack_client_open(
        "patchsmith-probe", static_cast<jack_options_t>(JackNoStartServer | JackServerName), &status, name.c_str());
    if (client) jack_client_close(client);
    jack_set_error_function(loudJack);
    jack_set_info_function(loudJack);
    return client != nullptr;
}

// libjack keeps its port metadata in a Berkeley DB under /dev/shm whose
// locks live in shared memory. A client or server killed while it held one
// (a test stopped by a time-out, a process killed by hand) leaves every later
// JACK client of this user waiting for it for ever, inside jack_client_open.
// Only a process that has the database mapped can hold its locks: when none
// has, it is started afresh. A server or client that is about to map it is not
// seen in /proc yet, so the caller clears only while no other JackServer of
// this user, in any process, is alive (see holdMetadataLock).
void clearAbandonedMetadata() {
    const std::string dir = "/dev/shm/jack_db-" + std::to_string(::getuid());
    std::error_code ec;
    if (!std::filesystem::exists(dir, ec)) return;
    DIR* proc = ::opendir("/proc");
    if (!proc) return;
    bool inUse = false;
    while (const dirent* entry = ::readdir(proc)) {
        const std::string pid = entry->d_name;
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream maps("/proc/" + pid + "/maps");
        std::string line;
        while (!inUse && std::getline(maps, line)) inUse = line.find(dir) != std::string::npos;
        if (inUse) break;
    }
    ::closedir(proc);
    if (!inUse) std::filesystem::remove_all(dir, ec);
}

// Every JackServer holds a shared lock on one file of this user for its
// life; the metadata is cleared only under the exclusive lock, taken without
// waiting. Removing the database while another test's jackd or client was
// creating it made its mmap fail ("BDB0126 mmap: Invalid argument") and
// libdb leak what it had set up.
int openMetadataLock() {
    const std::string path = "/dev/shm/patchsmith-jack-" + std::to_string(::getuid()) + ".lock";
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

void holdMetadataLock(int fd) {
    if (fd < 0) return; // no lock, no clearing: a stale database only waits
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) clearAbandonedMetadata();
    while (::flock(fd, LOCK_SH) != 0 && errno == EINTR) {}
}

} // namespace

JackServer::JackServer() {
    name_ = "patchsmith-" + std::to_string(::getpid()) + "-" + std::to_string(serverCounter++);

    // Clients of this process find this server and never start one of their own.
    if (const char* prev = std::getenv("JACK_DEFAULT_SERVER")) {
        hadDefaultServer_ = true;
        previousDefaultServer_ = prev;
    }
    ::setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
    ::setenv("JACK_NO_START_SERVER", "1", 1);
    ::setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);

    start();
}

bool JackServer::restart() {
    stop();
    ok_ = false;
    why_.clear();
    start();
    return ok_;
}

void JackServer::stopServer() {
    stop();
    ok_ = false;
}

void JackServer::start() {
    const std::string jackd = findInPath("jackd");
    if (jackd.empty()) {
        why_ = "jackd not found in PATH (package jackd2)";
        return;
    }

    const char* tmp = std::getenv("TMPDIR");
    logPath_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + name_ + ".log";

    // Everything the child needs is prepared before fork: between fork and
    // exec only async-signal-safe calls are allowed.
    // Synchronous mode: the server waits for every client to finish its
    // cycle, so a client that a loaded machine schedules late delays the
    // cycle instead of losing or garbling the MIDI in its port buffers (what
    // asynchronous mode does). The client time-out is long enough that no
    // client is ever dropped for being slow (a dropped client can hang the
    // server in this mode); periods of 1024 frames (21 ms) keep the cycles
    // few.
    if (lockFd_ < 0) lockFd_ = openMetadataLock();
    holdMetadataLock(lockFd_);
    std::vector<std::string> args = {jackd, "--no-realtime", "--sync", "-n",    name_, "-t",  "120000",
                                     "-d",  "dummy",         "-r",     "48000", "-p",  "1024"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t parent = ::getpid();

    const pid_t pid = ::fork();
    if (pid < 0) {
        why_ = std::string("fork failed: ") + std::strerror(errno);
        return;
    }
    if (pid == 0) {
        // A test that crashes must not leave its server behind.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(127);
        const int devnull = ::open("/dev/null", O_RDONLY);
        if (devnull >= 0) ::dup2(devnull, 0);
        const int log = ::open(logPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0) {
            ::dup2(log, 1);
            ::dup2(log, 2);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    pid_ = pid;

    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            std::ostringstream msg;
            msg << "jackd ended before accepting clients (";
            if (WIFEXITED(status))
                msg << "exit code " << WEXITSTATUS(status);
            else if (WIFSIGNALED(status))
                msg << "signal " << WTERMSIG(status);
            msg << "): " << logTail();
            why_ = msg.str();
            return;
        }
        if (serverAcceptsClients(name_)) {
            ok_ = true;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    why_ = "jackd did not accept clients within 10 s: " + logTail();
    stop();
}

JackServer::~JackServer() {
    stop();
    if (lockFd_ >= 0) ::close(lockFd_);
    if (!logPath_.empty()) ::unlink(logPath_.c_str());
    // Hand the default back only if no later server has taken it over.
    const char* current = std::getenv("JACK_DEFAULT_SERVER");
    if (current && name_ == current) {
        if (hadDefaultServer_)
            ::setenv("JACK_DEFAULT_SERVER", previousDefaultServer_.c_str(), 1);
        else
            ::unsetenv("JACK_DEFAULT_SERVER");
    }
}

void JackServer::stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    using Clock = std::chrono::steady_clock;
    // Killed outright, jackd could die holding a metadata lock (see
    // clearAbandonedMetadata): a loaded machine gets time to end it cleanly.
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    int status = 0;
    while (Clock::now() < deadline) {
        const pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_ || (r < 0 && errno == ECHILD)) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
}

std::string JackServer::logTail() const {
    std::ifstream in(logPath_);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (all.size() > 600) all = all.substr(all.size() - 600);
    while (!all.empty() && (all.back() == '\n' || all.back() == ' ')) all.pop_back();
    return all.empty() ? "(no output)" : all;
}

bool JackServer::ok() const { return ok_; }
const std::string& JackServer::why() const { return why_; }
const std::string& JackServer::name() const { return name_; }

} // namespace patchsmith::test
