// The simulated radio and the engine must agree on every answer: whatever the radio says to a
// read the program makes, the engine's analysis must take.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cat/answer_parsers.h"
#include "cat/radio_state.h"
#include "menulist/menu_catalogue.h"
#include "platform/headless_main_window.h"
#include "sim/transceiver.h"
#include "sim_fixture.h"

namespace kestrel {
namespace {

// Every read of the program's initial read, the second selectors the panel reads, and the
// identification probe.
const std::vector<std::string> kProgramReads = {
    "RT;",  "XT;",  "SF;",  "BP00;", "BP01;", "BC0;", "CO00;", "CO01;", "MS;",  "NR0;",
    "FT;",  "FR;",  "LK;",  "FS;",   "VS;",   "NA0;", "NB0;",  "RF0;",  "GT0;", "RA0;",
    "PA0;", "KR;",  "TS;",  "AN0;",  "AC;",   "MX;",  "VX;",   "BI;",   "PR;",  "ML0;",
    "ML1;", "CS;",  "DP;",  "RM0;",  "RM2;",  "KP;",  "KS;",   "SD;",   "NL0;", "MG;",
    "PL;",  "VG;",  "VD;",  "SQ0;",  "AG0;",  "RG0;", "IF;",   "VF0;",  "IS0;", "SH0;",
    "RL0;", "BY;",  "FA;",  "FB;",   "RO;",   "SC;",  "SM0;",  "TX;",   "UL;",  "CN0;",
    "CT0;", "KM1;", "KM2;", "KM3;",  "KM4;",  "KM5;", "MC;",   "OI;",   "OS0;", "PB0;",
    "PC;",  "RS;",  "MD0;", "PS;",   "RI0;",  "RI1;", "RI3;",  "RI4;",  "RI5;", "RI7;",
    "RI8;", "BG0;", "BG1;", "LM0;",  "KC0;",  "MD1;", "SQ1;",  "AG1;",  "RG1;", "NB1;",
    "GT1;", "SM1;", "CN1;", "CT1;",  "OS1;",  "NA1;", "NR1;",  "VF1;",  "ID;",  "ID0747;",
};

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
        char buffer[kAnswerBufferSize] = {};
        std::memcpy(buffer, answer.data(), std::min(answer.size() - 1, sizeof buffer - 1));
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
        ASSERT_FALSE(answer.empty()) << read;
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
            char read[8];
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
