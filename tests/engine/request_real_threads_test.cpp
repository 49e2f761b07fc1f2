#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/anl_send_thread.h"
#include "engine/engine_timers.h"
#include "platform/headless_main_window.h"
#include "platform/real_runtime.h"
#include "platform/workers.h"
#include "protocol/control_mirror.h"
#include "protocol/message_ring.h"
#include "protocol/radio_state.h"

namespace kestrel {
namespace {

// Anl_Send_Thread on real threads: two threads make requests while the window's timers run the
// keyer-memory reads and the window thread toggles the mirror the requests read.
TEST(RequestsOnRealThreads, KeepEachCallersOrderWhileTimersRun) {
    RealRuntime runtime;
    SetRuntime(&runtime);
    ResetRadioState();
    InitControlMirror();
    CommandRing.Empty();

    constexpr int kPerCaller = 200;
    constexpr size_t kExpected = 2 * kPerCaller + 5;
    std::mutex sentMutex;
    std::vector<std::string> sent;
    auto allSent = runtime.MakeSignal();
    auto window = std::make_unique<HeadlessMainWindow>([&](const Message& m) -> int64_t {
        if (m.id == kMsgTimer) {
            DispatchEngineTimer(static_cast<int>(m.wParam));
        }
        SetMirror(Mirror::LK, GetMirror(Mirror::LK) == 0 ? 1 : 0);
        return 0;
    });
    SetMainWindow(window.get());
    SetWorkerLoop(Worker::SioSend, runtime.StartLoop("sio send", [&](const Message& m) {
        char buffer[MessageRing::kSlotSize];
        if (m.id == kMsgSendStep && CommandRing.Take(buffer) != 0) {
            std::lock_guard lock(sentMutex);
            sent.emplace_back(buffer);
            if (sent.size() == kExpected) {
                allSent->Set();
            }
        }
    }));
    ASSERT_TRUE(StartRequestThread());
    PostRequest(kReqKeyerMemoryRead, 0, 0);

    std::thread frequencies([] {
        for (int i = 0; i < kPerCaller; ++i) {
            PostRequest(kReqFrequencyA, 0, 7000000 + i);
        }
    });
    std::thread locks([] {
        for (int i = 0; i < kPerCaller; ++i) {
            PostRequest(kReqLockToggle, 0, 0);
        }
    });
    frequencies.join();
    locks.join();
    EXPECT_TRUE(runtime.Wait(*allSent, 5000));

    StopRequestThread();
    StopWorkerInSlot(Worker::SioSend);
    window->Close();
    SetMainWindow(nullptr);
    window.reset();

    std::lock_guard lock(sentMutex);
    ASSERT_EQ(sent.size(), kExpected);
    int nextFrequency = 7000000;
    int keyer = 1;
    int toggles = 0;
    for (const std::string& text : sent) {
        if (text.starts_with("FA")) {
            EXPECT_EQ(text, "FA0" + std::to_string(nextFrequency++) + ";");
        } else if (text.starts_with("KM")) {
            EXPECT_EQ(text, "KM" + std::to_string(keyer++) + ";");
        } else {
            EXPECT_TRUE(text == "LK0;" || text == "LK1;") << text;
            ++toggles;
        }
    }
    EXPECT_EQ(nextFrequency, 7000000 + kPerCaller);
    EXPECT_EQ(keyer, 6);
    EXPECT_EQ(toggles, kPerCaller);
    CommandRing.Empty();
    SetRuntime(nullptr);
}

}  // namespace
}  // namespace kestrel
