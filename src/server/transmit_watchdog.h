#pragma once

#include <cstdint>
#include <optional>

namespace kestrel {

// The default time without any client request after which a client's transmission ends.
inline constexpr int64_t kDefaultTransmitIdleMs = 180 * 1000;

// Decides when a transmission that a network client started must end: when that client goes
// away, or when no client has sent anything for the idle limit while it lasts. Transmissions the
// operator starts at the panel are not its business. Times are the caller's clock, in ms.
class TransmitWatchdog {
  public:
    explicit TransmitWatchdog(int64_t idleLimitMs = kDefaultTransmitIdleMs)
        : idleLimitMs_(idleLimitMs) {}

    // Notes that a client sent a request.
    void NoteActivity(int64_t nowMs) { lastActivityMs_ = nowMs; }
    // Notes that a client switched transmit on or off.
    void NoteTransmit(uint64_t client, bool on, int64_t nowMs);
    // Notes that a client has gone; true when it was keying and transmit must go off now.
    bool ClientGone(uint64_t client);
    // True once when the keying client has been silent past the idle limit: transmit must go
    // off now.
    bool Expired(int64_t nowMs);
    // Returns the client whose transmission runs, if any.
    std::optional<uint64_t> KeyingClient() const { return keying_; }
    // Returns the time at which Expired will turn true, if a client is keying.
    std::optional<int64_t> Deadline() const;

  private:
    int64_t idleLimitMs_;
    int64_t lastActivityMs_ = 0;
    std::optional<uint64_t> keying_;
};

}  // namespace kestrel
