#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Runs kestrel-console in a fresh working directory with the script on its standard input and
// returns every line it printed.
std::vector<std::string> RunConsole(const std::string& arguments, const std::string& script) {
    char folderPattern[] = "/tmp/kestrel-console-test-XXXXXX";
    const std::string folder = ::mkdtemp(folderPattern);
    std::ofstream(folder + "/script") << script;
    const std::string command =
        "cd " + folder + " && " + KESTREL_CONSOLE_BINARY + " " + arguments + " < script 2>&1";
    std::vector<std::string> lines;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            std::string line(buffer);
            if (!line.empty() && line.back() == '\n') {
                line.pop_back();
            }
            lines.push_back(line);
        }
        ::pclose(pipe);
    }
    std::ifstream settings(folder + "/CommoFiles/CommSetting.csv");
    std::stringstream saved;
    saved << settings.rdbuf();
    lines.push_back("saved: " + saved.str());
    std::filesystem::remove_all(folder);
    return lines;
}

bool Contains(const std::vector<std::string>& lines, const std::string& wanted) {
    return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

TEST(ConsoleProcess, ConnectsToTheBuiltInRadioAndAnswersQueries) {
    const auto lines = RunConsole("--simulate",
                                  "# connect, then tune by a raw command\n"
                                  "post 1\n"
                                  "wait 1500\n"
                                  "get AI\n"
                                  "get ID\n"
                                  "raw FA14250000;\n"
                                  "wait 400\n"
                                  "get FA\n"
                                  "get BOGUS\n"
                                  "quit\n");
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "ready") << "a first start without a settings file shows no box";
    EXPECT_TRUE(Contains(lines, "notify 0x833A")) << "the AI answer is reported";
    EXPECT_TRUE(Contains(lines, "notify 0x8344")) << "the identification answer is reported";
    EXPECT_TRUE(Contains(lines, "AI=1"));
    EXPECT_TRUE(Contains(lines, "ID=310"));
    EXPECT_TRUE(Contains(lines, "FA=14250000"));
    EXPECT_TRUE(Contains(lines, "error: unknown field 'BOGUS'"));
    EXPECT_EQ(lines.back(), "saved: 1,4800,0\n") << "the settings file is written at shutdown";
}

TEST(ConsoleProcess, TracesTheLineAndEndsAtTheEndOfInput) {
    const auto lines = RunConsole("--simulate --trace", "post 1\nwait 300\n");
    ASSERT_GE(lines.size(), 2u);
    EXPECT_TRUE(Contains(lines, "tx AI0;")) << "opening the port writes the AI state";
    EXPECT_TRUE(Contains(lines, "tx AI1;"));
    EXPECT_TRUE(Contains(lines, "tx ID;"));
    EXPECT_EQ(lines.back(), "saved: 1,4800,0\n");
}

TEST(ConsoleProcess, RefusesABadCommandLine) {
    const auto lines = RunConsole("--bogus", "");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "kestrel-console: unknown option '--bogus'");
}

}  // namespace
