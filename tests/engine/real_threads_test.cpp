// The analysis and request threads on real threads, for the thread sanitizer: answers are
// delivered and requests made from other threads while the store is read and the timers run.

#include <atomic>
#include <mutex>
#include <thread>

#include "engine_fixtures.h"
#include "platform/real_runtime.h"

namespace kestrel {
namespace {

using RealThreads = EngineTestOn<RealRuntime>;

// The test's thread delivers answers as the receive step does while another thread reads the
// store, as the window and the request thread do; the answers are applied in order.
TEST_F(RealThreads, AnalysisAppliesAnswersInOrderWhileOthersReadTheStore) {
    constexpr int kAnswers = 300;
    auto allSeen = runtime.MakeSignal();
    std::vector<uint32_t> seen;  // written on the window's loop only
    LoadMenuCatalogue();
    onWindow = [&](const Message& m) {
        if (m.id != kMsgTimer) {
            seen.push_back(m.id);
            if (seen.size() == kAnswers) {
                allSeen->Set();
            }
        }
    };
    ASSERT_TRUE(StartAnalysisThread());

    std::atomic<bool> producing{true};
    std::thread reader([&] {
        int64_t sum = 0;
        do {
            sum += GetField(Field::FA) + GetMirror(Mirror::FA) + GetField(Field::SM0);
            MenuItem item;
            GetMenuItem(1, &item);
        } while (producing.load());
        EXPECT_NE(sum, 0);
    });
    for (int i = 0; i < kAnswers; ++i) {
        const std::string answer = i % 3 == 0   ? "FA" + std::to_string(14000000 + i)
                                   : i % 3 == 1 ? "SM0" + std::to_string(100 + i % 100)
                                                : "EX001" + std::to_string(1000 + i);
        EXPECT_TRUE(AnswerRing.Push(answer));
        EXPECT_TRUE(PostToWorker(Worker::AnlRecv, kMsgAnalyse));
    }
    EXPECT_TRUE(runtime.Wait(*allSeen, 10000));
    producing.store(false);
    reader.join();
    EXPECT_TRUE(StopAnalysisThread());
    window->Close();  // before the handler's locals go
    EXPECT_EQ(GetField(Field::FA), 14000000 + 297);
    MenuItem item;
    ASSERT_TRUE(GetMenuItem(1, &item));
    EXPECT_EQ(MenuValueToWhole(item.value), 1000 + 299);
    ASSERT_EQ(seen.size(), static_cast<size_t>(kAnswers));
    EXPECT_EQ(std::vector<uint32_t>(seen.begin(), seen.begin() + 3),
              (std::vector<uint32_t>{0x8333, 0x8337, 0x830B}));
}

// The test's thread and another make requests while the window's timers run the keyer-memory reads
// and the window thread toggles the mirror the requests read; each caller's order is kept.
TEST_F(RealThreads, RequestsKeepEachCallersOrderWhileTimersRun) {
    constexpr int kPerCaller = 200;
    constexpr size_t kExpected = 2 * kPerCaller + 5;
    std::mutex sentMutex;
    std::vector<std::string> sent;
    auto allSent = runtime.MakeSignal();
    onWindow = [](const Message& m) {
        if (m.id == kMsgTimer) {
            DispatchEngineTimer(static_cast<int>(m.wParam));
        }
        SetMirror(Mirror::LK, GetMirror(Mirror::LK) == 0 ? 1 : 0);
    };
    StandIn(Worker::SioSend, [&](const Message& m) {
        char buffer[MessageRing::kSlotSize];
        if (m.id == kMsgSendStep && CommandRing.Take(buffer) != 0) {
            std::lock_guard lock(sentMutex);
            sent.emplace_back(buffer);
            if (sent.size() == kExpected) {
                allSent->Set();
            }
        }
    });
    ASSERT_TRUE(StartRequestThread());
    PostRequest(kReqKeyerMemoryRead, 0, 0);
    std::thread frequencies([] {
        for (int i = 0; i < kPerCaller; ++i) {
            PostRequest(kReqFrequencyA, 0, 7000000 + i);
        }
    });
    for (int i = 0; i < kPerCaller; ++i) {
        PostRequest(kReqLockToggle, 0, 0);
    }
    frequencies.join();
    EXPECT_TRUE(runtime.Wait(*allSent, 5000));
    StopRequestThread();
    StopWorkerInSlot(Worker::SioSend);
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
}

}  // namespace
}  // namespace kestrel
