#include "console/console_session.h"

#include <gtest/gtest.h>

#include <sstream>

#include "console/console_options.h"
#include "platform/virtual_runtime.h"

namespace kestrel {
namespace {

class ConsoleSessionTest : public ::testing::Test {
  protected:
    void SetUp() override { SetRuntime(&runtime); }
    void TearDown() override { SetRuntime(nullptr); }

    std::string Run(std::string_view line) {
        out.str("");
        EXPECT_TRUE(session.HandleLine(line));
        return out.str();
    }

    VirtualRuntime runtime;
    std::ostringstream out;
    ConsoleSession session{out};
};

TEST_F(ConsoleSessionTest, MalformedLinesPrintOneErrorEach) {
    struct Case {
        const char* line;
        const char* error;
    };
    const Case cases[] = {
        {"post", "error: usage: post N [B [V]]"},
        {"post 0", "error: request number must be 1 to 153"},
        {"post 154", "error: request number must be 1 to 153"},
        {"post x", "error: request number must be 1 to 153"},
        {"post 5 2", "error: the VFO-B bit must be 0 or 1"},
        {"post 5 0 4294967296", "error: the value must be a 32-bit whole number"},
        {"post 5 0 1 9", "error: usage: post N [B [V]]"},
        {"raw", "error: raw needs the text to send"},
        {"get", "error: unknown field ''"},
        {"get NOPE", "error: unknown field 'NOPE'"},
        {"wait -1", "error: usage: wait MS (0 to 86400000)"},
        {"wait soon", "error: usage: wait MS (0 to 86400000)"},
        {"tune 14", "error: unknown command 'tune'"},
        {"quit now", "error: quit takes no arguments"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run(c.line), std::string(c.error) + "\n") << c.line;
    }
}

TEST_F(ConsoleSessionTest, CommentsAndBlankLinesAreIgnored) {
    EXPECT_EQ(Run(""), "");
    EXPECT_EQ(Run("   "), "");
    EXPECT_EQ(Run("# post 1"), "");
}

TEST_F(ConsoleSessionTest, QuitEndsTheInput) {
    EXPECT_FALSE(session.HandleLine("quit"));
}

TEST_F(ConsoleSessionTest, WaitPassesTheTimeOnTheClock) {
    Run("wait 250");
    EXPECT_EQ(runtime.NowMs(), 250);
}

TEST_F(ConsoleSessionTest, StartupFailureBoxesFollowTheirRows) {
    session.HandleWindowMessage({kMsgStartupFailure, 0, 0});
    session.HandleWindowMessage({kMsgStartupFailure, 0, 1});  // row 1 is disabled
    session.HandleWindowMessage({kMsgStartupFailure, 1, 3});
    session.HandleWindowMessage({kMsgStartupFailure, 1, 7});  // no such row
    EXPECT_EQ(out.str(),
              "message 106 Failed to open the port.\\nPlease confirm the port connection.\n"
              "message 111 Failed to connect the COM port.\n");
}

TEST_F(ConsoleSessionTest, NotificationsPrintInUpperCaseHexAndOthersNot) {
    session.HandleWindowMessage({0x8333, 0, 0});
    session.HandleWindowMessage({0x830B, 0, 0});
    session.HandleWindowMessage({0x810A, 0, 0});
    EXPECT_EQ(out.str(), "notify 0x8333\nnotify 0x830B\n");
}

TEST(ConsoleOptions, ParsesEveryOptionAndRefusesTheRest) {
    std::string error;
    auto options = ParseConsoleOptions({"--device", "/dev/ttyUSB0", "--trace"}, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->device, "/dev/ttyUSB0");
    EXPECT_TRUE(options->trace);
    EXPECT_FALSE(options->simulate);

    EXPECT_FALSE(ParseConsoleOptions({"--device"}, error));
    EXPECT_EQ(error, "--device needs a path");
    EXPECT_FALSE(ParseConsoleOptions({"--fast"}, error));
    EXPECT_EQ(error, "unknown option '--fast'");
    EXPECT_FALSE(ParseConsoleOptions({"--simulate", "--device", "x"}, error));
}

}  // namespace
}  // namespace kestrel
