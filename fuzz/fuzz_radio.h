#pragma once

#include <array>

#include "protocol/radio_state.h"
#include "server/radio_access.h"
#include "server/share_context.h"

namespace kestrel {

// A radio for the server's fuzz targets: every field reads as what the input's first bytes
// make of it, every command is taken.
class FuzzRadio : public RadioAccess {
  public:
    explicit FuzzRadio(std::string_view seed) {
        for (size_t i = 0; i < fields_.size(); ++i) {
            fields_[i] = i < seed.size() ? static_cast<unsigned char>(seed[i]) - 64 : 0;
        }
    }
    bool IsConnected() override { return fields_[0] != 0; }
    int32_t Read(Field field) override { return fields_[static_cast<size_t>(field)]; }
    bool SetFrequency(Vfo, uint64_t) override { return true; }
    bool SetMode(int, Vfo) override { return true; }
    bool SetTransmit(bool) override { return true; }
    bool SetActiveVfo(Vfo) override { return true; }
    bool Request(int, int, int32_t) override { return true; }
    RawResult QueueRaw(std::string_view text) override {
        return text.empty() ? RawResult::Empty : RawResult::Queued;
    }

  private:
    std::array<int32_t, kFieldCount> fields_{};
};

// What a server's fuzz target hands its session: the fuzz radio over a store reset once, a
// watchdog, and raw commands allowed for inputs of even length.
struct FuzzShare {
    explicit FuzzShare(std::string_view bytes)
        : radio(bytes), context{radio, watchdog, bytes.size() % 2 == 0, [] { return int64_t{0}; }} {
        static const bool reset = [] {
            ResetRadioState();
            return true;
        }();
        (void)reset;
    }
    FuzzRadio radio;
    TransmitWatchdog watchdog;
    ShareContext context;
};

}  // namespace kestrel
