// The private JACK server that tests over a real MIDI stack start.

#include "JackServer.h"

#include <gtest/gtest.h>
#include <jack/jack.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

using patchsmith::test::JackServer;

bool acceptsClients(const std::string& server) {
    jack_status_t status{};
    jack_client_t* client = jack_client_open(
        "patchsmith-test", static_cast<jack_options_t>(JackNoStartServer | JackServerName), &status, server.c_str());
    if (!client) return false;
    jack_client_close(client);
    return true;
}

void silent(const char*) {}

TEST(JackServer, RunsUnderItsOwnNameAndStopsWithItsOwner) {
    ::setenv("JACK_DEFAULT_SERVER", "before", 1);
    auto first = std::make_unique<JackServer>();
    if (!first->ok()) GTEST_SKIP() << first->why();
    EXPECT_TRUE(first->why().empty());
    EXPECT_EQ(first->name().rfind("patchsmith-", 0), 0u) << first->name();
    EXPECT_EQ(std::string(std::getenv("JACK_DEFAULT_SERVER")), first->name());
    EXPECT_STREQ(std::getenv("JACK_NO_START_SERVER"), "1");

    // A second one beside it gets a name of its own; both take clients.
    auto second = std::make_unique<JackServer>();
    ASSERT_TRUE(second->ok()) << second->why();
    EXPECT_NE(second->name(), first->name());
    EXPECT_EQ(std::string(std::getenv("JACK_DEFAULT_SERVER")), second->name());
    EXPECT_TRUE(acceptsClients(first->name()));
    EXPECT_TRUE(acceptsClients(second->name()));

    // Stopping one leaves the other running; each hands the default back.
    const std::string secondName = second->name();
    jack_set_error_function(silent);
    jack_set_info_function(silent);
    second.reset();
    EXPECT_FALSE(acceptsClients(secondName));
    EXPECT_TRUE(acceptsClients(first->name()));
    EXPECT_EQ(std::string(std::getenv("JACK_DEFAULT_SERVER")), first->name());
    first.reset();
    EXPECT_STREQ(std::getenv("JACK_DEFAULT_SERVER"), "before");
}

} // namespace
