// What a notification costs the analysis thread: posting to the main window alone, with no
// listener registered (the engine's everyday case), and with one or four listeners whose
// delivery loops drain in the background.
#include <benchmark/benchmark.h>

#include <atomic>
#include <vector>

#include "engine_api/radio_engine.h"
#include "platform/main_window.h"
#include "platform/real_runtime.h"

namespace kestrel {
namespace {

// A main window that only counts what it is given, so the figures are the fan-out's own.
class CountingWindow final : public MainWindow {
  public:
    bool PostMessage(uint32_t, uint64_t, int64_t) override {
        posts.fetch_add(1, std::memory_order_relaxed);
        return true;
    }
    int64_t SendMessage(uint32_t, uint64_t, int64_t) override { return 0; }
    void SetTimer(int, int64_t) override {}
    void KillTimer(int) override {}
    uint8_t WindowWaiting() const override { return 0; }
    void SetWindowWaiting(uint8_t) override {}
    uint8_t ReadingRunning() const override { return 0; }
    void SetReadingRunning(uint8_t) override {}

    std::atomic<uint64_t> posts{0};
};

void BM_PostToMainWindow(benchmark::State& state) {
    RealRuntime runtime;
    SetRuntime(&runtime);
    CountingWindow window;
    SetMainWindow(&window);
    std::vector<RadioEngine::ListenerId> listeners;
    for (int i = 0; i < state.range(0); ++i) {
        listeners.push_back(RadioEngine::AddListener([](const Notification&) {}));
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(PostToMainWindow(0x8333));
    }
    for (const RadioEngine::ListenerId id : listeners) {
        RadioEngine::RemoveListener(id);
    }
    SetMainWindow(nullptr);
    SetRuntime(nullptr);
}
BENCHMARK(BM_PostToMainWindow)->Arg(0)->Arg(1)->Arg(4);

// The post as it was before listeners existed: the installed window and nothing else.
void BM_PostStraightToWindow(benchmark::State& state) {
    CountingWindow window;
    SetMainWindow(&window);
    for (auto _ : state) {
        MainWindow* target = TheMainWindow();
        benchmark::DoNotOptimize(target != nullptr && target->PostMessage(0x8333, 0, 0));
    }
    SetMainWindow(nullptr);
}
BENCHMARK(BM_PostStraightToWindow);

}  // namespace
}  // namespace kestrel

BENCHMARK_MAIN();
