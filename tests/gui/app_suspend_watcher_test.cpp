#include <gtest/gtest.h>

#include "app/power_events.h"
#include "app/suspend_watcher.h"
#include "panel_test_fixture.h"

namespace kestrel::testing {
namespace {

TEST(SuspendWatcher, SleepAndWakeBecomeSuspendAndResumeEventsAndNothingWithoutAWindow) {
    RecordingWindow window;
    SetMainWindow(&window);
    SuspendWatcher watcher;
    watcher.OnPrepareForSleep(true);
    watcher.OnPrepareForSleep(false);
    SetMainWindow(nullptr);
    watcher.OnPrepareForSleep(true);  // must neither crash nor reach the old window
    EXPECT_EQ(window.sent.size(), 2u);
    EXPECT_EQ(window.SentOf(kMsgPowerBroadcast),
              (std::vector<uint64_t>{kPowerSuspend, kPowerResumeSuspend}));
}

}  // namespace
}  // namespace kestrel::testing
