#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
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

// kestrel-console run with --simulate in a fresh folder, fed one line at a time; the test
// waits on the lines it prints, not on the clock.
class InteractiveConsole {
  public:
    InteractiveConsole() {
        char folderPattern[] = "/tmp/kestrel-console-test-XXXXXX";
        folder_ = ::mkdtemp(folderPattern);
        std::filesystem::create_directory(folder_ + "/CommoFiles");
        int toChild[2];
        int fromChild[2];
        if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(toChild[0], 0);
            ::dup2(fromChild[1], 1);
            ::dup2(fromChild[1], 2);
            if (::chdir(folder_.c_str()) == 0) {
                // A console that never prints what the test waits for ends its output in time.
                ::execlp("timeout", "timeout", "20", KESTREL_CONSOLE_BINARY, "--simulate", nullptr);
            }
            ::_exit(127);
        }
        ::close(toChild[0]);
        ::close(fromChild[1]);
        in_ = ::fdopen(toChild[1], "w");
        out_ = ::fdopen(fromChild[0], "r");
    }
    ~InteractiveConsole() {
        if (in_ != nullptr) {
            std::fclose(in_);
        }
        while (out_ != nullptr && std::fgets(buffer_, sizeof buffer_, out_) != nullptr) {
        }
        if (out_ != nullptr) {
            std::fclose(out_);
        }
        if (pid_ > 0) {
            ::waitpid(pid_, nullptr, 0);
        }
        std::filesystem::remove_all(folder_);
    }
    void Send(const std::string& line) {
        std::fputs((line + "\n").c_str(), in_);
        std::fflush(in_);
    }
    // Reads printed lines until one equals `wanted`; false when the output ends first.
    bool WaitFor(const std::string& wanted) {
        while (out_ != nullptr && std::fgets(buffer_, sizeof buffer_, out_) != nullptr) {
            lines.emplace_back(buffer_, std::strcspn(buffer_, "\n"));
            if (lines.back() == wanted) {
                return true;
            }
        }
        return false;
    }

    std::vector<std::string> lines;

  private:
    std::string folder_;
    pid_t pid_ = -1;
    FILE* in_ = nullptr;
    FILE* out_ = nullptr;
    char buffer_[4096];
};

TEST(ConsoleProcess, ConnectsToTheBuiltInRadioAndAnswersQueries) {
    InteractiveConsole console;
    ASSERT_TRUE(console.WaitFor("ready")) << "a first start without a settings file shows no box";
    console.Send("post 1");
    ASSERT_TRUE(console.WaitFor("notify 0x8344")) << "the identification answer is reported";
    console.Send("get ID");
    ASSERT_TRUE(console.WaitFor("ID=310"));
    console.Send("raw FA14250000;");
    ASSERT_TRUE(console.WaitFor("notify 0x8333")) << "the frequency answer is reported";
    console.Send("get FA");
    console.Send("get BOGUS");
    ASSERT_TRUE(console.WaitFor("error: unknown field 'BOGUS'"));
    EXPECT_TRUE(Contains(console.lines, "FA=14250000"));
    console.Send("quit");
}

TEST(ConsoleProcess, TracesTheLineAndEndsAtTheEndOfInput) {
    const auto lines = RunConsole("--simulate --trace", "");
    ASSERT_GE(lines.size(), 2u);
    EXPECT_TRUE(Contains(lines, "tx AI0;")) << "opening the port writes the AI state";
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
