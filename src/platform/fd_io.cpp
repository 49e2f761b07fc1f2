#include "platform/fd_io.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace kestrel {

ReadResult ReadAvailable(int fd, uint8_t* data, size_t max) {
    ReadResult result;
    if (max == 0) {
        result.hungUp = PollHungUp(fd);
        return result;
    }
    for (;;) {
        const ssize_t n = ::read(fd, data, max);
        if (n > 0) {
            result.count = static_cast<size_t>(n);
            return result;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return result;
        }
        // With VMIN=1 a zero return is not "nothing yet" but a device that went away.
        result.hungUp = true;
        return result;
    }
}

bool WriteAll(int fd, const uint8_t* data, size_t size, int64_t timeoutMs, bool& hungUp) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            hungUp = (errno == EIO || errno == ENXIO || errno == EBADF);
            return false;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return false;
        }
        pollfd p{fd, POLLOUT, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left));
        if (ready < 0 && errno != EINTR) {
            return false;
        }
        if (ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            hungUp = true;
            return false;
        }
    }
    return true;
}

bool PollHungUp(int fd) {
    pollfd p{fd, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&p, 1, 0);
    } while (ready < 0 && errno == EINTR);
    return ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void CloseFd(int fd) {
    if (fd < 0) {
        return;
    }
    // Linux releases the descriptor even when close() is interrupted, so it is never retried.
    ::close(fd);
}

}  // namespace kestrel
