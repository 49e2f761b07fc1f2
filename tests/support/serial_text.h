#pragma once

#include <poll.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/serial_device.h"

namespace kestrel {

// Returns everything the device holds now, without waiting for more.
inline std::string ReadReady(SerialDevice& device) {
    std::string text;
    uint8_t buffer[256];
    for (ReadResult r; (r = device.Read(buffer, sizeof buffer)).count > 0;) {
        text.append(reinterpret_cast<char*>(buffer), r.count);
    }
    return text;
}

// Reads until want bytes have come or the device hangs up, waiting on the descriptor (a real
// terminal hands bytes over on a kernel worker) for at most two seconds.
inline std::string ReadWhenReady(int fd, SerialDevice& device, size_t want) {
    std::string text;
    for (int rounds = 0; rounds < 200 && text.size() < want && !device.HungUp(); ++rounds) {
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, 10);
        text += ReadReady(device);
    }
    return text;
}

// Writes text to the device; reports whether the device took it all.
inline bool WriteText(SerialDevice& device, std::string_view text, int64_t timeoutMs = 500) {
    return device.Write(reinterpret_cast<const uint8_t*>(text.data()), text.size(), timeoutMs);
}

}  // namespace kestrel
