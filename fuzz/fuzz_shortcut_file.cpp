// Writes arbitrary bytes as the shortcut file "TRNKSDEF.txt" and presses every shortcut key:
// each line is read within its length, and every command sent is a whole command ending in ";"
// taken in order from the line of the key pressed.
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/paths.h"
#include "window/shortcut_keys.h"

namespace kestrel {
namespace {

void Fail(const char* what) {
    std::fprintf(stderr, "shortcut invariant broken: %s\n", what);
    std::abort();
}

// A main window that only keeps the shortcut timer.
class TimerWindow final : public MainWindow {
  public:
    bool PostMessage(uint32_t, uint64_t, int64_t) override { return true; }
    int64_t SendMessage(uint32_t, uint64_t, int64_t) override { return 0; }
    void SetTimer(int, int64_t) override { timerSet = true; }
    void KillTimer(int) override { timerSet = false; }
    uint8_t WindowWaiting() const override { return 0; }
    void SetWindowWaiting(uint8_t) override {}
    uint8_t ReadingRunning() const override { return 0; }
    void SetReadingRunning(uint8_t) override {}
    bool timerSet = false;
};

const std::string& FilePath() {
    static const std::string path = [] {
        char pattern[] = "/tmp/kestrel-fuzz-XXXXXX";
        const std::string dir = ::mkdtemp(pattern);
        ::mkdir((dir + "/CommoFiles").c_str(), 0700);
        SetWorkingDirectoryBase(dir);
        return dir + "/CommoFiles/TRNKSDEF.txt";
    }();
    return path;
}

}  // namespace
}  // namespace kestrel

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestrel;
    if (FILE* file = std::fopen(FilePath().c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    std::array<std::string, CShortcutKeys::kLineCount> lines;
    ReadShortcutFile(FilePath(), lines);
    for (const std::string& line : lines) {
        if (line.size() > CShortcutKeys::kLineLength) {
            Fail("line longer than its limit");
        }
    }
    TimerWindow window;
    std::string sent;
    CShortcutKeys keys(
        window, [] { return false; }, [] {});
    keys.SetCommandSink([&](std::string_view command) {
        if (command.empty() || command.back() != ';' || command.find(';') != command.size() - 1) {
            Fail("a command that is not one whole command");
        }
        sent.append(command);
    });
    for (const ShortcutKeyTable& table : ShortcutKeyTables) {
        for (const ShortcutEntry& entry : table.entries) {
            sent.clear();
            keys.OnKeyDown(entry.key, table.modifier);
            for (size_t ticks = 0; window.timerSet && ticks <= CShortcutKeys::kLineLength;
                 ++ticks) {
                keys.OnTimer();
            }
            if (window.timerSet) {
                Fail("a line that never ends sending");
            }
            const std::string& line = lines[static_cast<size_t>(entry.line)];
            if (line.compare(0, sent.size(), sent) != 0) {
                Fail("commands that are not the start of the key's line");
            }
        }
    }
    return 0;
}
