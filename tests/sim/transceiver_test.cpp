#include "sim/transceiver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <ranges>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "engine/answer_parsers.h"
#include "menulist/menu_catalogue.h"
#include "platform/headless_main_window.h"
#include "platform/runtime.h"
#include "platform/virtual_runtime.h"
#include "protocol/radio_state.h"
#include "sim/byte_sink.h"
#include "sim/operator_console.h"
#include "support/initial_read.h"

namespace kestrel {
namespace {

// Collects what the simulated radio puts on the line.
class CaptureSink final : public ByteSink {
  public:
    void Send(std::string_view bytes) override { text.append(bytes); }
    // Returns and forgets everything captured so far.
    std::string Take() { return std::exchange(text, std::string()); }
    std::string text;
};

// Cuts captured line text into answers at each ";" (the ";" kept).
inline std::vector<std::string> SplitAnswers(const std::string& text) {
    std::vector<std::string> answers;
    for (size_t start = 0, end; (end = text.find(';', start)) != std::string::npos;
         start = end + 1) {
        answers.push_back(text.substr(start, end - start + 1));
    }
    return answers;
}

// A simulated radio in virtual time with its line captured.
class SimTest : public ::testing::Test {
  protected:
    void SetUp() override { SetRuntime(&rt); }
    void TearDown() override {
        radio.reset();
        SetRuntime(nullptr);
    }
    // Makes the radio (not started: nothing happens by itself until Start).
    Transceiver& Make(SimOptions options = {}) {
        radio = std::make_unique<Transceiver>(sink, options);
        return *radio;
    }
    // Sends commands and returns what the radio answered at once.
    std::string Ask(std::string_view commands) {
        sink.Take();
        radio->Receive(commands);
        return sink.Take();
    }

