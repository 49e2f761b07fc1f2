#include "platform/workers.h"

#include <array>
#include <mutex>

namespace kestrel {

namespace {
std::mutex slotsMutex;
std::array<std::shared_ptr<MessageLoop>, static_cast<size_t>(Worker::Count)> slots;
}  // namespace

std::shared_ptr<MessageLoop> WorkerLoop(Worker worker) {
    std::lock_guard lock(slotsMutex);
    return slots[static_cast<size_t>(worker)];
}

void SetWorkerLoop(Worker worker, std::shared_ptr<MessageLoop> loop) {
    std::lock_guard lock(slotsMutex);
    slots[static_cast<size_t>(worker)] = std::move(loop);
}

bool PostToWorker(Worker worker, uint32_t id, uint64_t wParam, int64_t lParam) {
    auto loop = WorkerLoop(worker);
    return loop != nullptr && loop->Post({id, wParam, lParam});
}

bool StopWorkerInSlot(Worker worker) {
    auto loop = WorkerLoop(worker);
    const bool stopped = StopWorker(loop.get());
    SetWorkerLoop(worker, nullptr);
    return stopped;
}

}  // namespace kestrel
