#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/serial_device.h"

namespace kestrel {

// A serial cable in memory for tests on the runtime's clock. Each end is opened as a
// SerialDevice; bytes written at one end reach the other at the line's rate (one character time
// of the writer's settings per byte), measured on Rt(). An end whose line settings ask for CTS
// flow control sends only while the other end's RTS is raised, so held output stays in its
// output queue. Tests can inject line errors and status bits, pad the output-queue count, and
// pull and reinsert the cable.
class MemorySerialPair {
  public:
    // The two ends: A for the program, B for the simulated transceiver.
    enum class Side { A, B };
    // Bytes an end's input queue holds before further bytes are lost with a receive overflow.
    static constexpr size_t kInputCapacity = 4096;

    MemorySerialPair();
    ~MemorySerialPair();
    MemorySerialPair(const MemorySerialPair&) = delete;
    MemorySerialPair& operator=(const MemorySerialPair&) = delete;

    // Opens an end; nullptr while the cable is unplugged or that end is already open. Bytes that
    // reached a closed end are dropped at the open.
    std::unique_ptr<SerialDevice> Open(Side side);
    // Returns a factory that opens the given end whatever path it is asked for.
    SerialDeviceFactory Factory(Side side);

    // Adds line-error bits that the end's next status query reports (and clears).
    void InjectErrors(Side side, uint32_t errors);
    // Sets the status bits that every status query of the end reports until changed.
    void SetStatusBits(Side side, uint32_t bits);
    // Adds a constant to the end's reported output-queue count.
    void SetExtraOutQueue(Side side, uint32_t count);
    // Pulls the cable: open ends hang up, bytes in flight are lost, opens fail until Replug.
    void Unplug();
    // Reinserts the cable; the ends can be opened again.
    void Replug();
    // Reports the end's RTS line (raised when the end is opened).
    bool Rts(Side side) const;
    // Reports whether the end is open.
    bool IsOpen(Side side) const;
    // Returns the line settings last applied to the end.
    LineSettings Settings(Side side) const;
    // Calls fn on a runtime timer whenever bytes written towards the end have all arrived.
    void SetArrivalCallback(Side side, std::function<void()> fn);

  private:
    struct State;
    class End;
    std::shared_ptr<State> state_;
};

}  // namespace kestrel
