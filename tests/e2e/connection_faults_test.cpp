// What happens to a connection when the transceiver falls silent, is switched off and on, is
// operated from its own front panel, or loses its cable.
#include <algorithm>
#include <string>
#include <vector>

#include "connection_line.h"
#include "engine/anl_send_thread.h"
#include "engine/engine_lifecycle.h"
#include "engine/engine_timers.h"
#include "platform/startup_messages.h"
#include "protocol/notifications.h"
#include "protocol/radio_state.h"
#include "protocol/requests.h"
#include "serial/serial_port.h"
#include "station_fixture.h"

namespace kestrel {
namespace {

class ConnectedStation : public Station {
  protected:
    void SetUp() override {
        Station::SetUp();
        if (!HasFatalFailure()) {
            ASSERT_TRUE(ConnectAndReadAll());
            rt.RunFor(300);
        }
    }
    // Asks to connect and returns the first commands written, once the initial read has begun.
    TextList ReconnectStart(size_t count) {
        const size_t before = commands.Size();
        EXPECT_TRUE(PostRequest(kReqConnect, 0, 0));
        EXPECT_TRUE(rt.RunUntil(
            [&] { return std::ranges::count(TextsOf(commands.From(before)), "RT;") > 0; }, 2000));
        TextList sent = TextsOf(commands.From(before));
        sent.resize(std::min(sent.size(), count));
        return sent;
    }
};

// A quit that comes while the heartbeat waits between its "PS;" and its "AI;": the "AI;" still
// reaches the send queue as the workers stop, and must not open the port again.
TEST_F(ConnectedStation, NothingReopensThePortOnceShutdownHasClosedIt) {
    const size_t before = commands.Size();
    ASSERT_TRUE(DispatchEngineTimer(kTimerHeartbeat));
    ASSERT_TRUE(rt.RunUntil(
        [&] { return std::ranges::count(TextsOf(commands.From(before)), "PS;") == 1; }, 100));
    const size_t closedAt = commands.Size();
    StopEngine();
    rt.RunFor(1000);
    EXPECT_EQ(TextsOf(commands.From(closedAt)), TextList{});
    EXPECT_FALSE(TheSerialPort().IsOpen());
}

TEST_F(ConnectedStation, SilenceEndsTheConnectionThreeSecondsAfterTheLastAnswer) {
    radio->StartFault(SimFault::Silence);
    const int64_t silentFrom = Now();
    const int64_t lastAnswerMs = WindowSince(0).back().atMs;
    ASSERT_TRUE(RunUntilOneMore(kNotifyAI, 5000))
        << "the AI display learns that the connection is over";
    const int64_t aiOff = WindowOf(kNotifyAI, silentFrom).at(0).atMs;
    EXPECT_GE(aiOff - lastAnswerMs, 3000);
    EXPECT_LE(aiOff - lastAnswerMs, 3010);
    EXPECT_EQ(GetMirror(Mirror::AI), 0);

    // With the connection over the heartbeat sends nothing, and no further loss is declared.
    const size_t idleMark = commands.Size();
    rt.RunFor(3500);
    EXPECT_EQ(TextsOf(commands.From(idleMark)), TextList{});
    EXPECT_EQ(WindowOf(kNotifyAI, aiOff + 1).size(), 0u);

    // The operator connects again once the radio answers.
    radio->StopFault(SimFault::Silence);
    EXPECT_EQ(ReconnectStart(4), (TextList{"AI1;", "AI;", "ID;", "ID0747;"}));
}

TEST_F(ConnectedStation, PowerRequestSwitchesOffAndOnAndReconnects) {
    const size_t offMark = commands.Size();
    ASSERT_TRUE(PostRequest(kReqPower, 0, 0));
    rt.RunFor(200);  // two power reads and no third before the heartbeat's
    const std::vector<LineText> off = commands.From(offMark);
    ASSERT_EQ(TextsOf(off), (TextList{"PS0;", "PS;", "PS;"}));
    EXPECT_EQ((std::vector{off[1].atMs - off[0].atMs, off[2].atMs - off[0].atMs}),
              (std::vector<int64_t>{50, 100}));
    EXPECT_EQ(Store("PS"), "0");
    rt.RunFor(1000);

    const int64_t onMs = Now();
    const size_t onMark = commands.Size();
    ASSERT_TRUE(PostRequest(kReqPower, 0, 0));
    ASSERT_TRUE(RunUntilOnLine(onMs, 15000));
    const std::vector<LineText> on = commands.From(onMark);
    ASSERT_GE(on.size(), 2u);
    EXPECT_EQ((std::vector{on[0].text, on[1].text}), (TextList{"PS1;", "PS1;"}));
    EXPECT_EQ((std::vector{on[0].atMs - onMs, on[1].atMs - onMs}), (std::vector<int64_t>{0, 800}));
    // The radio reports power on while the request still waits; the connect follows it, and
    // the power read of timer 23 goes out among the connection's commands.
    const AlignedLine aligned = AlignConnection(std::vector<LineText>(on.begin() + 2, on.end()));
    ASSERT_FALSE(aligned.matched.empty());
    EXPECT_EQ(aligned.matched.front().atMs - onMs, 1600);
    EXPECT_TRUE(std::any_of(aligned.heartbeats.begin(), aligned.heartbeats.end(),
                            [&](const LineText& read) { return read.atMs == onMs + 2100; }))
        << "one power read 500 ms after the second wait";
    EXPECT_EQ(Store("PS") + Store("AI"), "11");
}

TEST_F(ConnectedStation, BriefCablePullIsBridgedByTheNextSendReopeningThePort) {
    const int64_t pulledMs = Now();
    radio->StartFault(SimFault::Unplug, 500);
    rt.RunFor(100);
    EXPECT_FALSE(TheSerialPort().IsOpen()) << "the receive step noticed the vanished device";
    rt.RunFor(2400);
    // The heartbeat's sends cannot open the port while the cable is out and say so; the first
    // send after the replug opens it, and the open tells the radio to keep reporting.
    EXPECT_TRUE(TheSerialPort().IsOpen());
    const std::vector<WindowEvent> failures = WindowOf(kMsgStartupFailure, pulledMs);
    ASSERT_FALSE(failures.empty());
    EXPECT_LT(failures.back().atMs, pulledMs + 500);
    EXPECT_EQ(StartupMessageToShow(failures[0].message.wParam, failures[0].message.lParam, false),
              106);
    const std::vector<LineText> afterPull = commands.Since(pulledMs);
    ASSERT_FALSE(afterPull.empty());
    EXPECT_GE(afterPull.front().atMs - pulledMs, 500) << "nothing is written while unplugged";
    EXPECT_EQ(afterPull.front().text, "AI1;");

    // The outage was shorter than the watchdog, so the connection holds and reports flow again.
    EXPECT_EQ(GetMirror(Mirror::AI), 1);
    // A turn of the radio's dial reaches the store and the window within one report on a
    // 4800-baud line and one receive tick, with no read.
    const int64_t turnMs = Now();
    radio->TurnMainDial(-40);
    ASSERT_TRUE(RunUntilOneMore(kNotifyFA, 200));
    EXPECT_LE(WindowOf(kNotifyFA, turnMs).at(0).atMs - turnMs, 40);
    EXPECT_EQ(Store("FA"), std::to_string(radio->State().fa));
    EXPECT_TRUE(commands.Since(turnMs).empty() ||
                TextsOf(commands.Since(turnMs)) == (TextList{"PS;", "AI;"}));
}

TEST_F(ConnectedStation, LongCablePullEndsTheConnectionAndTheOperatorReconnects) {
    const int64_t pulledMs = Now();
    radio->StartFault(SimFault::Unplug, 4000);
    ASSERT_TRUE(RunUntilOneMore(kNotifyAI, 4000))
        << "the watchdog finds the port closed and declares the link lost";
    EXPECT_EQ(GetMirror(Mirror::AI), 0);
    EXPECT_LE(Now() - pulledMs, 3010);
    rt.RunFor(1500);
    EXPECT_FALSE(TheSerialPort().IsOpen()) << "without a connection nothing opens the port";
    EXPECT_TRUE(commands.Since(pulledMs).empty());

    EXPECT_EQ(ReconnectStart(5), (TextList{"AI0;", "AI1;", "AI;", "ID;", "ID0747;"}))
        << "the connect opens the port first";
    EXPECT_TRUE(TheSerialPort().IsOpen());
    EXPECT_EQ(GetMirror(Mirror::AI), 1);
}

}  // namespace
}  // namespace kestrel
