#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "console/console_options.h"
#include "console/console_session.h"
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

// kestrel-console run as a process, and Hamlib's own network client (rigctl -m 2, from Debian's
// libhamlib-utils) against its rigctl server. Every wait is for an event (a line printed, an
// answer that changed) and is bounded.
std::string MakeFolder() {
    char pattern[] = "/tmp/kestrel-console-test-XXXXXX";
    return ::mkdtemp(pattern);
}

// Runs a shell command and returns what it printed on standard output.
std::string RunShell(const std::string& command) {
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            output.append(buffer, n);
        }
        ::pclose(pipe);
    }
    return output;
}

// kestrel-console in a fresh folder with its own "CommoFiles", fed one line at a time; one that
// never prints what the test waits for is ended after 20 s, which ends the wait.
class ConsoleProcess {
  public:
    explicit ConsoleProcess(const std::string& arguments) : folder_(MakeFolder()) {
        std::filesystem::create_directory(folder_ + "/CommoFiles");
        ::mkfifo((folder_ + "/input").c_str(), 0600);
        output_ = ::popen(("cd " + folder_ + " && exec timeout 20 " + KESTREL_CONSOLE_BINARY + " " +
                           arguments + " < input 2>&1")
                              .c_str(),
                          "r");
        input_ = ::open((folder_ + "/input").c_str(), O_RDWR);  // never blocks on a missing reader
    }
    ~ConsoleProcess() {
        Send("quit");
        ::close(input_);
        ::pclose(output_);
        std::filesystem::remove_all(folder_);
    }
    void Send(const std::string& line) {
        [[maybe_unused]] const ssize_t n = ::write(input_, (line + "\n").data(), line.size() + 1);
    }
    // Reads lines until one matches; returns the whole line and its groups, or nothing at the end
    // of the output.
    std::vector<std::string> AwaitLine(const std::string& pattern) {
        const std::regex wanted(pattern);
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, output_) != nullptr) {
            const std::string line(buffer, std::strcspn(buffer, "\n"));
            std::smatch match;
            if (std::regex_match(line, match, wanted)) {
                return {match.begin(), match.end()};
            }
        }
        return {};
    }

  private:
    std::string folder_;
    FILE* output_;
    int input_;
};

TEST(ConsoleProcess, AnswersQueriesAndHamlibsNetworkClientDrivesTheSimulatedRadio) {
    ConsoleProcess console("--simulate --listen 127.0.0.1:0 --xmlrpc 127.0.0.1:0");
    ASSERT_FALSE(console.AwaitLine("ready").empty()) << "a first start shows no box";
    const auto rigctlPort = console.AwaitLine("sharing rigctl 127\\.0\\.0\\.1:(\\d+)");
    ASSERT_EQ(rigctlPort.size(), 2u);
    ASSERT_FALSE(console.AwaitLine("sharing xmlrpc 127\\.0\\.0\\.1:\\d+").empty());
    console.Send("post 1");
    ASSERT_FALSE(console.AwaitLine("notify 0x8344").empty()) << "the identification answer";
    console.Send("get ID");
    ASSERT_FALSE(console.AwaitLine("ID=310").empty());
    console.Send("raw FA14250000;");
    ASSERT_FALSE(console.AwaitLine("notify 0x8333").empty()) << "the frequency answer";
    console.Send("get FA");
    EXPECT_EQ(console.AwaitLine("FA=(\\d+)"),
              (std::vector<std::string>{"FA=14250000", "14250000"}));

    if (RunShell("command -v rigctl").empty()) {
        GTEST_SKIP() << "rigctl (libhamlib-utils) is not installed";
    }
    const std::string rigctl = "rigctl -m 2 -r 127.0.0.1:" + rigctlPort[1] + " ";
    // (rigctl 4.5 itself prints nothing for \get_powerstat over model 2 and reads the argument
    // of \set_powerstat as a command of its own: those two are left to the protocol tests.)
    EXPECT_EQ(RunShell(rigctl + "F 14074000 M PKTUSB 0 T 1 T 0 S 1 VFOB I 14076000 L RFPOWER 0.5 "
                                "U LOCK 1 L PREAMP 20 2>&1"),
              "");
    // Settings reach the store only when the radio reports them: ask until it has.
    const std::string expected =
        "14074000\nPKTUSB\n2400\nVFOA\n0\n1\nVFOB\n14076000\n0.500000\n1\n20\n";
    std::string answers;
    for (int attempt = 0; attempt < 200 && answers != expected; ++attempt) {
        answers = RunShell(rigctl + "f m v t s i l RFPOWER u LOCK l PREAMP");
    }
    EXPECT_EQ(answers, expected);
    // The simulated radio's lower meter shows ALC, not SWR: an error, not a crash.
    EXPECT_NE(RunShell(rigctl + "l SWR 2>&1").find("Feature not available"), std::string::npos);
}

// A run to the end of its input, in a fresh folder ("@" in the arguments and the environment
// stands for it; HOME is its folder "home"). Without a "CommoFiles" folder in the working
// directory the files go to the user's data folder, which is made on the way; --files names the
// folder for one run; a bad command line or a --files folder that cannot be made ends the run
// and nothing is written.
TEST(ConsoleProcess, KeepsItsFilesInTheFolderChosenForTheRunAndRefusesABadCommandLine) {
    struct Case {
        bool localFolder;
        const char* arguments;
        const char* environment;
        const char* settings;
        const char* saved;
        const char* printed;  // the start of a line printed
    };
    // clang-format off
    const Case cases[] = {
        {true,  "--simulate --trace",               "", "CommoFiles/CommSetting.csv", "1,4800,0\n", "tx AI0;"},
        {false, "--simulate",                       "", "home/.local/share/kestrel-panel/CommoFiles/CommSetting.csv", "1,4800,0\n", ""},
        {false, "--simulate", "XDG_DATA_HOME=@/data", "data/kestrel-panel/CommoFiles/CommSetting.csv", "1,4800,0\n", ""},
        {true,  "--simulate --files @/station/one", "", "station/one/CommSetting.csv", "1,4800,0\n", ""},
        {true,  "--simulate --files @/script",      "", "CommoFiles/CommSetting.csv", "", "kestrel-console: cannot use the folder '"},
        {true,  "--bogus",                          "", "CommoFiles/CommSetting.csv", "", "kestrel-console: unknown option '--bogus'"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const std::string folder = MakeFolder();
        std::ofstream(folder + "/script") << "";
        if (c.localFolder) {
            std::filesystem::create_directory(folder + "/CommoFiles");
        }
        const std::string printed =
            RunShell("cd " + folder + " && env -u XDG_DATA_HOME HOME=" + folder + "/home " +
                     std::regex_replace(c.environment, std::regex("@"), folder) + " " +
                     KESTREL_CONSOLE_BINARY + " " +
                     std::regex_replace(c.arguments, std::regex("@"), folder) + " < script 2>&1");
        EXPECT_NE(printed.find(c.printed), std::string::npos) << printed;
        std::stringstream saved;
        saved << std::ifstream(folder + "/" + c.settings).rdbuf();
        EXPECT_EQ(saved.str(), c.saved);
        std::filesystem::remove_all(folder);
    }
}

}  // namespace
}  // namespace kestrel
