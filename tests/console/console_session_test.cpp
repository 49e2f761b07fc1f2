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

TEST_F(ConsoleSessionTest, MalformedLinesPrintOneErrorEachAndBlankOrCommentLinesNothing) {
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"post",                "error: usage: post N [B [V]]\n"},
        {"post 0",              "error: request number must be 1 to 153\n"},
        {"post 154",            "error: request number must be 1 to 153\n"},
        {"post x",              "error: request number must be 1 to 153\n"},
        {"post 5 2",            "error: the VFO-B bit must be 0 or 1\n"},
        {"post 5 0 4294967296", "error: the value must be a 32-bit whole number\n"},
        {"post 5 0 1 9",        "error: usage: post N [B [V]]\n"},
        {"raw",                 "error: raw needs the text to send\n"},
        {"get",                 "error: unknown field ''\n"},
        {"get NOPE",            "error: unknown field 'NOPE'\n"},
        {"wait -1",             "error: usage: wait MS (0 to 86400000)\n"},
        {"wait soon",           "error: usage: wait MS (0 to 86400000)\n"},
        {"tune 14",             "error: unknown command 'tune'\n"},
        {"quit now",            "error: quit takes no arguments\n"},
        {"",                    ""},
        {"   ",                 ""},
        {"# post 1",            ""},
    };
    // clang-format on
    for (const auto& [line, printed] : cases) {
        EXPECT_EQ(Run(line), printed) << line;
    }
    Run("wait 250");
    EXPECT_EQ(runtime.NowMs(), 250);
    EXPECT_FALSE(session.HandleLine("quit"));
}

// Failure boxes follow their rows (row 1 is disabled, row 7 does not exist); notifications print
// in upper-case hex, other messages not at all.
TEST_F(ConsoleSessionTest, WindowMessagesPrintBoxesAndNotifications) {
    for (const Message& m : {Message{kMsgStartupFailure, 0, 0}, Message{kMsgStartupFailure, 0, 1},
                             Message{kMsgStartupFailure, 1, 3}, Message{kMsgStartupFailure, 1, 7},
                             Message{0x8333, 0, 0}, Message{0x830B, 0, 0}, Message{0x810A, 0, 0}}) {
        session.HandleWindowMessage(m);
    }
    EXPECT_EQ(out.str(),
              "message 106 Failed to open the port.\\nPlease confirm the port connection.\n"
              "message 111 Failed to connect the COM port.\nnotify 0x8333\nnotify 0x830B\n");
}

TEST(ConsoleOptions, ParsesEveryOptionAndRefusesTheRest) {
    std::string error;
    auto options = ParseConsoleOptions({"--device", "/dev/ttyUSB0", "--trace", "-h"}, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->device, "/dev/ttyUSB0");
    EXPECT_TRUE(options->trace);
    EXPECT_TRUE(options->help);
    EXPECT_FALSE(options->simulate);
    EXPECT_FALSE(ParseConsoleOptions({"--device"}, error));
    EXPECT_EQ(error, "--device needs a path");
    EXPECT_FALSE(ParseConsoleOptions({"--fast"}, error));
    EXPECT_EQ(error, "unknown option '--fast'");
    EXPECT_FALSE(ParseConsoleOptions({"--simulate", "--device", "x"}, error));
}

}  // namespace
}  // namespace kestrel
