#pragma once

#include <cstdint>

namespace kestrel {

// The main window's power broadcast message; wParam carries the power event code.
inline constexpr uint32_t kMsgPowerBroadcast = 0x0218;

// Power event codes the suspend watcher posts.
inline constexpr uint64_t kPowerSuspend = 4;
inline constexpr uint64_t kPowerResumeSuspend = 7;

// Reports whether a power event closes the serial port: the suspend queries and their failure,
// suspend, the resumes, low battery, a power status change and the vendor event.
constexpr bool PowerEventClosesPort(uint64_t code) {
    switch (code) {
        case 0:
        case 2:
        case 4:
        case 6:
        case 7:
        case 9:
        case 10:
        case 11:
        case 18:
            return true;
        default:
            return false;
    }
}

}  // namespace kestrel
