#include <QDir>
#include <QListWidget>
#include <QWidget>
#include <algorithm>
#include <filesystem>
#include <iterator>
#include <utility>
#include <vector>

#include "e2e/station_fixture.h"
#include "menu_list_test_support.h"
#include "menu_list_window/menu_list_window.h"

namespace kestrel::testing {
namespace {

// The MENU LIST window over the engine and the simulated radio in virtual time.
class MenuListStation : public Station {
  protected:
    void SetUp() override {
        Station::SetUp();
        ASSERT_TRUE(ConnectAndReadAll());
        list = std::make_unique<MenuListWindow>(&parent, closing);
        list->SetFileChooser([this](MenuListWindow::FileAction) { return path; });
        list->SetReporter([this](MenuListWindow::Report kind, const QString& text) {
            reports.push_back({kind, text});
        });
        list->Open();
    }
    void TearDown() override {
        list.reset();
        std::filesystem::remove(path.toStdString());
        Station::TearDown();
    }

    // Picks an entry for a row in its setting dialog, as the operator does.
    void Edit(int row, const QString& entry) {
        list->List()->setCurrentRow(row);
        WhenModal([entry](QWidget* w) {
            ASSERT_NE(qobject_cast<ChoiceDialog*>(w), nullptr);
            ClickEntry(static_cast<ChoiceDialog*>(w), entry);
            ClickButton(w, "OK");
        });
        KeyTo(list->List(), true, Qt::Key_Return);
    }
    // Presses OK (or CANCEL) and returns the "EX" commands that went out in the next half second.
    std::vector<std::string> PressAndSent(const char* button = "ok") {
        const size_t mark = commands.Size();
        ClickButton(list.get(), button);
        rt.RunFor(500);
        std::vector<std::string> sent;
        std::ranges::copy_if(TextsOf(commands.From(mark)), std::back_inserter(sent),
                             [](const std::string& text) { return text.starts_with("EX"); });
        return sent;
    }

    QWidget parent;
    RecordingWindow closing;
    std::unique_ptr<MenuListWindow> list;
    QString path = QDir::temp().filePath(QStringLiteral("station-%1.menu").arg(::getpid()));
    std::vector<std::pair<MenuListWindow::Report, QString>> reports;
};

TEST_F(MenuListStation, OkSendsExactlyTheEditedItemsAndCancelNothing) {
    Edit(0, "320");
    Edit(2, "20");
    EXPECT_TRUE(PressAndSent("cancel").empty());
    EXPECT_EQ(closing.SentOf(kMsgMenuListClosed).size(), 1u);
    list->Open();
    Edit(0, "320");
    Edit(1, "720");
    Edit(1, "700");  // item 2 changed and changed back
    Edit(72, "1.850");
    Edit(15, "270");
    EXPECT_EQ(PressAndSent(), (std::vector<std::string>{"EX0010320;", "EX016241;", "EX07301850;"}));
    EXPECT_EQ(closing.SentOf(kMsgMenuListClosed).size(), 2u);

    // Reopened, the beacon time reads 270 seconds from the radio's report, and choosing 270 in
    // the dialog again is no change.
    list->Open();
    EXPECT_TRUE(list->List()->item(15)->text().endsWith(" 270sec"));
    Edit(15, "270");
    EXPECT_EQ(list->Items()[15].edited, 0);
    EXPECT_TRUE(PressAndSent().empty());
}

TEST_F(MenuListStation, SaveChangeOnTheRadioCompareAndLoadBack) {
    list->SaveSettings();
    ASSERT_TRUE(reports.empty());
    radio->Apply("EX0010500;");
    radio->Apply("EX07301900;");
    ASSERT_TRUE(rt.RunUntil([] { return Store("EX073") == "1900"; }, 1000));
    list->Open();

    list->CompareSettings();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].first, MenuListWindow::Report::Comparison);
    const QStringList lines = reports[0].second.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << reports[0].second.toStdString();
    EXPECT_EQ(lines[2].simplified(), "001 FAST DELAY 300msec 500msec");
    EXPECT_EQ(lines[3].simplified(), "073 FIX 1.8MHz 1.800MHz 1.900MHz");

    list->LoadSettings();
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_TRUE(list->List()->item(0)->text().endsWith(" 300msec"));
    EXPECT_TRUE(list->List()->item(72)->text().endsWith(" 1.800MHz"));
    EXPECT_EQ(PressAndSent(), (std::vector<std::string>{"EX0010300;", "EX07301800;"}));
}

}  // namespace
}  // namespace kestrel::testing
