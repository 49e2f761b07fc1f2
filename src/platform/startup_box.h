#pragma once

#include <atomic>
#include <cstdint>

namespace kestrel {

// 1 while the main window shows a start-up failure box opened by message 0x8109 with mode 0.
// The main window sets and clears it; the port opener does nothing while it is set, so that a
// port that keeps failing does not stack boxes.
inline std::atomic<uint8_t> StartupBoxShown{0};

}  // namespace kestrel
