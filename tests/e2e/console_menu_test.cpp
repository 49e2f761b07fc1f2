#include <sstream>
#include <string>

#include "console/console_session.h"
#include "platform/paths.h"
#include "station_fixture.h"

namespace kestrel {
namespace {

// The console's menu commands against the simulated radio.
class ConsoleMenu : public Station {
  protected:
    // Runs one line and returns what it printed.
    std::string Run(const std::string& line) {
        out.str("");
        EXPECT_TRUE(session.HandleLine(line));
        return out.str();
    }
    // Returns the "EX" commands written after a mark, once the request thread has sent them.
    std::vector<std::string> SentSince(size_t mark) {
        rt.RunFor(500);
        std::vector<std::string> sent = TextsOf(commands.From(mark));
        std::erase_if(sent, [](const std::string& text) { return !text.starts_with("EX"); });
        return sent;
    }

    // A menu file in the station's folder, which goes with the station.
    static std::string Path() { return CommoFolderPath() + "/test.menu"; }

    std::ostringstream out;
    ConsoleSession session{out};
};

TEST_F(ConsoleMenu, SaveCompareLoadGetAndSet) {
    ASSERT_TRUE(ConnectAndReadAll());
    EXPECT_EQ(Run("menu save " + Path()), "saved 118\n");
    EXPECT_EQ(Run("menu compare " + Path()), "differences 0\n");
    EXPECT_EQ(Run("menu load " + Path()), "changed 0\n");

    radio->Apply("EX0010500;");
    radio->Apply("EX0900000000000010;");
    ASSERT_TRUE(rt.RunUntil([] { return Store("EX090") == "2"; }, 1000));
    EXPECT_EQ(Run("menu compare " + Path()),
              "differs 001 file=300 radio=500\ndiffers 090 file=8190 radio=2\ndifferences 2\n");
    size_t mark = commands.Size();
    EXPECT_EQ(Run("menu load " + Path()), "changed 2\n");
    EXPECT_EQ(SentSince(mark), (std::vector<std::string>{"EX0010300;", "EX0901111111111110;"}));
    EXPECT_EQ(Run("menu get 1"), "menu 001=300\n");

    mark = commands.Size();
    EXPECT_EQ(Run("menu set 16 241"), "");
    EXPECT_EQ(SentSince(mark), (std::vector<std::string>{"EX016241;"}));
    EXPECT_EQ(Run("menu get 16"), "menu 016=241\n");
}

TEST_F(ConsoleMenu, BadLinesAndFilesPrintAnErrorAndChangeNothing) {
    const std::pair<std::string, std::string> cases[] = {
        {"menu", "error: usage: menu save|load|compare PATH, menu get NNN, menu set NNN V\n"},
        {"menu save", "error: usage: menu save PATH\n"},
        {"menu load " + Path(), "error: the file cannot be read or is too large\n"},
        {"menu save /no/such/folder/x.menu", "error: cannot write /no/such/folder/x.menu\n"},
        {"menu get 119", "error: menu item must be 1 to 118\n"},
        {"menu get 5 6", "error: usage: menu get NNN\n"},
        {"menu set 4", "error: usage: menu set NNN V\n"},
        {"menu set 4 5", "error: item 004 takes 0 to 4\n"},
        {"menu set 90 8192", "error: item 090 takes 0 to 8191\n"},
    };
    const size_t mark = commands.Size();
    for (const auto& [line, printed] : cases) {
        EXPECT_EQ(Run(line), printed) << line;
    }
    EXPECT_TRUE(SentSince(mark).empty());
}

}  // namespace
}  // namespace kestrel
