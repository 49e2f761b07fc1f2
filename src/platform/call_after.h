#pragma once

#include <cstdint>
#include <functional>

namespace kestrel {

// Runs fn once, delayMs from now, on a runtime timer of Rt() (the driving thread of the virtual
// runtime, the timer thread of the real one). fn must be short and must not sleep.
void CallAfterMs(int64_t delayMs, std::function<void()> fn);

}  // namespace kestrel
