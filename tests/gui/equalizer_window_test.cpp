// The equalizer window on screen: its values and graph, the buttons by real mouse events, the
// files through the window, and its timers and held buttons when it goes away.
#include "options/equalizer_window.h"

#include <fstream>
#include <string>
#include <vector>

#include "equalizer/equalizer_curves.h"
#include "equalizer/equalizer_tables.h"
#include "option_test_support.h"
#include "options/hold_button.h"
#include "panel_test_fixture.h"
#include "protocol/radio_state.h"
#include "window/panel_messages.h"

namespace kestrel::testing {
namespace {

class EqualizerWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetRadioState();
        LoadMenuCatalogue();
        StoreReady.store(1);
        eq = std::make_unique<EqualizerWindow>(nullptr, window);
        eq->SetCommandSink([this](std::string_view text) {
            sent.emplace_back(text);
            return true;
        });
        eq->SetBoxRunner([this](int id) { boxes.push_back(id); });
        eq->SetFileChooser([this](bool, const QString&) { return chosen; });
    }
    void TearDown() override {
        eq.reset();
        StoreReady.store(0);
        ResetRadioState();
    }

    RecordingWindow window;
    std::unique_ptr<EqualizerWindow> eq;
    std::vector<std::string> sent;
    std::vector<int> boxes;
    QString chosen;
};

TEST_F(EqualizerWindowTest, OfflineButtonsChangeOnlyWhatIsShownAndDrawTheActiveBandLast) {
    eq->SetMode(1);
    eq->Open();
    EXPECT_EQ(eq->windowTitle(), "P-Prmtrc");
    EXPECT_FALSE(eq->Session().Online());
    const EqualizerValues opened = eq->Session().Values();
    ClickOn(eq->Button(6));  // band 2 frequency up
    ClickOn(eq->Button(6));
    ClickOn(eq->Button(12));  // band 2 level up
    const EqualizerValues& now = eq->Session().Values();
    EXPECT_EQ(now[3], opened[3] + 2);
    EXPECT_EQ(eq->ValueText(2, EqParam::Frequency),
              QString::fromStdString(FrequencyText(2, now[3])));
    EXPECT_EQ(eq->ValueText(2, EqParam::Level), QString::fromStdString(LevelText(now[4])));
    EXPECT_TRUE(sent.empty());

    // Band 2's peak is drawn in its colour, over the sum curve and the other bands.
    const auto centre = CentreOfIndex(2, now[3]);
    ASSERT_TRUE(centre.has_value());
    const int x = static_cast<int>(FrequencyToX(*centre));
    const Rgb blue = CurveColour(EqualizerCurve::Band2);
    bool found = false;
    for (int y = 0; y < kGraphHeight && !found; ++y) {
        found = eq->Graph().Picture().pixelColor(x, y) == QColor(blue.red, blue.green, blue.blue);
    }
    EXPECT_TRUE(found);
    eq->Destroy();
}

TEST_F(EqualizerWindowTest, OnlineStepSendsSetAndReadOfTheFirstFamily) {
    SetField(Field::AI, 1);
    SetField(Field::IDX, 0);
    eq->SetMode(0);
    eq->Open();
    ASSERT_TRUE(eq->Session().Online());
    sent.clear();
    LeftButton(eq->Button(17), true);  // band 1 bandwidth down
    ASSERT_GE(sent.size(), 2u);
    EXPECT_TRUE(sent[0].starts_with("EX093")) << sent[0];
    EXPECT_EQ(sent[1], "EX093;");
    // Hiding the window while the button is held lets it go: nothing repeats afterwards.
    eq->Destroy();
    EXPECT_FALSE(eq->Button(17)->IsHeld());
    EXPECT_FALSE(eq->Button(17)->IsRepeating());
}

TEST_F(EqualizerWindowTest, FilesLoadAllOrNothingAndAFailedSaveIsReported) {
    eq->SetMode(0);
    eq->Open();
    const WorkingFolder folder;
    std::ofstream(folder.path + "/bad.pef") << "0,0,10\n650,-5,3\n2000,7,1\n";
    std::ofstream(folder.path + "/good.pef") << "0,0,10\n1000,-5,3\n2000,7,1\n";

    const EqualizerValues before = eq->Session().Values();
    chosen = QString::fromStdString(folder.path + "/bad.pef");
    ClickOn(eq->Button(kEqualizerFileLoad));
    EXPECT_EQ(boxes, std::vector<int>{104});
    EXPECT_EQ(eq->Session().Values(), before);

    chosen = QString::fromStdString(folder.path + "/good.pef");
    ClickOn(eq->Button(kEqualizerFileLoad));
    const EqualizerValues loaded{0, 0, 10, 4, -5, 3, 6, 7, 1};
    EXPECT_EQ(eq->Session().Values(), loaded);
    EXPECT_EQ(eq->ValueText(1, EqParam::Frequency), "OFF");
    EXPECT_EQ(eq->ValueText(2, EqParam::Frequency), "1000 Hz");

    chosen = QString::fromStdString(folder.path + "/no-such-folder/x.pef");
    ClickOn(eq->Button(kEqualizerFileSave));
    EXPECT_EQ(boxes, (std::vector<int>{104, 120}));

    ClickOn(eq->Button(kEqualizerExit));
    EXPECT_EQ(window.sent.back().id, kMsgEqualizerClosed);
}

}  // namespace
}  // namespace kestrel::testing
