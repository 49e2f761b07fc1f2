#pragma once

#include <cstdint>
#include <memory>

#include "platform/runtime.h"

namespace kestrel {

// The global thread slots: one per worker of the program.
enum class Worker { AnlRecv, SioRecv, SioSend, AnlSend, MenuLoader, Count };

// Returns the loop in the worker's slot, or nullptr when it has none.
std::shared_ptr<MessageLoop> WorkerLoop(Worker worker);
// Stores a loop in the worker's slot (nullptr empties it).
void SetWorkerLoop(Worker worker, std::shared_ptr<MessageLoop> loop);
// Posts a thread message to the worker; false when the slot is empty or the loop has ended.
bool PostToWorker(Worker worker, uint32_t id, uint64_t wParam = 0, int64_t lParam = 0);
// Runs the common stop routine on the worker in the slot, then empties the slot.
bool StopWorkerInSlot(Worker worker);

}  // namespace kestrel
