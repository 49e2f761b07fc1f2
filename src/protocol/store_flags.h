#pragma once

#include <atomic>
#include <cstdint>

namespace kestrel {

// 1 once the menu-definition loader has filled the menu item catalogue; the serial threads ignore
// their step messages until then, since menu answers cannot be framed without it.
inline std::atomic<uint8_t> StoreReady{0};
// 1 after "AI1;" was written to the port, 0 after "AI0;" (and after a lost link).
inline std::atomic<uint8_t> AutoInfoSent{0};
// 1 while a written command has not been followed by a well-framed answer.
inline std::atomic<uint8_t> AnswerWaiting{0};

}  // namespace kestrel
