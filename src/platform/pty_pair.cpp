#include "platform/pty_pair.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/fd_io.h"

namespace kestrel {

namespace {

bool MakeRaw(int fd) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

// The master side of the pseudo-terminal. It has no line settings or modem lines of its own:
// what the program configures lives on the terminal side.
class PtyFarEnd final : public SerialDevice {
  public:
    explicit PtyFarEnd(int fd) : fd_(fd) {}
    ~PtyFarEnd() override { CloseFd(fd_); }
    PtyFarEnd(const PtyFarEnd&) = delete;
    PtyFarEnd& operator=(const PtyFarEnd&) = delete;

    bool Configure(const LineSettings&) override { return fd_ >= 0; }
    ReadResult Read(uint8_t* data, size_t max) override {
        return fd_ < 0 ? ReadResult{0, true} : ReadAvailable(fd_, data, max);
    }
    bool Write(const uint8_t* data, size_t size, int64_t timeoutMs) override {
        bool hungUp = false;
        return fd_ >= 0 && WriteAll(fd_, data, size, timeoutMs, hungUp);
    }
    bool QueryStatus(LineStatus& status) override {
        status = {};
        int count = 0;
        if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &count) != 0) {
            return false;
        }
        status.inQueue = static_cast<uint32_t>(count);
        return true;
    }
    bool SetRts(bool) override { return fd_ >= 0; }
    bool HungUp() override { return fd_ < 0 || PollHungUp(fd_); }

    void Close() {
        CloseFd(fd_);
        fd_ = -1;
    }

  private:
    int fd_;
};

}  // namespace

std::unique_ptr<PtyPair> PtyPair::Create() {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) {
        return nullptr;
    }
    char name[128] = {};
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0) {
        CloseFd(master);
        return nullptr;
    }
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    // Raw on both sides before any byte moves: a fresh terminal echoes in canonical mode.
    if (slave < 0 || !MakeRaw(slave) || !MakeRaw(master) ||
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK) != 0) {
        CloseFd(slave);
        CloseFd(master);
        return nullptr;
    }
    return std::unique_ptr<PtyPair>(new PtyPair(master, slave, name));
}

PtyPair::PtyPair(int masterFd, int slaveFd, std::string path)
    : far_(std::make_unique<PtyFarEnd>(masterFd)),
      farFd_(masterFd),
      slaveFd_(slaveFd),
      path_(std::move(path)) {}

PtyPair::~PtyPair() {
    Unplug();
}

bool PtyPair::LinkAs(const std::string& linkPath) const {
    // A new link is made beside the old one and renamed over it, so the path never goes missing.
    const std::string temp = linkPath + ".new";
    ::unlink(temp.c_str());
    return ::symlink(path_.c_str(), temp.c_str()) == 0 &&
           std::rename(temp.c_str(), linkPath.c_str()) == 0;
}

void PtyPair::Unplug() {
    static_cast<PtyFarEnd&>(*far_).Close();
    farFd_ = -1;
    CloseFd(slaveFd_);
    slaveFd_ = -1;
}

}  // namespace kestrel
