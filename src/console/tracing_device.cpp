#include "console/tracing_device.h"

#include <cstdio>

#include "platform/termios_device.h"

namespace kestrel {

ReadResult TracingDevice::Read(uint8_t* data, size_t max) {
    const ReadResult result = inner_->Read(data, max);
    if (result.count > 0) {
        Trace("rx", data, result.count);
    }
    return result;
}

bool TracingDevice::Write(const uint8_t* data, size_t size, int64_t timeoutMs) {
    Trace("tx", data, size);
    return inner_->Write(data, size, timeoutMs);
}

void TracingDevice::Trace(std::string_view direction, const uint8_t* data, size_t size) const {
    std::string line(direction);
    line += ' ';
    for (size_t i = 0; i < size; ++i) {
        if (data[i] >= 0x20 && data[i] < 0x7F && data[i] != '\\') {
            line += static_cast<char>(data[i]);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", data[i]);
            line += escaped;
        }
    }
    sink_(line);
}

SerialDeviceFactory TracingTermiosFactory(TracingDevice::TraceSink sink) {
    return [sink = std::move(sink)](const std::string& path) -> std::unique_ptr<SerialDevice> {
        auto device = TermiosDevice::Open(path);
        if (!device) {
            return nullptr;
        }
        return std::make_unique<TracingDevice>(std::move(device), sink);
    };
}

}  // namespace kestrel