    VirtualRuntime rt;
    CaptureSink sink;
    std::unique_ptr<Transceiver> radio;
};

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

// Exchanges on one radio each; a row with a radio number starts a new radio of that kind
// (0: current firmware answering its extended number 42, 1: older firmware).
TEST_F(SimTest, ExchangesAnswerAsTheFirmwareDoes) {
    // clang-format off
    const std::tuple<int, const char*, const char*> steps[] = {  // new radio, commands, answer
        {0, "ID;", "ID0310;"}, {-1, "ID0747;", "ID0747042;"},
        {1, "ID;", "ID0310;"}, {-1, "ID0747;", ""},
        {0, "EX001;", "EX0010300;"}, {-1, "EX036;", "EX0361000;"}, {-1, "EX069;", "EX069-15;"},
        {-1, "EX090;", "EX0901111111111110;"}, {-1, "EX092;", "EX092+05;"}, {-1, "EX094;", "EX09400;"},
        // Older firmware narrows the middle equalizer frequencies while auto-information is on.
        {1, "EX094;", "EX09400;"}, {-1, "AI1;", "AI1;"}, {-1, "EX094;", "EX0940;"},
        {-1, "EX103;", "EX1032;"}, {-1, "EX091;", "EX09100;"},
        // and takes the short field, reported as the menu item and as the equalizer value.
        {-1, "EX0947;", "PE010007;EX0947;"}, {-1, "EX094;", "EX0947;"},
        {-1, "EX0915;", "PE000005;EX09105;"}, {-1, "EX091;", "EX09105;"},
        // A change is reported once and only while auto-information is on.
        {0, "LK1;", ""}, {-1, "AI1;", "AI1;"}, {-1, "LK0;", "LK0;"}, {-1, "LK0;", ""},
        {-1, "AI0;", ""}, {-1, "LK1;", ""},
    };
    // clang-format on
    for (const auto& [fresh, commands, answer] : steps) {
        if (fresh >= 0) {
            Make({.answerExtendedId = fresh == 0, .extendedId = 42});
        }
        EXPECT_EQ(Ask(commands), answer) << fresh << " " << commands;
    }
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
    // Every read the program makes: the initial read in its order, the second selectors the panel
    // reads, the identification probe, and the reads of what the radio reports by itself.
    std::vector<std::string> reads = ExpectedInitialRead();
    reads.insert(reads.end(), {"AI;",  "MD1;", "SQ1;", "AG1;", "RG1;", "NB1;", "GT1;", "SM1;",
                               "CN1;", "CT1;", "OS1;", "NA1;", "NR1;", "VF1;", "ID;",  "ID0747;",
                               "RM1;", "RM3;", "RM4;", "RM5;", "RM6;", "BG2;", "LM1;", "PB1;"});
    for (const std::string& read : reads) {
        const std::string answer = radio->AnswerTo(read);
        ASSERT_EQ(SplitAnswers(answer).size(), 1u) << read << " -> " << answer;
        EXPECT_EQ(answer.substr(0, 2), read.substr(0, 2)) << read;
        EXPECT_TRUE(EngineTakes(answer)) << read << " -> " << answer;
    }
    EXPECT_EQ(GetField(Field::FA), radio->State().fa);
    EXPECT_EQ(GetField(Field::IDX), 1);
}

TEST_F(Reads, EveryMenuAnswerIsStored) {
    Make();
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
        {"KC031;KC061;KC020;",                 "KC0;", "KC03;"},  // 6 has no lamp; 2 was not lit
        {"KC030;",                             "KC0;", "KC00;"},
    };
    // clang-format on
    for (const auto& [commands, read, answer] : steps) {
        Ask(commands);
        EXPECT_EQ(Ask(read), answer) << commands;
    }
}

TEST_F(Sets, UnknownOutOfRangeAndMisshapenCommandsAnswerQuestionMarkAndChangeNothing) {
    Make();
    for (const char* bad :
         {"ZZ;",     "FA123;",      "fa;",         "NA2;",       "KM6;",      "EX000;",
          "EX119;",  "EX01;",       "PE300;",      "RI9;",       "MD0Z;",     "FA00000001;",
          ";",       "FA00029999;", "FA60000001;", "KS070;",     "SD0020;",   "PC004;",
          "MD0D;",   "AN03;",       "AC003;",      "IS0*0010;",  "IS0+1001;", "KM6ABC;",
          "KM1abc;", "EX0050;",     "EX00516;",    "EX0361001;", "RO5;",      "TX3;",
          "BS12;",   "VF0900;",     "PE3000000;",  "CT13;"}) {
        EXPECT_EQ(Ask(bad), "?;") << bad;
    }
    EXPECT_EQ(Ask("FA;"), "FA14195000;");
    EXPECT_EQ(Ask("KS;"), "KS020;");
}

TEST_F(Sets, FrontPanelActionsAreReported) {
    Make();
    radio->Apply("AI1;");
    sink.Take();
    radio->TurnMainDial(-3);
    EXPECT_EQ(SplitAnswers(sink.Take()).front(), "FA14194700;");
    EXPECT_TRUE(radio->PressKey("MOX"));
    const std::string reports = sink.Take();
    for (const char* report : {"MX1;", "TX1;", "RI51;"}) {
        EXPECT_NE(reports.find(report), std::string::npos) << report;
    }
    EXPECT_FALSE(radio->PressKey("NO-SUCH-KEY"));

    // A toggle key turns its setting the other way from how the radio starts.
    Make().Apply("AI1;");
    sink.Take();
    ASSERT_TRUE(radio->PressKey("VOX"));
    EXPECT_NE(sink.Take().find("VX1;"), std::string::npos);
}

class Living : public SimTest {
  protected:
    void Started(SimOptions options = {}) { Make(options).Start(); }
};

TEST_F(Living, PowerOffAnswersOnlyPowerAndComesBackAfterItsDelay) {
    Started({.powerOnDelayMs = 1200});
    radio->Apply("AI1;");
    EXPECT_EQ(Ask("PS0;"), "PS0;");
    EXPECT_EQ(Ask("FA;ID;ZZ;"), "");
    EXPECT_EQ(Ask("PS;"), "PS0;");
    Ask("PS1;");
    rt.RunFor(1100);
    EXPECT_EQ(Ask("PS;"), "PS0;");
    rt.RunFor(150);
    EXPECT_NE(sink.Take().find("PS1;"), std::string::npos);  // reported by itself
    EXPECT_EQ(Ask("PS;"), "PS1;");
    EXPECT_EQ(Ask("FA;"), "FA14195000;");
}

TEST_F(Living, MetersAreReportedOnlyWhileAutoInfoIsOn) {
    Started({.meterPeriodMs = 200});
    rt.RunFor(2000);
    EXPECT_EQ(sink.Take(), "");
    radio->Apply("AI1;");
    sink.Take();
    rt.RunFor(2000);
    const std::string reports = sink.Take();
    for (const char* meter : {"SM0", "RM0"}) {
        EXPECT_GE(std::ranges::distance(std::views::split(reports, std::string_view(meter))), 4)
            << meter;
    }
}

TEST_F(Living, TransmittingShowsPowerOnTheUpperMeter) {
    Started();
    Ask("PC100;MX1;");
    rt.RunFor(500);
    EXPECT_GT(std::stoi(Ask("RM0;").substr(3, 3)), 150);
    EXPECT_EQ(Ask("SM0;"), "SM0000;");
    Ask("MX0;");
    rt.RunFor(500);
    EXPECT_EQ(Ask("TX;"), "TX0;");
}

TEST_F(Living, RotatorTurnsAtItsSpeedIsReportedAndStopsAtTheEnd) {
    Started();
    EXPECT_EQ(Ask("RO;"), "RO0180050;");
    radio->Apply("AI1;");
    Ask("RO2;");
    rt.RunFor(2000);
    EXPECT_NE(sink.Take().find("RO2186050;"), std::string::npos);
    rt.RunFor(8000);  // 50 % of 6 degrees a second
    EXPECT_EQ(Ask("RO;"), "RO2210050;");
    Ask("RO0;RO4;RO4;RO4;RO4;RO4;");  // 60 %
    EXPECT_EQ(Ask("RO;"), "RO0210060;");
    Ask("RO1;");
    rt.RunFor(100000);
    EXPECT_EQ(Ask("RO;"), "RO0000060;");
}

TEST_F(Living, VoiceMemoryLampsFollowRecordingAndPlaybackAndEndByThemselves) {
    Started();
    radio->Apply("AI1;");
    EXPECT_NE(Ask("LM02;").find("RI31;"), std::string::npos);
    rt.RunFor(3000);
    EXPECT_NE(Ask("LM00;").find("RI30;"), std::string::npos);
    EXPECT_NE(Ask("PB02;").find("RI41;"), std::string::npos);
    rt.RunFor(2900);
    EXPECT_EQ(Ask("RI4;"), "RI41;");
    rt.RunFor(200);
    EXPECT_NE(sink.Take().find("RI40;"), std::string::npos);
}

// A state that starts at a command and ends by itself after its time.
TEST_F(Living, TimedStatesEndByThemselves) {
    const std::tuple<const char*, const char*, const char*, int64_t, const char*> cases[] = {
        {"KM2CQ TEST;KS020;KY2;", "TX;", "TX1;", 5000, "TX0;"},  // 7 characters at 20 wpm: 3.8 s
        {"AC002;", "AC;", "AC002;", 3000, "AC001;"},             // the tuner cycle ends tuned
        {"LM05;", "RI3;", "RI31;", 21000, "RI30;"},              // a recording stops at 20 s
    };
    for (const auto& [commands, read, during, runMs, after] : cases) {
        Started();
        Ask(commands);
        EXPECT_EQ(Ask(read), during) << commands;
        rt.RunFor(runMs);
        EXPECT_EQ(Ask(read), after) << commands;
    }
}

// Silence and a wrong identification last until the fault is stopped.
TEST_F(Living, FaultsChangeTheAnswersOnlyWhileOn) {
    for (const auto& [fault, ask, during, after] :
         {std::tuple{SimFault::Silence, "FA;", "", "FA14195000;"},
          {SimFault::WrongId, "ID;", "ID0650;", "ID0310;"}}) {
        Started();
        radio->StartFault(fault);
        EXPECT_EQ(Ask(ask), during);
        radio->StopFault(fault);
        EXPECT_EQ(Ask(ask), after);
    }
}

TEST_F(Living, SlowAnswersLeaveLateInOrder) {
    Started();
    radio->StartFault(SimFault::Slow, 300.0);
    EXPECT_EQ(Ask("FA;FB;"), "");
    rt.RunFor(250);
    EXPECT_EQ(sink.Take(), "");
    rt.RunFor(100);
    EXPECT_EQ(sink.Take(), "FA14195000;FB07050000;");
}

// Noise at its rate until stopped, then answers one character short, then answers thinned.
TEST_F(Living, NoiseMalformedAnswersAndLostBytesFollowTheirAmounts) {
    Started({.seed = 7});
    radio->StartFault(SimFault::Noise, 100.0);
    rt.RunFor(1000);
    EXPECT_NEAR(static_cast<double>(sink.Take().size()), 100, 5);
    radio->StopFault(SimFault::Noise);
    rt.RunFor(1000);
    EXPECT_EQ(sink.Take(), "");
    radio->StartFault(SimFault::Malformed, 1.0);
    EXPECT_EQ(Ask("FA;").size(), 10u);
    radio->StopFault(SimFault::Malformed);
    radio->StartFault(SimFault::LostBytes, 0.5);
    std::string all;
    for (int i = 0; i < 100; ++i) {
        all += Ask("FA;");
    }
    EXPECT_NEAR(static_cast<double>(all.size()), 550, 250);  // 1100 bytes without the fault
}

TEST_F(Living, OperatorConsoleDrivesTheRadio) {
    Transceiver& rig = Make();
    OperatorConsole console(rig);
    EXPECT_EQ(console.Execute("dial 5"), "");
    EXPECT_EQ(console.Execute("read FA;"), "FA14195500;\n");
    EXPECT_EQ(console.Execute("key LOCK"), "");
    EXPECT_EQ(rig.State().lk, 1);
    EXPECT_EQ(console.Execute("fault silence"), "");
    EXPECT_TRUE(rig.FaultActive(SimFault::Silence));
    EXPECT_EQ(console.Execute("fault silence off"), "");
    EXPECT_FALSE(rig.FaultActive(SimFault::Silence));
    EXPECT_EQ(console.Execute("power off"), "");
    EXPECT_FALSE(rig.PoweredOn());
    EXPECT_NE(console.Execute("state").find("power off"), std::string::npos);
    EXPECT_NE(console.Execute("fault nonsense").find("no fault"), std::string::npos);
    EXPECT_NE(console.Execute("dial x").find("whole number"), std::string::npos);
    EXPECT_NE(console.Execute("bogus").find("unknown"), std::string::npos);
    console.Execute("quit");
    EXPECT_TRUE(console.QuitRequested());
}

}  // namespace
}  // namespace kestrel
