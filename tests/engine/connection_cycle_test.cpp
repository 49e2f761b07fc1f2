#include <algorithm>

#include "protocol/control_mirror.h"
#include "request_test_fixture.h"

namespace kestrel {
namespace {

using TextList = std::vector<std::string>;

class ConnectionCycleTest : public RequestThreadTest {
  protected:
    // Returns the virtual time at which the command was first sent.
    int64_t TimeOf(const std::string& text) const {
        const auto found = std::find_if(sent.begin(), sent.end(),
                                        [&](const SentCommand& c) { return c.text == text; });
        EXPECT_NE(found, sent.end()) << text << " was not sent";
        return found == sent.end() ? -1 : found->atMs;
    }

    // Returns the texts sent after the first `text`.
    TextList TextsAfter(const std::string& text) const {
        const TextList all = Texts();
        auto found = std::find(all.begin(), all.end(), text);
        return found == all.end() ? TextList{} : TextList(found + 1, all.end());
    }
};

TEST_F(ConnectionCycleTest, StepsQueuedDuringTheEqualizerReadsDoNotRestartTheRead) {
    SetMenuItemCount(3);
    PostStartInitialRead();
    runtime.RunFor(6000);
    EXPECT_EQ(TextsAfter("KC0;"), (TextList{"EX001;", "EX002;", "EX003;"}));
    EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                            [](const SentCommand& c) { return c.text == "RT;"; }),
              1);
    EXPECT_FALSE(window->HasTimer(kTimerInitialRead));
    EXPECT_FALSE(window->HasTimer(kTimerMenuRead));
}

TEST_F(ConnectionCycleTest, MenuStepsQueuedBehindALongRequestDoNotReadAgain) {
    SetMenuItemCount(3);
    SetMirror(Mirror::PS, 0);
    PostStartMenuRead();
    runtime.RunFor(10);
    PostRequest(2, 0, 0);  // 1600 ms of waits while timer 5 keeps ticking
    runtime.RunFor(4000);
    EXPECT_EQ(Texts(), (TextList{"PS1;", "PS1;", "EX001;", "EX002;", "EX003;", "PS;"}));
}

TEST_F(ConnectionCycleTest, MenuReadReadsEveryItemThenNotifiesTheWindow) {
    PostStartMenuRead();
    runtime.RunFor(1);
    EXPECT_EQ(window->ReadingRunning(), 1);
    const int64_t start = runtime.NowMs() - 1;
    runtime.RunFor(118 * 30 + 500);
    ASSERT_EQ(sent.size(), 118u);
    for (int item = 1; item <= 118; ++item) {
        char expected[8];
        std::snprintf(expected, sizeof expected, "EX%03d;", item);
        EXPECT_EQ(sent[item - 1].text, expected);
        EXPECT_EQ(sent[item - 1].atMs, start + 30 * item) << expected;
    }
    EXPECT_EQ(WindowIds(), (std::vector<uint32_t>{0x834D, 0x8307}));
    EXPECT_EQ(window->ReadingRunning(), 0);
    EXPECT_FALSE(window->HasTimer(kTimerMenuRead));
}

TEST_F(ConnectionCycleTest, EndOfTheMenuReadClosesAWaitingReadingWindowFirst) {
    SetMenuItemCount(1);
    window->SetWindowWaiting(1);
    PostStartMenuRead();
    runtime.RunFor(500);
    ASSERT_EQ(WindowIds(), (std::vector<uint32_t>{0x8803, 0x834D, 0x8307}));
    EXPECT_EQ(windowMessages[0].atMs - TimeOf("EX001;"), 100);
}

TEST_F(ConnectionCycleTest, StartingARunningInitialReadRestartsItWithoutASecondTimer) {
    PostStartInitialRead();
    runtime.RunFor(100);
    ASSERT_EQ(Texts(), (TextList{"RT;", "XT;"}));
    PostStartInitialRead();
    runtime.RunFor(100);
    // Ticks at 120 (row 0, nothing), 150 (RT) and 180 (XT): the pace stays one row per tick.
    EXPECT_EQ(Texts(), (TextList{"RT;", "XT;", "RT;", "XT;"}));
    EXPECT_EQ(sent[2].atMs - sent[1].atMs, 60);
    EXPECT_EQ(sent[3].atMs - sent[2].atMs, 30);
}

TEST_F(ConnectionCycleTest, StopWhileNothingReadsOnlyStopsTheKeyerReads) {
    PostRequest(146, 0, 0);
    runtime.RunFor(40);
    PostStopReads();
    runtime.RunFor(500);
    EXPECT_EQ(Texts(), (TextList{"KM1;"}));
    EXPECT_TRUE(windowMessages.empty());
    EXPECT_FALSE(window->HasTimer(kTimerKeyerRead));
    EXPECT_EQ(keyerReadSlot.load(), 1);
}

TEST_F(ConnectionCycleTest, StopEndsTheInitialReadWithoutAMenuRead) {
    PostStartInitialRead();
    runtime.RunFor(100);
    EXPECT_EQ(window->ReadingRunning(), 1);
    PostStopReads();
    runtime.RunFor(3000);
    EXPECT_EQ(Texts(), (TextList{"RT;", "XT;"}));
    EXPECT_EQ(window->ReadingRunning(), 0);
    EXPECT_FALSE(window->HasTimer(kTimerInitialRead));
}

TEST_F(ConnectionCycleTest, StopEndsTheMenuReadWithoutItsNotifications) {
    PostStartMenuRead();
    runtime.RunFor(100);
    PostStopReads();
    runtime.RunFor(1000);
    EXPECT_EQ(Texts(), (TextList{"EX001;", "EX002;", "EX003;"}));
    EXPECT_TRUE(windowMessages.empty());
    EXPECT_EQ(window->ReadingRunning(), 0);
}

TEST_F(ConnectionCycleTest, IdentificationProbeWaitsAfterEachCommand) {
    PostIdentProbe();
    PostRequest(35, 0, 0);
    runtime.RunFor(100);
    ASSERT_EQ(Texts(), (TextList{"ID;", "ID0747;", "LK1;"}));
    EXPECT_EQ(sent[1].atMs - sent[0].atMs, 25);
    EXPECT_EQ(sent[2].atMs - sent[0].atMs, 50);
}

TEST_F(ConnectionCycleTest, EngineTimersReachTheirWorkers) {
    for (int timer : {1, 2, 3, 6, 7, 11, 13, 14, 15, 18, 19, 22, 30, 31}) {
        EXPECT_FALSE(DispatchEngineTimer(timer)) << timer;
    }
    EXPECT_TRUE(DispatchEngineTimer(kTimerRotatorRead));
    runtime.RunFor(1);
    EXPECT_TRUE(sent.empty()) << "no rotator read while the port is closed";
    ASSERT_TRUE(TheSerialPort().Open(GetMirror(Mirror::AI) != 0));
    EXPECT_TRUE(DispatchEngineTimer(kTimerRotatorRead));
    runtime.RunFor(1);
    EXPECT_EQ(Texts(), (TextList{"RO;"}));
}

TEST_F(ConnectionCycleTest, RequestThreadRunsTheHeartbeatTimerUntilItStops) {
    EXPECT_TRUE(window->HasTimer(kTimerHeartbeat));
    StopRequestThread();
    EXPECT_FALSE(window->HasTimer(kTimerHeartbeat));
    EXPECT_FALSE(PostRequest(35, 0, 0));
}

}  // namespace
}  // namespace kestrel
