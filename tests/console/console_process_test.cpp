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

// Replaces every "@" in the text with the folder.
std::string At(std::string text, const std::string& folder) {
    for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at)) {
        text.replace(at, 1, folder);
        at += folder.size();
    }
    return text;
}

// Runs kestrel-console in a fresh working directory ("@" in the arguments and the environment
// stands for it; HOME is its folder "home") with the script on its standard input, and returns
// every line it printed, then "saved: " with the settings file found at `settings` below it.
// With localFolder the directory has its own "CommoFiles" folder.
std::vector<std::string> RunConsole(const std::string& arguments, const std::string& script,
                                    bool localFolder = true, const std::string& environment = "",
                                    const std::string& settings = "CommoFiles/CommSetting.csv") {
    char folderPattern[] = "/tmp/kestrel-console-test-XXXXXX";
    const std::string folder = ::mkdtemp(folderPattern);
    std::ofstream(folder + "/script") << script;
    if (localFolder) {
        std::filesystem::create_directory(folder + "/CommoFiles");
    }
    const std::string command = "cd " + folder + " && env -u XDG_DATA_HOME HOME=" + folder +
                                "/home " + At(environment, folder) + " " + KESTREL_CONSOLE_BINARY +
                                " " + At(arguments, folder) + " < script 2>&1";
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
    std::ifstream file(folder + "/" + settings);
    std::stringstream saved;
    saved << file.rdbuf();
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

// Without a "CommoFiles" folder in the working directory the files go to the user's data folder,
// which is made on the way; --files names the folder for one run.
TEST(ConsoleProcess, KeepsItsFilesInTheFolderChosenForTheRun) {
    struct Case {
        bool localFolder;
        const char* arguments;
        const char* environment;
        const char* settings;
    };
    const Case cases[] = {
        {false, "", "", "home/.local/share/kestrel-panel/CommoFiles/CommSetting.csv"},
        {false, "", "XDG_DATA_HOME=@/data", "data/kestrel-panel/CommoFiles/CommSetting.csv"},
        {true, "--files @/station/one", "", "station/one/CommSetting.csv"},
    };
    for (const Case& c : cases) {
        const auto lines = RunConsole(std::string("--simulate ") + c.arguments, "quit\n",
                                      c.localFolder, c.environment, c.settings);
        EXPECT_EQ(lines.back(), "saved: 1,4800,0\n") << c.settings;
    }
    const auto refused = RunConsole("--simulate --files @/script", "quit\n");
    ASSERT_FALSE(refused.empty());
    EXPECT_TRUE(refused[0].starts_with("kestrel-console: cannot use the folder '"))
        << "a --files folder that cannot be made ends the run: " << refused[0];
    EXPECT_EQ(refused.back(), "saved: ") << "nothing is written elsewhere";
}

TEST(ConsoleProcess, RefusesABadCommandLine) {
    const auto lines = RunConsole("--bogus", "");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "kestrel-console: unknown option '--bogus'");
}

}  // namespace
