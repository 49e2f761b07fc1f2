#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "protocol/cat_catalogue.h"
#include "sim_fixture.h"

namespace kestrel {
namespace {

// Set commands that change a value away from the radio's start-up state, with the read that
// shows it: every command with a layout of its own, and of the simple one-value commands (one
// table-driven path) one of each width, selector count, hex value and lower limit.
// clang-format off
const std::tuple<const char*, const char*, const char*> kSets[] = {  // set, read, what the read returns afterwards
    {"BS03;",        "FA;",    "FA07000000;"},
    {"RT1;",         "RT;",    "RT1;"},
    {"BP00001;",     "BP00;",  "BP00001;"},
    {"BP01123;",     "BP01;",  "BP01123;"},
    {"CO0002;",      "CO00;",  "CO0002;"},
    {"CO0125;",      "CO01;",  "CO0125;"},
    {"RF02;",        "RF0;",   "RF02;"},
    {"GT14;",        "GT1;",   "GT14;"},
    {"AN02;",        "AN0;",   "AN020;"},
    {"AC001;",       "AC;",    "AC001;"},
    {"ML0001;",      "ML0;",   "ML0001;"},
    {"ML1200;",      "ML1;",   "ML1200;"},
    {"KP12;",        "KP;",    "KP12;"},
    {"KS035;",       "KS;",    "KS035;"},
    {"SD1500;",      "SD;",    "SD1500;"},
    {"SQ1100;",      "SQ1;",   "SQ1100;"},
    {"VF1100;",      "VF1;",   "VF111280;"},
    {"IS0-0250;",    "IS0;",   "IS0-0250;"},
    {"RL015;",       "RL0;",   "RL015;"},
    {"FA07012345;",  "FA;",    "FA07012345;"},
    {"RO4;",         "RO;",    "RO0180052;"},
    {"TX2;",         "TX;",    "TX2;"},
    {"AI1;",         "AI;",    "AI1;"},
    {"KM3HELLO WORLD;", "KM3;", "KM3HELLO WORLD                                       ;"},
    {"PB03;",        "PB0;",   "PB03;"},
    {"MD0A;",        "MD0;",   "MD0A;"},
    {"AB;",          "FB;",    "FB14195000;"},
    {"BD0;",         "FA;",    "FA10100000;"},
    {"BU0;",         "FA;",    "FA18068000;"},
    {"CH0;",         "MC;",    "MC002;"},
    {"ED003;",       "FA;",    "FA14194700;"},
    {"EU005;",       "FA;",    "FA14195500;"},
    {"EU205;",       "IF;",    "IF00114195000+005000200120;"},
    {"KY1;",         "TX;",    "TX1;"},
    {"QS;",          "FB;",    "FB14200000;"},
    {"RD0120;",      "IF;",    "IF00114195000-012000200120;"},
    {"RU0300;",      "IF;",    "IF00114195000+030000200120;"},
    {"SV;",          "FA;",    "FA07050000;"},
    {"VM;",          "IF;",    "IF00101800000+000000110120;"},
    {"LM02;",        "LM0;",   "LM02;"},
    {"LM11;",        "LM1;",   "LM11;"},
    {"IF04221000000-005011301172;", "IF;", "IF04221000000-005011301172;"},
    {"OI00107000000+000000100120;", "OI;", "OI00107000000+000000100120;"},
    {"KC031;",       "KC0;",   "KC03;"},
    {"EX00511;",     "EX005;", "EX00511;"},
    {"EX092-20;",    "PE001;", "PE001-20;"},
    {"PE222005;",    "EX108;", "EX10805;"},
    {"EX111050;",    "PC;",    "PC050;"},
};
// clang-format on

class Sets : public SimTest {};

// With auto-information on, the set reports the read's new answer once, among its reports.
TEST_F(Sets, EverySetChangesWhatItsReadReturnsAndIsReportedOnce) {
    for (const auto& [set, read, answer] : kSets) {
        SCOPED_TRACE(set);
        const bool autoInfo = std::string(set, 2) == "AI";
        Make();
        EXPECT_NE(Ask(read), answer) << "starts changed already";
        EXPECT_EQ(Ask(set), autoInfo ? "AI1;" : "");
        EXPECT_EQ(Ask(read), answer);
        Make();
        radio->Apply("AI1;");
        const auto reported = SplitAnswers(Ask(set));
        EXPECT_EQ(std::count(reported.begin(), reported.end(), answer), autoInfo ? 0 : 1);
    }
}

// Steps on one radio: a memory and the quick memory keep and recall, a clear ends the offset, a
// locked dial ignores the encoder but not a direct entry.
TEST_F(Sets, SequencesKeepRecallAndLock) {
    Make();
    // clang-format off
    const std::tuple<const char*, const char*, const char*> steps[] = {  // commands, read, answer
        {"MC007;FA03777000;AM;FA07100000;MA;", "FA;", "FA03777000;"},
        {"QI;FA21200000;QR;",                  "FA;", "FA03777000;"},
        {"RU0500;RC;",                         "IF;", "IF00703777000+000000200120;"},
        {"LK1;EU010;",                         "FA;", "FA03777000;"},
        {"FA14000000;",                        "FA;", "FA14000000;"},
    };
    // clang-format on
    for (const auto& [commands, read, answer] : steps) {
        Ask(commands);
        EXPECT_EQ(Ask(read), answer) << commands;
    }
}

TEST_F(Sets, OutOfRangeAndMisshapenSetsAnswerQuestionMarkAndChangeNothing) {
    Make();
    for (const char* bad :
         {"FA00029999;", "FA60000001;", "KS070;",    "SD0020;", "PC004;",  "MD0D;",      "AN03;",
          "AC003;",      "IS0*0010;",   "IS0+1001;", "KM6ABC;", "KM1abc;", "EX0050;",    "EX00516;",
          "EX0361001;",  "RO5;",        "TX3;",      "BS12;",   "VF0900;", "PE3000000;", "CT13;"}) {
        EXPECT_EQ(Ask(bad), "?;") << bad;
    }
    EXPECT_EQ(Ask("FA;"), "FA14195000;");
    EXPECT_EQ(Ask("KS;"), "KS020;");
}

TEST_F(Sets, ProgramsShortEqualizerFrequencyFieldIsTaken) {
    Make({.answerExtendedId = false});
    Ask("AI1;");
    // Taken, and reported both as the menu item and as the equalizer value it is.
    EXPECT_EQ(Ask("EX0947;"), "PE010007;EX0947;");
    EXPECT_EQ(Ask("EX094;"), "EX0947;");
    EXPECT_EQ(Ask("EX0915;"), "PE000005;EX09105;");
    EXPECT_EQ(Ask("EX091;"), "EX09105;");
}

TEST_F(Sets, ChangeIsReportedOnceAndOnlyWhileOn) {
    Make();
    EXPECT_EQ(Ask("LK1;"), "");
    EXPECT_EQ(Ask("AI1;"), "AI1;");
    EXPECT_EQ(Ask("LK0;"), "LK0;");
    EXPECT_EQ(Ask("LK0;"), "");  // no change, no report
    EXPECT_EQ(Ask("AI0;"), "");
    EXPECT_EQ(Ask("LK1;"), "");
}

TEST_F(Sets, FrontPanelActionsAreReported) {
    Make();
    radio->Apply("AI1;");
    sink.Take();
    radio->TurnMainDial(-3);
    EXPECT_EQ(SplitAnswers(sink.Take()).front(), "FA14194700;");
    EXPECT_TRUE(radio->PressKey("MOX"));
    const std::string reports = sink.Take();
    EXPECT_NE(reports.find("MX1;"), std::string::npos);
    EXPECT_NE(reports.find("TX1;"), std::string::npos);
    EXPECT_NE(reports.find("RI51;"), std::string::npos);
    EXPECT_FALSE(radio->PressKey("NO-SUCH-KEY"));
}

}  // namespace
}  // namespace kestrel
