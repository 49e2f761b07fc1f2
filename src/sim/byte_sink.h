#pragma once

#include <cstdint>
#include <string_view>

namespace kestrel {

// Takes the bytes the simulated transceiver puts on the line. A transport implements it; it must
// not call back into the transceiver.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    // Sends the bytes towards the program, in order.
    virtual void Send(std::string_view bytes) = 0;
};

// Lets the simulated transceiver pull its own cable: the transport makes the device vanish and
// brings it back after a while.
class LinkControl {
  public:
    virtual ~LinkControl() = default;
    // Makes the device vanish now and reappear after outageMs.
    virtual void PullCable(int64_t outageMs) = 0;
};

}  // namespace kestrel
