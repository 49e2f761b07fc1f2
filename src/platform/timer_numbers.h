#pragma once

#include "platform/all_distinct.h"

namespace kestrel {

// The main window's numbered timers.
inline constexpr int kTimerKeyHold = 1;        // 100 ms key-hold test, 30 ms drag sample
inline constexpr int kTimerKnobRepeat = 2;     // 1000 ms, then 200 ms: repeat of a value change
inline constexpr int kTimerInitialRead = 4;    // 30 ms: a step of the initial read
inline constexpr int kTimerMenuRead = 5;       // 30 ms: a step of the menu read
inline constexpr int kTimerFrequencyA = 6;     // 30 ms: redraw the frequency display
inline constexpr int kTimerFrequencyB = 7;     // 30 ms: redraw the frequency display
inline constexpr int kTimerHeartbeat = 8;      // 1000 ms: the heartbeat of the polling cycle
inline constexpr int kTimerFullRefresh = 11;   // 10 ms: one-shot full refresh after start-up
inline constexpr int kTimerRepaint = 13;       // 30 ms after a paint: repaint everything
inline constexpr int kTimerUpperPeak = 14;     // upper-bar peak hold
inline constexpr int kTimerSplash = 15;        // 3000 ms: remove the splash picture
inline constexpr int kTimerLinkWatchdog = 17;  // 3000 ms after an answer: the link watchdog
inline constexpr int kTimerDragSteps = 18;     // 30 ms: post a held rotary control's steps
inline constexpr int kTimerDialRest = 19;      // 200 ms once: rotary controls back at rest
inline constexpr int kTimerRotatorRead = 20;   // 100 ms: the rotator position read
inline constexpr int kTimerConnecting = 22;    // 5000 ms once: the connect time-out
inline constexpr int kTimerPowerOnRead = 23;   // 500 ms once: the power read after switching on
inline constexpr int kTimerPowerOffRead = 24;  // 50 ms, twice: the power reads after switching off
inline constexpr int kTimerKeyerRead = 25;     // 30 ms: a step of the keyer-memory reads
inline constexpr int kTimerLowerPeak = 30;     // lower-bar peak hold
inline constexpr int kTimerShortcut = 31;      // 2 ms per character: the next shortcut command
static_assert(AllDistinct(kTimerKeyHold, kTimerKnobRepeat, kTimerInitialRead, kTimerMenuRead,
                          kTimerFrequencyA, kTimerFrequencyB, kTimerHeartbeat, kTimerFullRefresh,
                          kTimerRepaint, kTimerUpperPeak, kTimerSplash, kTimerLinkWatchdog,
                          kTimerDragSteps, kTimerDialRest, kTimerRotatorRead, kTimerConnecting,
                          kTimerPowerOnRead, kTimerPowerOffRead, kTimerKeyerRead, kTimerLowerPeak,
                          kTimerShortcut),
              "each timer needs a number of its own");

}  // namespace kestrel
