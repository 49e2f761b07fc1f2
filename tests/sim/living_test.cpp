#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "sim/operator_console.h"
#include "sim_fixture.h"

namespace kestrel {
namespace {

class Living : public SimTest {
  protected:
    Transceiver& Started(SimOptions options = {}) {
        Make(options);
        radio->Start();
        return *radio;
    }
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
    const auto reports = SplitAnswers(sink.Take());
    for (const char* meter : {"SM0", "RM0"}) {
        EXPECT_GE(std::count_if(reports.begin(), reports.end(),
                                [&](const std::string& r) { return r.starts_with(meter); }),
                  3)
            << meter;
    }
}

TEST_F(Living, TransmittingShowsPowerOnTheUpperMeter) {
    Started();
    Ask("PC100;MX1;");
    rt.RunFor(500);
    const int po = std::stoi(Ask("RM0;").substr(3, 3));
    EXPECT_GT(po, 150);
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

TEST_F(Living, NoiseSendsBytesAtItsRate) {
    Started();
    radio->StartFault(SimFault::Noise, 100.0);
    rt.RunFor(1000);
    const size_t noise = sink.Take().size();
    EXPECT_GE(noise, 95u);
    EXPECT_LE(noise, 105u);
    radio->StopFault(SimFault::Noise);
    rt.RunFor(1000);
    EXPECT_EQ(sink.Take(), "");
}

TEST_F(Living, LostBytesThinTheAnswers) {
    Started({.seed = 7});
    radio->StartFault(SimFault::LostBytes, 0.5);
    std::string all;
    for (int i = 0; i < 100; ++i) {
        all += Ask("FA;");
    }
    EXPECT_GT(all.size(), 300u);
    EXPECT_LT(all.size(), 800u);  // 1100 bytes without the fault
}

TEST_F(Living, MalformedAnswersAreOneCharacterShort) {
    Started();
    radio->StartFault(SimFault::Malformed, 1.0);
    EXPECT_EQ(Ask("FA;").size(), 10u);
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
