#pragma once

#include <cstdint>
#include <functional>

#include "server/radio_access.h"
#include "server/transmit_watchdog.h"

namespace kestrel {

// What every client session of the sharing servers acts on. Owned by the server; sessions run on
// the server's thread only.
struct ShareContext {
    RadioAccess& radio;
    TransmitWatchdog& watchdog;
    // True when the operator allowed raw commands (--allow-raw).
    bool allowRaw = false;
    // The server's clock in milliseconds.
    std::function<int64_t()> nowMs;

    // Switches transmit on or off for a client and tells the watchdog who keyed.
    bool SetTransmit(uint64_t client, bool on) {
        if (!radio.SetTransmit(on)) {
            return false;
        }
        watchdog.NoteTransmit(client, on, nowMs());
        return true;
    }
};

}  // namespace kestrel
