#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <utility>

#include "platform/serial_device.h"
#include "sim/byte_sink.h"

namespace kestrel {

// Hands the bytes that crossed a tap to the test.
using TapFn = std::function<void(std::string_view bytes)>;

// The program's end of the cable, handing on every write that the device takes.
class TappedDevice final : public SerialDevice {
  public:
    TappedDevice(std::unique_ptr<SerialDevice> inner, TapFn tap)
        : inner_(std::move(inner)), tap_(std::move(tap)) {}
    bool Configure(const LineSettings& settings) override { return inner_->Configure(settings); }
    ReadResult Read(uint8_t* data, size_t max) override { return inner_->Read(data, max); }
    bool Write(const uint8_t* data, size_t size, int64_t timeoutMs) override {
        const bool taken = inner_->Write(data, size, timeoutMs);
        if (taken) {
            tap_(std::string_view(reinterpret_cast<const char*>(data), size));
        }
        return taken;
    }
    bool QueryStatus(LineStatus& status) override { return inner_->QueryStatus(status); }
    bool SetRts(bool raised) override { return inner_->SetRts(raised); }
    bool HungUp() override { return inner_->HungUp(); }

  private:
    std::unique_ptr<SerialDevice> inner_;
    TapFn tap_;
};

// Returns a device factory whose devices hand every write taken to the tap.
inline SerialDeviceFactory TappedFactory(SerialDeviceFactory open, TapFn tap) {
    return [open = std::move(open),
            tap = std::move(tap)](const std::string& path) -> std::unique_ptr<SerialDevice> {
        auto device = open(path);
        return device ? std::make_unique<TappedDevice>(std::move(device), tap) : nullptr;
    };
}

// The radio's way out: hands what the radio sends to the tap, then passes it on.
class TappedSink final : public ByteSink {
  public:
    TappedSink(ByteSink& next, TapFn tap) : next_(next), tap_(std::move(tap)) {}
    void Send(std::string_view bytes) override {
        tap_(bytes);
        next_.Send(bytes);
    }

  private:
    ByteSink& next_;
    TapFn tap_;
};

}  // namespace kestrel
