#pragma once

#include <cstdint>
#include <string_view>

#include "engine_api/radio_engine.h"

namespace kestrel {

// What the sharing servers need of the radio: store reads and the setters of the engine
// interface. The servers hold this rather than the engine itself, so their protocols can be run
// against a stand-in radio.
class RadioAccess {
  public:
    virtual ~RadioAccess() = default;

    // Reports whether the transceiver is connected (automatic information on and identified).
    virtual bool IsConnected() = 0;
    // Returns a store field: what the radio last reported.
    virtual int32_t Read(Field field) = 0;

    // Queues the command that tunes the VFO to the frequency.
    virtual bool SetFrequency(Vfo vfo, uint64_t hertz) = 0;
    // Queues the command that sets the mode (1-12) of a VFO's receiver.
    virtual bool SetMode(int modeCode, Vfo vfo) = 0;
    // Queues the command that switches transmit on or off.
    virtual bool SetTransmit(bool on) = 0;
    // Queues the command that selects the VFO of the main dial.
    virtual bool SetActiveVfo(Vfo vfo) = 0;
    // Makes a numbered request, as the panel keys do.
    virtual bool Request(int number, int vfoB, int32_t value) = 0;
    // Queues a raw command text exactly as given.
    virtual RawResult QueueRaw(std::string_view text) = 0;
};

}  // namespace kestrel
