#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/serial_device.h"

namespace kestrel {

// Reads at most max bytes from a non-blocking descriptor without waiting. A 0 return of read()
// (with VMIN=1) or EIO means the far end has gone, and is reported as a hang-up.
ReadResult ReadAvailable(int fd, uint8_t* data, size_t max);
// Writes every byte to a non-blocking descriptor, polling for room until timeoutMs of real time
// have passed. Sets hungUp when the far end has gone; reports whether every byte was taken.
bool WriteAll(int fd, const uint8_t* data, size_t size, int64_t timeoutMs, bool& hungUp);
// Reports whether poll() shows the descriptor hung up, failed or closed.
bool PollHungUp(int fd);
// Closes the descriptor once; -1 is ignored.
void CloseFd(int fd);

}  // namespace kestrel
