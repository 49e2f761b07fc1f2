#include "server/transmit_watchdog.h"

namespace kestrel {

void TransmitWatchdog::NoteTransmit(uint64_t client, bool on, int64_t nowMs) {
    lastActivityMs_ = nowMs;
    if (on) {
        keying_ = client;
    } else {
        // Whoever switches transmit off ends the transmission, whoever started it.
        keying_.reset();
    }
}

bool TransmitWatchdog::ClientGone(uint64_t client) {
    if (keying_ != client) {
        return false;
    }
    keying_.reset();
    return true;
}

bool TransmitWatchdog::Expired(int64_t nowMs) {
    const auto deadline = Deadline();
    if (!deadline || nowMs < *deadline) {
        return false;
    }
    keying_.reset();
    return true;
}

std::optional<int64_t> TransmitWatchdog::Deadline() const {
    if (!keying_) {
        return std::nullopt;
    }
    return lastActivityMs_ + idleLimitMs_;
}

}  // namespace kestrel
