// The helpers of the start use the toolkit from their own threads before the
// application object exists. The toolkit takes the first thread that uses it
// for its main thread; that must stay the thread that makes the application,
// also while a helper is still at work in the toolkit. Each case runs in a
// process of its own, which no toolkit call has touched before.

#include "app/StartHelpers.h"

#include <QApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

bool gWrongThread = false;

void recordMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
    if (text.contains(QStringLiteral("main() thread"))) gWrongThread = true;
}

// A session bus that takes connections and never answers: the helper that
// connects to it stays in the toolkit until the bus goes away.
class SilentBus {
public:
    SilentBus() {
        socket_ = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path_ = "/tmp/patchsmith-silent-bus-" + std::to_string(getpid());
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path_.c_str());
        unlink(path_.c_str());
        if (socket_ < 0 || bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(socket_, 4) != 0)
            std::_Exit(3);
        setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + path_).c_str(), 1);
    }
    ~SilentBus() { goAway(); }
    SilentBus(const SilentBus&) = delete;
    SilentBus& operator=(const SilentBus&) = delete;
    void goAway() {
        if (socket_ < 0) return;
        close(socket_);
        unlink(path_.c_str());
        socket_ = -1;
    }

private:
    int socket_ = -1;
    std::string path_;
};

// Makes the helpers, lets them reach the toolkit first and keeps one of them
// there, makes the application; tells whether the toolkit took this thread
// for its main thread.
[[noreturn]] void startLikeTheProgram() {
    qInstallMessageHandler(recordMessage);
    SilentBus bus;
    patchsmith::app::StartHelpers helpers;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    int argc = 1;
    char name[] = "test_start_helpers";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    bus.goAway();
    helpers.finish();
    const bool here = application.thread() == QThread::currentThread();
    std::fprintf(stderr, "wrong thread: %d, application here: %d\n", gWrongThread, here);
    std::_Exit(!gWrongThread && here ? 0 : 1);
}

} // namespace

TEST(StartHelpersDeathTest, TheThreadThatMakesThemStaysTheToolkitsMainThread) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(startLikeTheProgram(), ::testing::ExitedWithCode(0), "wrong thread: 0, application here: 1");
}

TEST(StartHelpersDeathTest, FinishingTwiceAndThenDestroyingIsHarmless) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            {
                patchsmith::app::StartHelpers helpers;
                helpers.finish();
                helpers.finish();
            }
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}
