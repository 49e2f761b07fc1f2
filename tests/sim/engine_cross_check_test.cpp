// The simulated radio and the engine must agree on every answer: whatever the radio says to a
// read the program makes, the engine's analysis must take.
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

class EngineCrossCheck : public SimTest {
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

    // Hands one answer, as framed (without its ";"), to the engine's parser.
    static bool EngineTakes(const std::string& answer) {
        const AnswerBuffer buffer(std::string_view(answer).substr(0, answer.size() - 1));
        if (answer.starts_with("EX")) {
            uint32_t extra = 0;
            return ParseMenuAnswer(buffer, &extra);
        }
        const int row = FindAnalysedRow(answer[0], answer[1]);
        return row >= 0 && ParseAnswer(row, buffer);
    }

    std::unique_ptr<HeadlessMainWindow> window;
};

TEST_F(EngineCrossCheck, EveryAnswerToAProgramReadIsTaken) {
    Make();
    SetField(Field::AI, 1);  // the voice-memory lamps are analysed only while connected
    for (const std::string& read : kProgramReads) {
        const std::string answer = radio->AnswerTo(read);
        ASSERT_EQ(SplitAnswers(answer).size(), 1u) << read << " -> " << answer;
        EXPECT_EQ(answer.substr(0, 2), read.substr(0, 2)) << read;
        EXPECT_TRUE(EngineTakes(answer)) << read << " -> " << answer;
    }
    EXPECT_EQ(GetField(Field::FA), radio->State().fa);
    EXPECT_EQ(GetField(Field::IDX), 1);
}

TEST_F(EngineCrossCheck, EveryMenuAnswerIsStoredInBothFirmwareModes) {
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
        }
    }
}

TEST_F(EngineCrossCheck, ReportsAfterSetsAreTaken) {
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
