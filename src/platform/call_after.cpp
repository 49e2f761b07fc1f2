#include "platform/call_after.h"

#include <memory>
#include <mutex>

#include "platform/runtime.h"

namespace kestrel {

namespace {
// A periodic timer that cancels itself on its first tick. The tick may come before StartTimer
// has returned the id, so whichever of the two comes second cancels it.
struct OneShot {
    std::mutex mutex;
    bool fired = false;
    bool haveId = false;
    TimerId id = 0;
};
}  // namespace

void CallAfterMs(int64_t delayMs, std::function<void()> fn) {
    auto shot = std::make_shared<OneShot>();
    Runtime& runtime = Rt();
    const TimerId id = runtime.StartTimer(delayMs, [shot, &runtime, fn = std::move(fn)] {
        {
            std::lock_guard lock(shot->mutex);
            if (shot->fired) {
                return;
            }
            shot->fired = true;
            if (shot->haveId) {
                runtime.CancelTimer(shot->id);
            }
        }
        fn();
    });
    std::lock_guard lock(shot->mutex);
    shot->id = id;
    shot->haveId = true;
    if (shot->fired) {
        runtime.CancelTimer(id);
    }
}

}  // namespace kestrel
