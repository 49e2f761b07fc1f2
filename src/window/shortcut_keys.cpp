#include "window/shortcut_keys.h"

#include <fstream>

#include "engine_api/radio_engine.h"
#include "platform/paths.h"
#include "platform/timer_numbers.h"

namespace kestrel {

namespace {

using K = ShortcutKey;

// clang-format off
constexpr ShortcutEntry kPlain[] = {
    {K::F2, 0}, {K::F3, 1}, {K::F4, 2}, {K::F5, 3}, {K::F6, 4}, {K::F7, 5}, {K::F8, 6},
    {K::F9, 7}, {K::F11, 8}, {K::F12, 9}, {K::PageUp, 42}, {K::PageDown, 43}, {K::Home, 44},
    {K::End, 45},
};
constexpr ShortcutEntry kShift[] = {
    {K::F1, 10}, {K::F2, 11}, {K::F3, 12}, {K::F4, 13}, {K::F5, 14}, {K::F6, 15}, {K::F7, 16},
    {K::F8, 17}, {K::F9, 18}, {K::F11, 19}, {K::F12, 20},
};
constexpr ShortcutEntry kCtrl[] = {
    {K::F1, 21}, {K::F2, 22}, {K::F3, 23}, {K::F4, 24}, {K::F5, 25}, {K::F6, 26}, {K::F7, 27},
    {K::F8, 28}, {K::F9, 29}, {K::F11, 30}, {K::F12, 31},
};
constexpr ShortcutEntry kAlt[] = {
    {K::F1, 32}, {K::F2, 33}, {K::F3, 34}, {K::F5, 35}, {K::F7, 36}, {K::F8, 37}, {K::F9, 38},
    {K::F10, 39}, {K::F11, 40}, {K::F12, 41},
};
// clang-format on

constexpr bool LinesInRange(std::span<const ShortcutEntry> entries) {
    for (const auto& e : entries) {
        if (e.line < 0 || e.line >= CShortcutKeys::kLineCount) {
            return false;
        }
    }
    return true;
}
static_assert(LinesInRange(kPlain) && LinesInRange(kShift) && LinesInRange(kCtrl) &&
              LinesInRange(kAlt));

// The pause after a command before the next one: 2 ms a character.
constexpr int64_t kMsPerCharacter = 2;

// A command the ring refuses is lost, as a key press the radio did not hear; the timer paces
// the next one all the same.
void QueueCommand(std::string_view command) {
    RadioEngine::QueueRaw(command);
}

}  // namespace

const std::array<ShortcutKeyTable, 4> ShortcutKeyTables = {{
    {ShortcutModifier::None, kPlain},
    {ShortcutModifier::Shift, kShift},
    {ShortcutModifier::Ctrl, kCtrl},
    {ShortcutModifier::Alt, kAlt},
}};

int ShortcutLine(ShortcutModifier modifier, ShortcutKey key) {
    for (const auto& table : ShortcutKeyTables) {
        if (table.modifier != modifier) {
            continue;
        }
        for (const auto& entry : table.entries) {
            if (entry.key == key) {
                return entry.line;
            }
        }
    }
    return -1;
}

bool ReadShortcutFile(const std::string& path,
                      std::array<std::string, CShortcutKeys::kLineCount>& lines) {
    for (auto& line : lines) {
        line.clear();
    }
    if (path.empty()) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::string text;
    for (auto& line : lines) {
        if (!std::getline(in, text)) {
            break;
        }
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
        }
        line = text.substr(0, CShortcutKeys::kLineLength);
    }
    return true;
}

CShortcutKeys::CShortcutKeys(MainWindow& window, std::function<bool()> busy,
                             std::function<void()> openEntry)
    : window_(window),
      busy_(std::move(busy)),
      openEntry_(std::move(openEntry)),
      sink_(QueueCommand) {}

void CShortcutKeys::SetCommandSink(CommandSink sink) {
    sink_ = std::move(sink);
}

bool CShortcutKeys::ReadFile() {
    return ReadShortcutFile(CommoFilePath("TRNKSDEF.txt"), lines_);
}

bool CShortcutKeys::OnKeyDown(ShortcutKey key, ShortcutModifier modifier) {
    if (modifier == ShortcutModifier::None && key == ShortcutKey::F1) {
        if (!busy_()) {
            openEntry_();
        }
        return true;
    }
    const int line = ShortcutLine(modifier, key);
    if (line < 0) {
        return false;
    }
    if (remaining_ > 0) {
        return true;
    }
    if (!ReadFile() || lines_[static_cast<size_t>(line)].empty()) {
        return true;
    }
    sending_ = lines_[static_cast<size_t>(line)];
    position_ = 0;
    remaining_ = sending_.size();
    SendNextCommand();
    return true;
}

void CShortcutKeys::OnTimer() {
    window_.KillTimer(kTimerShortcut);
    SendNextCommand();
}

void CShortcutKeys::SendNextCommand() {
    if (remaining_ == 0) {
        return;
    }
    const size_t end = sending_.find(';', position_);
    if (end == std::string::npos) {
        // A tail without its ";" is no command.
        remaining_ = 0;
        return;
    }
    const std::string_view command =
        std::string_view(sending_).substr(position_, end + 1 - position_);
    position_ = end + 1;
    remaining_ = sending_.size() - position_;
    sink_(command);
    window_.SetTimer(kTimerShortcut, kMsPerCharacter * static_cast<int64_t>(command.size()));
}

}  // namespace kestrel
