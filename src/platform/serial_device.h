#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kestrel {

// Line-error bits of the error value that a status query reports. They accumulate in the device
// between two queries and every query clears them.
inline constexpr uint32_t kLineRxOverflow = 0x0001;  // the receive queue overflowed
inline constexpr uint32_t kLineOverrun = 0x0002;     // a character was lost in the UART
inline constexpr uint32_t kLineParity = 0x0004;
inline constexpr uint32_t kLineFraming = 0x0008;
inline constexpr uint32_t kLineBreak = 0x0010;
inline constexpr uint32_t kLineTxFull = 0x0100;   // the transmit queue was full
inline constexpr uint32_t kLineIoError = 0x0400;  // the device failed or vanished
inline constexpr uint32_t kLineMode = 0x8000;     // the requested mode is not supported

// Hold and status bits of a status query. Linux keeps none of this state for its serial ports,
// so the termios and pseudo-terminal devices report every bit clear; the in-memory pair lets tests
// set them.
inline constexpr uint32_t kStatusCtsHold = 0x01;
inline constexpr uint32_t kStatusDsrHold = 0x02;
inline constexpr uint32_t kStatusRlsdHold = 0x04;  // carrier (receive-line-signal-detect) hold
inline constexpr uint32_t kStatusXoffHold = 0x08;
inline constexpr uint32_t kStatusXoffSent = 0x10;
inline constexpr uint32_t kStatusEof = 0x20;
inline constexpr uint32_t kStatusTxim = 0x40;  // a transmit-immediate character waits

// What one status query found: the accumulated line errors, the status bits and the two queues.
struct LineStatus {
    uint32_t errors = 0;
    uint32_t status = 0;
    uint32_t inQueue = 0;   // bytes received and not yet read
    uint32_t outQueue = 0;  // bytes written and not yet sent
};

// The line settings the program applies: 8 data bits and no parity always.
struct LineSettings {
    int baud = 4800;
    int stopBits = 2;
    bool ctsFlow = true;  // output waits while CTS is low
};

// Returns the time one character takes on the line at the baud rate, in microseconds
// (start bit, 8 data bits, no parity and the stop bits).
constexpr int64_t CharacterTimeUs(int baud, int stopBits) {
    return baud <= 0 ? 0 : (1 + 8 + stopBits) * int64_t{1000000} / baud;
}

// Result of a read: the bytes taken, or a hang-up when the device is gone.
struct ReadResult {
    size_t count = 0;
    bool hungUp = false;
};

// One open serial device. Implementations own their descriptor or channel, close it in their
// destructor, retry interrupted calls and never block in Read.
class SerialDevice {
  public:
    virtual ~SerialDevice() = default;
    // Applies the line settings; false when the device refuses them.
    virtual bool Configure(const LineSettings& settings) = 0;
    // Reads at most max bytes of what has already arrived; never waits.
    virtual ReadResult Read(uint8_t* data, size_t max) = 0;
    // Writes all bytes, waiting at most timeoutMs for the device to take them; reports whether
    // every byte was taken.
    virtual bool Write(const uint8_t* data, size_t size, int64_t timeoutMs) = 0;
    // Reads the line errors (clearing them), the status bits and both queue counts; false when
    // the device is gone.
    virtual bool QueryStatus(LineStatus& status) = 0;
    // Raises or lowers RTS; a device without modem lines takes it as done.
    virtual bool SetRts(bool raised) = 0;
    // Reports whether the far end has hung up (cable pulled, adapter unplugged).
    virtual bool HungUp() = 0;
    // Reports whether the path, links followed, leads to this very device; a device without a
    // path in the file system never matches.
    virtual bool IsDeviceAt(const std::string& path) const { return false; }
};

// Opens the device at a path, or returns nullptr when it cannot be opened.
using SerialDeviceFactory = std::function<std::unique_ptr<SerialDevice>(const std::string& path)>;

}  // namespace kestrel
