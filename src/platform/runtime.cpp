#include "platform/runtime.h"

#include <atomic>
#include <cassert>

namespace kestrel {

namespace {
std::atomic<Runtime*> installedRuntime{nullptr};
constexpr int kStopPosts = 52;
constexpr int64_t kStopWaitMs = 100;
}  // namespace

Runtime& Rt() {
    Runtime* runtime = installedRuntime.load(std::memory_order_acquire);
    assert(runtime != nullptr);
    return *runtime;
}

void SetRuntime(Runtime* runtime) {
    installedRuntime.store(runtime, std::memory_order_release);
}

bool StopWorker(MessageLoop* loop) {
    if (loop == nullptr) {
        return true;
    }
    for (int post = 0; post < kStopPosts && loop->IsRunning(); ++post) {
        loop->Post({kMsgStop, 0, 0});
        Rt().SleepMs(kStopWaitMs);
    }
    return !loop->IsRunning();
}

}  // namespace kestrel
