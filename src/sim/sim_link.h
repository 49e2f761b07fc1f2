#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/runtime.h"
#include "platform/serial_device.h"
#include "sim/byte_sink.h"

namespace kestrel {

class Transceiver;

// Joins a simulated transceiver to a serial device: polls the device on an Rt() timer and feeds
// what arrives to the radio, and sends the radio's bytes no faster than the line's baud rate. A
// pulled cable closes the device and opens it again after the outage. Subclasses say how the
// device is opened and made to vanish.
class SimLink : public ByteSink, public LinkControl {
  public:
    // How often the device is polled.
    static constexpr int64_t kPollMs = 5;

    // Paces output at `baud` with 8N2 characters when `paced`; the in-memory pair paces itself.
    SimLink(LineSettings settings, bool paced);
    ~SimLink() override;
    SimLink(const SimLink&) = delete;
    SimLink& operator=(const SimLink&) = delete;

    // Names the radio that receives the line's bytes and may pull this link's cable.
    void Attach(Transceiver& radio);
    // Opens the device and starts polling; false when the device cannot be opened.
    bool Start();
    // Stops polling and closes the device.
    void Stop();
    // Reports whether the device is open (the cable is in).
    bool Connected() const;

    void Send(std::string_view bytes) override;
    void PullCable(int64_t outageMs) override;

  protected:
    // Opens the device (again); nullptr when it cannot be opened now.
    virtual SerialDevice* OpenDevice() = 0;
    // Closes the device so that the program's side sees it vanish.
    virtual void CloseDevice() = 0;
    // Returns the line settings applied at every open.
    const LineSettings& Settings() const { return settings_; }

    // Stops polling; subclasses call it first in their destructors, while their device lives.
    void Shutdown();

  private:
    void Poll();

    const LineSettings settings_;
    const bool paced_;
    Transceiver* radio_ = nullptr;

    mutable std::mutex mutex_;
    SerialDevice* device_ = nullptr;
    std::string pending_;  // bytes the pacing still holds back
    double credit_ = 0.0;  // characters the line could have sent since the last write
    int64_t lastPollMs_ = 0;
    int64_t reopenAtMs_ = -1;
    TimerId timer_ = 0;
    bool running_ = false;
};

}  // namespace kestrel
