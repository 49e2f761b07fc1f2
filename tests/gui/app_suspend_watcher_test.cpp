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
    ASSERT_EQ(window.sent.size(), 2u);
    EXPECT_EQ(window.sent[0].id, kMsgPowerBroadcast);
    EXPECT_EQ(window.sent[0].wParam, kPowerSuspend);
    EXPECT_EQ(window.sent[1].id, kMsgPowerBroadcast);
    EXPECT_EQ(window.sent[1].wParam, kPowerResumeSuspend);
}

}  // namespace
}  // namespace kestrel::testing
