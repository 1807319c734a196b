#pragma once
// A private JACK server for tests that need a real MIDI stack: jackd with the
// dummy driver, no realtime scheduling, under a name of its own so that tests
// running side by side never meet. Clients of this process find it through
// JACK_DEFAULT_SERVER; none of them may start a server of its own.
//
// jackd runs as
//   jackd --no-realtime -n patchsmith-<pid>-<n> -t 5000 -d dummy -r 48000 -p 1024
// and is told to end when the thread that started it ends (so a crashed test
// leaves no server behind): create it on the test's main thread.

#include <string>
#include <sys/types.h>

namespace patchsmith::test {

class JackServer {
public:
    JackServer();  // starts jackd with the dummy driver under a unique server name,
                   // sets JACK_DEFAULT_SERVER to it in this process, waits until it accepts clients
    ~JackServer(); // stops it by its PID (only the one it started) and waits for it
    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;

    // Stops the server and starts it again under the same name, as when a
    // user restarts JACK; false (with why()) when it does not come back.
    bool restart();
    void stopServer(); // stops it; restart() brings it back

    bool ok() const;                 // false when jackd is missing or could not start
    const std::string& why() const;  // the reason when !ok()
    const std::string& name() const; // the server name

private:
    void start();
    void stop();
    std::string logTail() const;

    bool ok_ = false;
    std::string why_;
    std::string name_;
    std::string logPath_;
    pid_t pid_ = -1;
    int lockFd_ = -1; // shared for the server's life, see holdMetadataLock
    bool hadDefaultServer_ = false;
    std::string previousDefaultServer_;
};

} // namespace patchsmith::test
