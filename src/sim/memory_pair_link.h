#pragma once

#include <memory>

#include "platform/memory_serial_pair.h"
#include "sim/sim_link.h"

namespace kestrel {

// Puts a simulated transceiver on end B of an in-memory pair, for tests in virtual time. The
// pair carries the bytes at the line's rate itself; a pulled cable unplugs the pair and plugs it
// in again after the outage.
class MemoryPairLink final : public SimLink {
  public:
    MemoryPairLink(MemorySerialPair& pair, LineSettings settings = {});
    ~MemoryPairLink() override;

  protected:
    SerialDevice* OpenDevice() override;
    void CloseDevice() override;

  private:
    MemorySerialPair& pair_;
    std::unique_ptr<SerialDevice> device_;
    bool unplugged_ = false;
};

}  // namespace kestrel
