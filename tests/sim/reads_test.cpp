#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/answer_parsers.h"
#include "menulist/menu_catalogue.h"
#include "platform/headless_main_window.h"
#include "protocol/radio_state.h"
#include "sim/transceiver.h"
#include "sim_fixture.h"

namespace kestrel {
namespace {

// The simulated radio, with the engine's store, menu catalogue and a main window for what its
// parsers report.
class Reads : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        window = std::make_unique<HeadlessMainWindow>([](const Message&) -> int64_t { return 0; });
        SetMainWindow(window.get());
        ResetRadioState();
        LoadMenuCatalogue();
    }
    void TearDown() override {
        SetMainWindow(nullptr);
        window.reset();
        SimTest::TearDown();
    }
    std::unique_ptr<HeadlessMainWindow> window;
};

TEST_F(Reads, IdentificationAnswersModelAndExtendedNumberUnlessOlderFirmware) {
    Make({.answerExtendedId = true, .extendedId = 42});
    EXPECT_EQ(Ask("ID;"), "ID0310;");
    EXPECT_EQ(Ask("ID0747;"), "ID0747042;");
    Make({.answerExtendedId = false});
    EXPECT_EQ(Ask("ID;"), "ID0310;");
    EXPECT_EQ(Ask("ID0747;"), "");
}

TEST_F(Reads, UnknownAndMalformedCommandsAnswerQuestionMark) {
    Make();
    for (const char* bad : {"ZZ;", "FA123;", "fa;", "NA2;", "KM6;", "EX000;", "EX119;", "EX01;",
                            "PE300;", "RI9;", "MD0Z;", "FA00000001;", ";"}) {
        EXPECT_EQ(Ask(bad), "?;") << bad;
    }
}

TEST_F(Reads, MenuAnswersCarryValueWidthAndEncoding) {
    Make();
    EXPECT_EQ(Ask("EX001;"), "EX0010300;");
    EXPECT_EQ(Ask("EX036;"), "EX0361000;");
    EXPECT_EQ(Ask("EX069;"), "EX069-15;");
    EXPECT_EQ(Ask("EX090;"), "EX0901111111111110;");
    EXPECT_EQ(Ask("EX092;"), "EX092+05;");
    EXPECT_EQ(Ask("EX094;"), "EX09400;");
}

TEST_F(Reads, OlderFirmwareNarrowsTheMiddleEqualizerFrequenciesWhileAutoInfoIsOn) {
    Make({.answerExtendedId = false});
    EXPECT_EQ(Ask("EX094;"), "EX09400;");
    Ask("AI1;");
    EXPECT_EQ(Ask("EX094;"), "EX0940;");
    EXPECT_EQ(Ask("EX103;"), "EX1032;");
    EXPECT_EQ(Ask("EX091;"), "EX09100;");  // the first frequency keeps its width
}

// The simulated radio and the engine must agree on every answer: whatever the radio says to a
// read the program makes, the engine's analysis must take.
// Hands one answer, as framed (without its ";"), to the engine's parser.
bool EngineTakes(const std::string& answer) {
    const AnswerBuffer buffer(std::string_view(answer).substr(0, answer.size() - 1));
    uint32_t extra = 0;
    const int row = FindAnalysedRow(answer[0], answer[1]);
    return answer.starts_with("EX") ? ParseMenuAnswer(buffer, &extra)
                                    : row >= 0 && ParseAnswer(row, buffer);
}

TEST_F(Reads, EveryAnswerToAProgramReadIsTaken) {
    Make();
    SetField(Field::AI, 1);  // the voice-memory lamps are analysed only while connected
    std::vector<std::string> reads = kProgramReads;
    // and the reads of what the radio reports by itself: the other meters, the lamps, playback
    reads.insert(reads.end(), {"RM1;", "RM3;", "RM4;", "RM5;", "RM6;", "BG2;", "LM1;", "PB1;"});
    for (const std::string& read : reads) {
        const std::string answer = radio->AnswerTo(read);
        ASSERT_EQ(SplitAnswers(answer).size(), 1u) << read << " -> " << answer;
        EXPECT_EQ(answer.substr(0, 2), read.substr(0, 2)) << read;
        EXPECT_TRUE(EngineTakes(answer)) << read << " -> " << answer;
    }
    EXPECT_EQ(GetField(Field::FA), radio->State().fa);
    EXPECT_EQ(GetField(Field::IDX), 1);
}

TEST_F(Reads, EveryMenuAnswerIsStoredInBothFirmwareModes) {
    for (const bool extendedId : {true, false}) {
        SimOptions options;
        options.answerExtendedId = extendedId;
        options.extendedId = extendedId ? 1 : 0;
        Make(options);
        SetField(Field::IDX, options.extendedId);
        for (int item = 1; item <= GetMenuItemCount(); ++item) {
            // A value no answer carries, so that taking the answer always changes it.
            ReplaceMenuItemValue(item, 99999);
            char read[16];
            std::snprintf(read, sizeof read, "EX%03d;", item);
            const std::string answer = radio->AnswerTo(read);
            EXPECT_TRUE(EngineTakes(answer)) << read << " -> " << answer;
            EXPECT_EQ(answer.size(), 6 + CatalogueMenuItem(item).width) << answer;
        }
    }
}

TEST_F(Reads, ReportsAfterSetsAreTaken) {
    Make();
    for (const char* set : {"AI1;", "FA14250000;", "MD03;", "SQ0120;", "RA01;", "KS025;", "PC050;",
                            "AI1;", "RT1;", "IS0+0500;", "SH015;", "RL010;"}) {
        const std::string answers = Ask(set);
        for (const std::string& answer : SplitAnswers(answers)) {
            EXPECT_TRUE(EngineTakes(answer)) << set << " -> " << answer;
        }
    }
    EXPECT_EQ(GetField(Field::FA), 14250000);
    EXPECT_EQ(GetField(Field::MD0), 3);
}

}  // namespace
}  // namespace kestrel
