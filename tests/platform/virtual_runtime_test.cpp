#include "platform/virtual_runtime.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/headless_main_window.h"
#include "platform/real_runtime.h"

namespace kestrel {
namespace {

class VirtualRuntimeTest : public ::testing::Test {
  protected:
    void SetUp() override { SetRuntime(&runtime); }
    void TearDown() override { SetRuntime(nullptr); }
    VirtualRuntime runtime;
};

// Posts are handled in order, one at a time, only when the driver runs the scheduler; a handler's
// sleep lets other loops and timers run, and a post made meanwhile waits for the handler to end.
// A timer fires at its period until cancelled.
TEST_F(VirtualRuntimeTest, LoopsHandlePostsInOrderAndASleepLetsOthersRun) {
    std::vector<std::string> trace;
    const auto note = [&](const std::string& what, uint32_t id) {
        trace.push_back(what + std::to_string(id) + "@" + std::to_string(runtime.NowMs()));
    };
    auto sleeper = runtime.StartLoop("sleeper", [&](const Message& m) {
        note("begin", m.id);
        if (m.id == 1) {
            runtime.SleepMs(100);
        }
        note("end", m.id);
    });
    auto other = runtime.StartLoop("other", [&](const Message& m) { note("other", m.id); });
    const TimerId timer = runtime.StartTimer(30, [&] { other->Post({7, 0, 0}); });
    sleeper->Post({1, 0, 0});
    sleeper->Post({2, 0, 0});
    runtime.CallAfter(10, [&] { sleeper->Post({3, 0, 0}); });
    EXPECT_TRUE(trace.empty());
    runtime.RunFor(100);
    EXPECT_EQ(trace, (std::vector<std::string>{"begin1@0", "other7@30", "other7@60", "other7@90",
                                               "end1@100", "begin2@100", "end2@100", "begin3@100",
                                               "end3@100"}));
    runtime.CancelTimer(timer);
    runtime.RunFor(100);
    EXPECT_EQ(trace.size(), 9u) << "a cancelled timer fires no more";
}

// A stop posts once and waits 100 ms a post, 52 posts at most.
TEST_F(VirtualRuntimeTest, StopWorkerEndsAnIdleLoopAfterOnePostAndGivesUpOnAStuckOne) {
    auto idle = runtime.StartLoop("w", [](const Message&) {});
    int64_t before = runtime.NowMs();
    EXPECT_TRUE(StopWorker(idle.get()));
    EXPECT_FALSE(idle->IsRunning());
    EXPECT_EQ(runtime.NowMs() - before, 100);
    EXPECT_FALSE(idle->Post({1, 0, 0}));
    auto stuck = runtime.StartLoop("stuck", [&](const Message&) { runtime.SleepMs(1'000'000); });
    stuck->Post({1, 0, 0});
    runtime.RunFor(1);
    before = runtime.NowMs();
    EXPECT_FALSE(StopWorker(stuck.get()));
    EXPECT_EQ(runtime.NowMs() - before, 52 * 100);
}

TEST_F(VirtualRuntimeTest, PacedLoopTicksAmongItsPostsWithoutPilingUpUntilItStops) {
    std::vector<std::string> trace;
    auto loop = runtime.StartPacedLoop("paced", 5, {9, 0, 0}, [&](const Message& m) {
        trace.push_back(std::to_string(m.id) + "@" + std::to_string(runtime.NowMs()));
        if (m.id == 1) {
            runtime.SleepMs(12);
        }
    });
    runtime.CallAfter(7, [&] { loop->Post({1, 0, 0}); });
    runtime.RunFor(30);
    EXPECT_EQ(trace, (std::vector<std::string>{"9@5", "1@7", "9@19", "9@20", "9@25", "9@30"}));
    EXPECT_TRUE(StopWorker(loop.get()));
    const size_t handled = trace.size();
    runtime.RunFor(100);
    EXPECT_EQ(trace.size(), handled);
}

TEST_F(VirtualRuntimeTest, WaitReturnsWhenSetOrAfterTimeOut) {
    auto signal = runtime.MakeSignal();
    std::vector<std::string> trace;
    auto waiter = runtime.StartLoop("waiter", [&](const Message& m) {
        const bool set = runtime.Wait(*signal, m.id == 1 ? 500 : 40);
        trace.push_back(std::to_string(m.id) + (set ? " set@" : " timeout@") +
                        std::to_string(runtime.NowMs()));
    });
    waiter->Post({2, 0, 0});
    runtime.RunFor(100);
    waiter->Post({1, 0, 0});
    runtime.CallAfter(20, [&] { signal->Set(); });
    runtime.RunFor(100);
    EXPECT_EQ(trace, (std::vector<std::string>{"2 timeout@40", "1 set@120"}));
}

TEST_F(VirtualRuntimeTest, RuntimeDestructionEndsSuspendedHandlers) {
    auto* scoped = new VirtualRuntime;
    SetRuntime(scoped);
    auto loop = scoped->StartLoop("w", [&](const Message&) { scoped->SleepMs(10'000); });
    loop->Post({1, 0, 0});
    scoped->RunFor(1);
    delete scoped;  // must neither hang nor crash
    SetRuntime(&runtime);
}

TEST_F(VirtualRuntimeTest, HeadlessWindowTimerTicksDoNotPileUpWhileTheWindowIsBusy) {
    int ticks = 0;
    HeadlessMainWindow window([&](const Message& m) -> int64_t {
        if (m.id == kMsgTimer) {
            ++ticks;
            runtime.SleepMs(100);
        }
        return 0;
    });
    window.SetTimer(3, 5);
    runtime.RunFor(1000);
    EXPECT_NEAR(ticks, 9.5, 0.5);
}

// A send from a worker waits for the window's result; a close releases a pending one with 0.
TEST_F(VirtualRuntimeTest, HeadlessWindowSendWaitsForTheResultAndCloseReleasesItAndRefusesNewOnes) {
    HeadlessMainWindow window([&](const Message& m) -> int64_t {
        if (m.id == 9) {
            runtime.SleepMs(10'000);
        }
        return m.wParam * 2;
    });
    int64_t result = -1;
    int64_t returnedAt = -1;
    auto worker = runtime.StartLoop("w", [&](const Message&) {
        result = window.SendMessage(1, 21, 0);
        returnedAt = runtime.NowMs();
    });
    worker->Post({1, 0, 0});
    runtime.RunFor(1);
    EXPECT_EQ(result, 42);
    window.PostMessage(9, 0, 0);  // keeps the window busy
    worker->Post({1, 0, 0});
    runtime.RunFor(50);
    window.Close();
    runtime.RunFor(1);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(returnedAt, 51);
    EXPECT_EQ(window.SendMessage(1, 0, 0), 0);
    EXPECT_FALSE(window.PostMessage(1, 0, 0));
}

// The callback is held inside its run until the cancel has begun and then takes a while longer;
// CancelTimer must not return before it ends, nor let it start again.
TEST(RealRuntime, CancelWaitsForARunningCallbackAndNoneStartsAfter) {
    RealRuntime runtime;
    auto entered = runtime.MakeSignal();
    auto cancelling = runtime.MakeSignal();
    std::atomic<int> runs{0};
    std::atomic<bool> inside{false};
    TimerId id = runtime.StartTimer(1, [&] {
        inside = true;
        entered->Set();
        runtime.Wait(*cancelling, 5000);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        ++runs;
        inside = false;
    });
    ASSERT_TRUE(runtime.Wait(*entered, 5000));
    cancelling->Set();
    runtime.CancelTimer(id);
    EXPECT_FALSE(inside) << "the callback still ran after CancelTimer returned";
    const int after = runs;
    runtime.SleepMs(20);
    EXPECT_EQ(runs, after);
}

TEST(RealRuntime, CallbackMayCancelItsOwnTimer) {
    RealRuntime runtime;
    auto done = runtime.MakeSignal();
    std::atomic<TimerId> self{0};
    std::atomic<int> runs{0};
    auto started = runtime.MakeSignal();
    self = runtime.StartTimer(1, [&] {
        runtime.Wait(*started, 5000);
        ++runs;
        runtime.CancelTimer(self);
        done->Set();
    });
    started->Set();
    ASSERT_TRUE(runtime.Wait(*done, 5000));
    runtime.SleepMs(10);
    EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace kestrel
