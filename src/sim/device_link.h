#pragma once

#include <memory>
#include <string>

#include "sim/sim_link.h"

namespace kestrel {

// Puts a simulated transceiver on a real serial device (one end of a null-modem cable). A pulled
// cable closes the device; the far side then hears nothing until it is opened again.
class DeviceLink final : public SimLink {
  public:
    DeviceLink(std::string path, LineSettings settings);
    ~DeviceLink() override;

  protected:
    SerialDevice* OpenDevice() override;
    void CloseDevice() override;

  private:
    const std::string path_;
    std::unique_ptr<SerialDevice> device_;
};

}  // namespace kestrel
