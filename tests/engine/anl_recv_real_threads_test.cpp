#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/anl_recv_thread.h"
#include "menulist/menu_catalogue.h"
#include "platform/headless_main_window.h"
#include "platform/real_runtime.h"
#include "platform/workers.h"
#include "protocol/control_mirror.h"
#include "protocol/message_ring.h"
#include "protocol/radio_state.h"
#include "protocol/store_flags.h"

namespace kestrel {
namespace {

// Anl_Recv_Thread on real threads: a producer thread delivers answers as the receive step does
// while another thread reads the store, as the window and the request thread do.
TEST(AnalysisOnRealThreads, AppliesAnswersInOrderWhileOthersReadTheStore) {
    RealRuntime runtime;
    SetRuntime(&runtime);
    ResetRadioState();
    LoadMenuCatalogue();
    InitControlMirror();
    AnswerRing.Empty();
    AutoInfoSent.store(0);

    constexpr int kAnswers = 300;
    std::atomic<int> notified{0};
    auto allSeen = runtime.MakeSignal();
    std::vector<uint32_t> seen;  // written on the window's loop only
    auto window = std::make_unique<HeadlessMainWindow>([&](const Message& m) -> int64_t {
        if (m.id != kMsgTimer) {
            seen.push_back(m.id);
            if (notified.fetch_add(1) + 1 == kAnswers) {
                allSeen->Set();
            }
        }
        return 0;
    });
    SetMainWindow(window.get());
    ASSERT_TRUE(StartAnalysisThread());

    std::atomic<bool> producing{true};
    std::thread reader([&] {
        int64_t sum = 0;
        while (producing.load()) {
            sum += GetField(Field::FA) + GetMirror(Mirror::FA) + GetField(Field::SM0);
            MenuItem item;
            GetMenuItem(1, &item);
        }
        EXPECT_NE(sum, 0);
    });
    std::thread producer([&] {
        for (int i = 0; i < kAnswers; ++i) {
            const std::string answer = i % 3 == 0   ? "FA" + std::to_string(14000000 + i)
                                       : i % 3 == 1 ? "SM0" + std::to_string(100 + i % 100)
                                                    : "EX001" + std::to_string(1000 + i);
            ASSERT_TRUE(AnswerRing.Push(answer));
            ASSERT_TRUE(PostToWorker(Worker::AnlRecv, kMsgAnalyse));
        }
    });
    producer.join();
    EXPECT_TRUE(runtime.Wait(*allSeen, 10000));
    producing.store(false);
    reader.join();

    EXPECT_TRUE(StopAnalysisThread());
    window->Close();
    SetMainWindow(nullptr);
    window.reset();
    EXPECT_EQ(GetField(Field::FA), 14000000 + 297);
    MenuItem item;
    ASSERT_TRUE(GetMenuItem(1, &item));
    EXPECT_EQ(MenuValueToWhole(item.value), 1000 + 299);
    ASSERT_EQ(seen.size(), static_cast<size_t>(kAnswers));
    EXPECT_EQ(seen[0], 0x8333u);
    EXPECT_EQ(seen[1], 0x8337u);
    EXPECT_EQ(seen[2], 0x830Bu);
    SetRuntime(nullptr);
}

}  // namespace
}  // namespace kestrel
