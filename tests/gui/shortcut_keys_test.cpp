#include "window/shortcut_keys.h"

#include <QKeyEvent>
#include <fstream>
#include <tuple>

#include "options/vfo_set_dlg.h"
#include "panel_test_fixture.h"
#include "platform/paths.h"
#include "platform/timer_numbers.h"

namespace kestrel::testing {
namespace {

class ShortcutKeysTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        client->Shortcuts().SetCommandSink(
            [this](std::string_view command) { commands.emplace_back(command); });
    }
    // Writes the shortcut file, line 0 first.
    void WriteFile(const std::vector<std::string>& lines) {
        std::ofstream out(dir.path + "/CommoFiles/TRNKSDEF.txt", std::ios::trunc);
        for (const auto& line : lines) {
            out << line << "\r\n";
        }
    }
    // Presses a key on the main window as the keyboard would; reports whether it was consumed.
    bool Key(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent event(QEvent::KeyPress, qtKey, modifiers);
        return client->OnKeyPress(&event);
    }
    // A file whose line n holds "LN<n>;".
    static std::vector<std::string> NumberedLines() {
        std::vector<std::string> lines;
        for (int i = 0; i < 46; ++i) {
            lines.push_back("L" + std::to_string(i) + ";");
        }
        return lines;
    }

    WorkingFolder dir;
    std::vector<std::string> commands;
};

TEST_F(ShortcutKeysTest, EveryKeySendsItsLine) {
    WriteFile(NumberedLines());
    const std::tuple<int, Qt::KeyboardModifiers, int> cases[] = {
        {Qt::Key_F2, Qt::NoModifier, 0},
        {Qt::Key_F9, Qt::NoModifier, 7},
        {Qt::Key_F11, Qt::NoModifier, 8},
        {Qt::Key_F12, Qt::NoModifier, 9},
        {Qt::Key_PageUp, Qt::NoModifier, 42},
        {Qt::Key_PageDown, Qt::NoModifier, 43},
        {Qt::Key_Home, Qt::NoModifier, 44},
        {Qt::Key_End, Qt::NoModifier, 45},
        {Qt::Key_F1, Qt::ShiftModifier, 10},
        {Qt::Key_F12, Qt::ShiftModifier, 20},
        {Qt::Key_F1, Qt::ControlModifier, 21},
        {Qt::Key_F11, Qt::ControlModifier, 30},
        {Qt::Key_F1, Qt::AltModifier, 32},
        {Qt::Key_F5, Qt::AltModifier, 35},
        {Qt::Key_F10, Qt::AltModifier, 39},
        {Qt::Key_F12, Qt::AltModifier, 41},
        // Shift wins over Ctrl, Ctrl over Alt.
        {Qt::Key_F2, Qt::ShiftModifier | Qt::ControlModifier, 11},
        {Qt::Key_F2, Qt::ControlModifier | Qt::AltModifier, 22},
        {Qt::Key_F12, Qt::ControlModifier, 31},
        // Keys outside the tables are not consumed.
        {Qt::Key_F10, Qt::NoModifier, -1},
        {Qt::Key_F10, Qt::ShiftModifier, -1},
        {Qt::Key_F4, Qt::AltModifier, -1},
        {Qt::Key_F6, Qt::AltModifier, -1},
        {Qt::Key_Home, Qt::ShiftModifier, -1},
        {Qt::Key_Escape, Qt::NoModifier, -1},
        {Qt::Key_A, Qt::NoModifier, -1},
    };
    for (const auto& [key, modifiers, line] : cases) {
        commands.clear();
        EXPECT_EQ(Key(key, modifiers), line >= 0) << line;
        EXPECT_EQ(commands, line < 0 ? std::vector<std::string>{}
                                     : std::vector<std::string>{"L" + std::to_string(line) + ";"})
            << line;
        Tick(kTimerShortcut);
    }
}

TEST_F(ShortcutKeysTest, PlainF1OpensTheEntryWindowOnlyWhenNotBusy) {
    WriteFile(NumberedLines());
    EXPECT_TRUE(Key(Qt::Key_F1));
    EXPECT_TRUE(controller().WindowOpen(kMsgEntryClosed));
    EXPECT_TRUE(commands.empty());
    controller().EntryWindow().reject();
    controller().OnMenuCommand(kMenuCw);
    EXPECT_TRUE(Key(Qt::Key_F1));  // consumed, but the CW window keeps the panel busy
    EXPECT_FALSE(controller().WindowOpen(kMsgEntryClosed));
}

TEST_F(ShortcutKeysTest, TwoCommandsOnALineGoOutTwoMillisecondsPerCharacterApart) {
    auto lines = NumberedLines();
    lines[0] = "FA14250000;MD02;";
    WriteFile(lines);
    EXPECT_TRUE(Key(Qt::Key_F2));
    EXPECT_TRUE(Key(Qt::Key_F3)) << "a key while a line is sending is taken and does nothing";
    EXPECT_EQ(commands, (std::vector<std::string>{"FA14250000;"}));
    EXPECT_EQ(window.Timer(kTimerShortcut), 22);
    Tick(kTimerShortcut);
    EXPECT_EQ(commands, (std::vector<std::string>{"FA14250000;", "MD02;"}));
    EXPECT_EQ(window.Timer(kTimerShortcut), 10);
    Tick(kTimerShortcut);
    EXPECT_FALSE(window.Timer(kTimerShortcut));
    EXPECT_EQ(commands.size(), 2u);
}

TEST_F(ShortcutKeysTest, MissingFileEmptyLineAndUnfinishedTailSendNothingMore) {
    EXPECT_TRUE(Key(Qt::Key_F2));  // no file yet: consumed, nothing sent
    WriteFile({"", "MX1;MX0"});
    EXPECT_TRUE(Key(Qt::Key_F2));  // empty line
    EXPECT_TRUE(Key(Qt::Key_F3));
    Tick(kTimerShortcut);
    EXPECT_EQ(commands, (std::vector<std::string>{"MX1;"}));
    EXPECT_FALSE(client->Shortcuts().Sending());
    WriteFile({"FA00014000;"});  // the file is read again at every key
    Key(Qt::Key_F2);
    EXPECT_EQ(commands, (std::vector<std::string>{"MX1;", "FA00014000;"}));
}

TEST_F(ShortcutKeysTest, LongLinesAreCutAndOnlyFortySixLinesAreRead) {
    auto lines = NumberedLines();
    lines[0] = std::string(254, 'A') + ";B;";  // the ";" at 255 is cut off with "B;"
    lines.push_back("EXTRA;");
    WriteFile(lines);
    std::array<std::string, CShortcutKeys::kLineCount> read;
    ASSERT_TRUE(ReadShortcutFile(CommoFilePath("TRNKSDEF.txt"), read));
    EXPECT_EQ(read[0].size(), 255u);
    EXPECT_TRUE(Key(Qt::Key_F2));
    EXPECT_EQ(commands, (std::vector<std::string>{std::string(254, 'A') + ";"}));
}

}  // namespace
}  // namespace kestrel::testing
