#pragma once

#include <linux/serial.h>

#include <memory>
#include <mutex>
#include <string>

#include "platform/serial_device.h"

namespace kestrel {

// A serial port (or the program's side of a pseudo-terminal) driven through termios. It owns its
// descriptor, which is non-blocking with VMIN=1, VTIME=0, so that "nothing yet" reads as EAGAIN
// and a 0 return as a vanished device.
class TermiosDevice final : public SerialDevice {
  public:
    // Opens a terminal device for exclusive use; nullptr when it is missing, not a terminal or
    // locked by another open (of this program or another).
    static std::unique_ptr<TermiosDevice> Open(const std::string& path);
    // Takes ownership of an open terminal descriptor.
    explicit TermiosDevice(int fd);
    ~TermiosDevice() override;
    TermiosDevice(TermiosDevice&& other) noexcept;
    TermiosDevice& operator=(TermiosDevice&& other) noexcept;
    TermiosDevice(const TermiosDevice&) = delete;
    TermiosDevice& operator=(const TermiosDevice&) = delete;

    bool Configure(const LineSettings& settings) override;
    ReadResult Read(uint8_t* data, size_t max) override;
    bool Write(const uint8_t* data, size_t size, int64_t timeoutMs) override;
    bool QueryStatus(LineStatus& status) override;
    bool SetRts(bool raised) override;
    bool HungUp() override;
    bool IsDeviceAt(const std::string& path) const override;

    // Returns the descriptor, or -1 after a move.
    int Fd() const { return fd_; }
    // Reports whether the driver keeps line-error counters (a pseudo-terminal does not).
    bool HasCounters() const { return hasCounters_; }

  private:
    int fd_ = -1;
    std::mutex mutex_;  // the status query runs on several threads and keeps the counter baseline
    bool hasCounters_ = false;
    bool hasModemLines_ = true;  // false once the driver said it has none (a pseudo-terminal)
    serial_icounter_struct lastCounters_{};
    bool hungUp_ = false;
};

// Returns the termios speed constant for a baud rate, or 0 for a rate the program does not use.
unsigned TermiosSpeed(int baud);

}  // namespace kestrel
