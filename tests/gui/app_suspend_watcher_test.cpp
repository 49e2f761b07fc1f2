#include <gtest/gtest.h>

#include <vector>

#include "app/power_events.h"
#include "app/suspend_watcher.h"
#include "platform/main_window.h"

namespace kestrel {
namespace {

class RecordingWindow final : public MainWindow {
  public:
    bool PostMessage(uint32_t id, uint64_t wParam, int64_t) override {
        posted.push_back({id, wParam});
        return true;
    }
    int64_t SendMessage(uint32_t, uint64_t, int64_t) override { return 0; }
    void SetTimer(int, int64_t) override {}
    void KillTimer(int) override {}
    uint8_t WindowWaiting() const override { return 0; }
    void SetWindowWaiting(uint8_t) override {}
    uint8_t ReadingRunning() const override { return 0; }
    void SetReadingRunning(uint8_t) override {}
    std::vector<std::pair<uint32_t, uint64_t>> posted;
};

TEST(SuspendWatcher, SleepAndWakeBecomeSuspendAndResumeEvents) {
    RecordingWindow window;
    SetMainWindow(&window);
    SuspendWatcher watcher;
    watcher.OnPrepareForSleep(true);
    watcher.OnPrepareForSleep(false);
    SetMainWindow(nullptr);
    ASSERT_EQ(window.posted.size(), 2u);
    EXPECT_EQ(window.posted[0], std::make_pair(kMsgPowerBroadcast, kPowerSuspend));
    EXPECT_EQ(window.posted[1], std::make_pair(kMsgPowerBroadcast, kPowerResumeSuspend));
    EXPECT_TRUE(PowerEventClosesPort(kPowerSuspend));
    EXPECT_TRUE(PowerEventClosesPort(kPowerResumeSuspend));
}

TEST(SuspendWatcher, WithoutAMainWindowNothingIsPosted) {
    SetMainWindow(nullptr);
    SuspendWatcher watcher;
    watcher.OnPrepareForSleep(true);
    SUCCEED();
}

}  // namespace
}  // namespace kestrel
