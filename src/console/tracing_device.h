#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/serial_device.h"

namespace kestrel {

// A serial device that reports every write as "tx <bytes>" and every read that brought bytes as
// "rx <bytes>", with bytes outside printable ASCII written as \xNN.
class TracingDevice final : public SerialDevice {
  public:
    using TraceSink = std::function<void(std::string_view line)>;

    TracingDevice(std::unique_ptr<SerialDevice> inner, TraceSink sink)
        : inner_(std::move(inner)), sink_(std::move(sink)) {}

    bool Configure(const LineSettings& settings) override { return inner_->Configure(settings); }
    ReadResult Read(uint8_t* data, size_t max) override;
    bool Write(const uint8_t* data, size_t size, int64_t timeoutMs) override;
    bool QueryStatus(LineStatus& status) override { return inner_->QueryStatus(status); }
    bool SetRts(bool raised) override { return inner_->SetRts(raised); }
    bool HungUp() override { return inner_->HungUp(); }

  private:
    void Trace(std::string_view direction, const uint8_t* data, size_t size) const;

    std::unique_ptr<SerialDevice> inner_;
    TraceSink sink_;
};

// Returns a factory that opens termios devices and wraps each in a TracingDevice.
SerialDeviceFactory TracingTermiosFactory(TracingDevice::TraceSink sink);

}  // namespace kestrel
