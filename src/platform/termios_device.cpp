#include "platform/termios_device.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "platform/fd_io.h"

namespace kestrel {

namespace {

int IoctlRetry(int fd, unsigned long request, void* arg) {
    int rc;
    do {
        rc = ::ioctl(fd, request, arg);
    } while (rc < 0 && errno == EINTR);
    return rc;
}

// A pseudo-terminal (and some USB adapters) answers modem-line and counter requests with ENOTTY
// or EINVAL: the port works, it simply has no such lines or counters.
bool NotSupported(int err) {
    return err == ENOTTY || err == EINVAL;
}

}  // namespace

unsigned TermiosSpeed(int baud) {
    switch (baud) {
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            return 0;
    }
}

std::unique_ptr<TermiosDevice> TermiosDevice::Open(const std::string& path) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return nullptr;
    }
    if (!::isatty(fd)) {
        CloseFd(fd);
        return nullptr;
    }
    // The port is not shared. TIOCEXCL alone lets root through and does nothing against a program
    // that opened the port first, so the advisory lock that serial programs on Linux take decides;
    // it also refuses a second open within this program.
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked < 0 && errno == EINTR);
    if (locked < 0) {
        CloseFd(fd);
        return nullptr;
    }
    IoctlRetry(fd, TIOCEXCL, nullptr);
    return std::make_unique<TermiosDevice>(fd);
}

TermiosDevice::TermiosDevice(int fd) : fd_(fd) {
    serial_icounter_struct counters{};
    hasCounters_ = IoctlRetry(fd_, TIOCGICOUNT, &counters) == 0;
    lastCounters_ = counters;
    // The receive step sets RTS 200 times a second; a driver without modem lines is asked once.
    int lines = 0;
    hasModemLines_ = IoctlRetry(fd_, TIOCMGET, &lines) == 0 || !NotSupported(errno);
}

// Terminals are compared by device number, which every name of the same port shares.
bool TermiosDevice::IsDeviceAt(const std::string& path) const {
    struct stat mine {};
    struct stat named {};
    if (fd_ < 0 || ::fstat(fd_, &mine) != 0 || ::stat(path.c_str(), &named) != 0) {
        return false;
    }
    if (S_ISCHR(mine.st_mode) && S_ISCHR(named.st_mode)) {
        return mine.st_rdev == named.st_rdev;
    }
    return mine.st_dev == named.st_dev && mine.st_ino == named.st_ino;
}

TermiosDevice::~TermiosDevice() {
    CloseFd(fd_);
}

TermiosDevice::TermiosDevice(TermiosDevice&& other) noexcept
    : fd_(other.fd_),
      hasCounters_(other.hasCounters_),
      hasModemLines_(other.hasModemLines_),
      lastCounters_(other.lastCounters_),
      hungUp_(other.hungUp_) {
    other.fd_ = -1;
}

TermiosDevice& TermiosDevice::operator=(TermiosDevice&& other) noexcept {
    if (this != &other) {
        CloseFd(fd_);
        fd_ = other.fd_;
        hasCounters_ = other.hasCounters_;
        hasModemLines_ = other.hasModemLines_;
        lastCounters_ = other.lastCounters_;
        hungUp_ = other.hungUp_;
        other.fd_ = -1;
    }
    return *this;
}

bool TermiosDevice::Configure(const LineSettings& settings) {
    const unsigned speed = TermiosSpeed(settings.baud);
    termios tio{};
    if (speed == 0 || fd_ < 0 || ::tcgetattr(fd_, &tio) != 0) {
        return false;
    }
    // Raw bytes both ways: no echo, no line editing, no translation, no software flow control.
    tio.c_iflag &=
        ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    if (settings.stopBits == 2) {
        tio.c_cflag |= CSTOPB;
    }
    if (settings.ctsFlow) {
        tio.c_cflag |= CRTSCTS;
    }
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    int rc;
    do {
        rc = ::tcsetattr(fd_, TCSANOW, &tio);
    } while (rc < 0 && errno == EINTR);
    return rc == 0;
}

ReadResult TermiosDevice::Read(uint8_t* data, size_t max) {
    ReadResult result = ReadAvailable(fd_, data, max);
    if (result.hungUp) {
        std::lock_guard lock(mutex_);
        hungUp_ = true;
    }
    return result;
}

bool TermiosDevice::Write(const uint8_t* data, size_t size, int64_t timeoutMs) {
    bool hungUp = false;
    const bool written = WriteAll(fd_, data, size, timeoutMs, hungUp);
    if (hungUp) {
        std::lock_guard lock(mutex_);
        hungUp_ = true;
    }
    return written;
}

bool TermiosDevice::QueryStatus(LineStatus& status) {
    std::lock_guard lock(mutex_);
    status = {};
    if (fd_ < 0 || hungUp_ || PollHungUp(fd_)) {
        hungUp_ = fd_ >= 0;
        return false;
    }
    int count = 0;
    if (IoctlRetry(fd_, FIONREAD, &count) != 0) {
        hungUp_ = true;
        return false;
    }
    status.inQueue = static_cast<uint32_t>(count);
    count = 0;
    if (IoctlRetry(fd_, TIOCOUTQ, &count) == 0) {
        status.outQueue = static_cast<uint32_t>(count);
    }
    serial_icounter_struct counters{};
    if (hasCounters_ && IoctlRetry(fd_, TIOCGICOUNT, &counters) == 0) {
        // The counters only grow; a change since the last query is an error of this interval.
        if (counters.buf_overrun != lastCounters_.buf_overrun)
            status.errors |= kLineRxOverflow;
        if (counters.overrun != lastCounters_.overrun)
            status.errors |= kLineOverrun;
        if (counters.parity != lastCounters_.parity)
            status.errors |= kLineParity;
        if (counters.frame != lastCounters_.frame)
            status.errors |= kLineFraming;
        if (counters.brk != lastCounters_.brk)
            status.errors |= kLineBreak;
        lastCounters_ = counters;
    }
    return true;
}

bool TermiosDevice::SetRts(bool raised) {
    if (!hasModemLines_) {
        return true;
    }
    int bits = TIOCM_RTS;
    if (IoctlRetry(fd_, raised ? TIOCMBIS : TIOCMBIC, &bits) == 0) {
        return true;
    }
    return NotSupported(errno);
}

bool TermiosDevice::HungUp() {
    std::lock_guard lock(mutex_);
    if (!hungUp_ && fd_ >= 0 && PollHungUp(fd_)) {
        hungUp_ = true;
    }
    return hungUp_;
}

}  // namespace kestrel
