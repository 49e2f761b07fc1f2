#include "platform/real_runtime.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace kestrel {
namespace {

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
