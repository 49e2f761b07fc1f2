#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "platform/main_window.h"

namespace kestrel {

// The modifier state a shortcut table belongs to.
enum class ShortcutModifier : uint8_t { None, Shift, Ctrl, Alt };

// A key of the keyboard that can carry a shortcut.
enum class ShortcutKey : uint8_t {
    F1,
    F2,
    F3,
    F4,
    F5,
    F6,
    F7,
    F8,
    F9,
    F10,
    F11,
    F12,
    PageUp,
    PageDown,
    Home,
    End,
    Other
};

// One shortcut: a key and the line of the shortcut file it sends.
struct ShortcutEntry {
    ShortcutKey key;
    int line;
};

// One modifier's shortcuts.
struct ShortcutKeyTable {
    ShortcutModifier modifier;
    std::span<const ShortcutEntry> entries;
};

// The four shortcut tables: plain, Shift, Ctrl and Alt.
extern const std::array<ShortcutKeyTable, 4> ShortcutKeyTables;

// Returns the shortcut-file line of a key under a modifier, or -1 when the key is no shortcut.
int ShortcutLine(ShortcutModifier modifier, ShortcutKey key);

// The function keys that send lines of CAT commands from "TRNKSDEF.txt". The file is read again
// at every shortcut key, and a line's commands go out one at a time, timer 31 pacing them at 2 ms
// a character.
class CShortcutKeys {
  public:
    // The lines the shortcut file holds at most.
    static constexpr int kLineCount = 46;
    // The characters a line keeps.
    static constexpr size_t kLineLength = 255;

    // Hands a command to the send side: the engine's raw-command path (RadioEngine::QueueRaw)
    // unless a test sets another.
    using CommandSink = std::function<void(std::string_view command)>;

    // Makes the sender for the main window (which runs timer 31); busy reports whether the panel
    // controller has a window open, openEntry opens the frequency entry window.
    CShortcutKeys(MainWindow& window, std::function<bool()> busy, std::function<void()> openEntry);

    // Replaces where commands go.
    void SetCommandSink(CommandSink sink);
    // Handles a key press with its modifiers and reports whether the key was consumed.
    bool OnKeyDown(ShortcutKey key, ShortcutModifier modifier);
    // Sends the next command of the line when timer 31 fires.
    void OnTimer();
    // Reports whether a line is being sent.
    bool Sending() const { return remaining_ > 0; }

  private:
    bool ReadFile();
    void SendNextCommand();

    MainWindow& window_;
    std::function<bool()> busy_;
    std::function<void()> openEntry_;
    CommandSink sink_;
    std::array<std::string, kLineCount> lines_;
    std::string sending_;
    size_t position_ = 0;
    size_t remaining_ = 0;
};

// Reads up to 46 lines of a shortcut file, each cut to 255 characters; false when it cannot be
// opened.
bool ReadShortcutFile(const std::string& path,
                      std::array<std::string, CShortcutKeys::kLineCount>& lines);

}  // namespace kestrel
