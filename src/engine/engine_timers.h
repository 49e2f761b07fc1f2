#pragma once

#include "platform/timer_numbers.h"

namespace kestrel {

// Periods of the timers that pace the worker threads, in milliseconds.
inline constexpr int kReadStepMs = 30;        // timers 4, 5 and 25
inline constexpr int kHeartbeatMs = 1000;     // timer 8
inline constexpr int kLinkWatchdogMs = 3000;  // timer 17
inline constexpr int kPowerOnReadMs = 500;    // timer 23, one tick
inline constexpr int kPowerOffReadMs = 50;    // timer 24, two ticks

// Hands the tick of a worker-pacing timer (4, 5, 8, 17, 20, 23, 24, 25) to its worker.
// Returns false, doing nothing, for any other timer, so that the window handles its own next.
bool DispatchEngineTimer(int timerId);

}  // namespace kestrel
