#include <algorithm>

#include "engine_fixtures.h"

namespace kestrel {
namespace {

using ConnectionCycleTest = RequestThreadTest;

TEST_F(ConnectionCycleTest, StepsQueuedDuringTheEqualizerReadsDoNotRestartTheRead) {
    SetMenuItemCount(3);
    PostStartInitialRead();
    runtime.RunFor(6000);
    const TextList texts = Texts();
    const auto kc = std::find(texts.begin(), texts.end(), "KC0;");
    EXPECT_EQ(TextList(kc + (kc != texts.end()), texts.end()),
              (TextList{"EX001;", "EX002;", "EX003;"}));
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "RT;"), 1);
    EXPECT_FALSE(window->HasTimer(kTimerInitialRead) || window->HasTimer(kTimerMenuRead));
}

TEST_F(ConnectionCycleTest, EndOfTheMenuReadClosesAWaitingReadingWindowFirst) {
    SetMenuItemCount(1);
    window->SetWindowWaiting(1);
    PostStartMenuRead();
    runtime.RunFor(500);
    ASSERT_EQ(windowMessages.size(), 3u);
    EXPECT_EQ((Ids{windowMessages[0].id, windowMessages[1].id, windowMessages[2].id}),
              (Ids{0x8803, 0x834D, 0x8307}));
    ASSERT_EQ(Texts(), TextList{"EX001;"});
    EXPECT_EQ(windowMessages[0].atMs - sent[0].atMs, 100);
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

// A stop ends the keyer reads, or either read at once: no further reads, no menu read after the
// initial one, none of the end-of-read notifications.
TEST_F(ConnectionCycleTest, StopEndsTheKeyerReadsOrEitherReadWithoutItsSequel) {
    const struct {
        bool (*start)();
        TextList texts;
        int timer;
    } cases[] = {{[] { return PostRequest(146, 0, 0); }, {"KM1;"}, kTimerKeyerRead},
                 {PostStartInitialRead, {"RT;", "XT;"}, kTimerInitialRead},
                 {PostStartMenuRead, {"EX001;", "EX002;", "EX003;"}, kTimerMenuRead}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.timer);
        sent.clear();
        c.start();
        runtime.RunFor(c.timer == kTimerKeyerRead ? 40 : 100);
        EXPECT_EQ(window->ReadingRunning(), c.timer == kTimerKeyerRead ? 0 : 1);
        PostStopReads();
        runtime.RunFor(3000);
        EXPECT_EQ(Texts(), c.texts);
        EXPECT_FALSE(!windowMessages.empty() || window->ReadingRunning() != 0 ||
                     window->HasTimer(c.timer));
    }
    EXPECT_EQ(keyerReadSlot.load(), 1);
}

TEST_F(ConnectionCycleTest, EngineTimersReachTheirWorkersWhileTheRequestThreadRuns) {
    for (int timer : {1, 2, 3, 6, 7, 11, 13, 14, 15, 18, 19, 22, 30, 31}) {
        EXPECT_FALSE(DispatchEngineTimer(timer)) << timer;
    }
    ASSERT_TRUE(TheSerialPort().Open(GetMirror(Mirror::AI) != 0));
    EXPECT_TRUE(DispatchEngineTimer(kTimerRotatorRead));
    runtime.RunFor(1);
    EXPECT_EQ(Texts(), (TextList{"RO;"}));

    // The request thread runs the heartbeat timer until it stops.
    EXPECT_TRUE(window->HasTimer(kTimerHeartbeat));
    StopRequestThread();
    EXPECT_FALSE(window->HasTimer(kTimerHeartbeat));
    EXPECT_FALSE(PostRequest(35, 0, 0));
}

}  // namespace
}  // namespace kestrel
