#include "sim/sim_link.h"

#include <algorithm>
#include <array>

#include "sim/transceiver.h"

namespace kestrel {

namespace {

// The pacing lets no more than this many characters out in one burst after a quiet spell, as a
// UART's transmit FIFO would.
constexpr double kMaxBurst = 16.0;
// A write that the device does not take within this time is given up.
constexpr int64_t kWriteTimeoutMs = 100;
// A device that cannot be opened is tried again after this long.
constexpr int64_t kRetryOpenMs = 500;

}  // namespace

SimLink::SimLink(LineSettings settings, bool paced) : settings_(settings), paced_(paced) {}

SimLink::~SimLink() {
    Shutdown();
}

void SimLink::Attach(Transceiver& radio) {
    {
        std::lock_guard lock(mutex_);
        radio_ = &radio;
    }
    radio.SetLinkControl(this);
}

bool SimLink::Start() {
    std::lock_guard lock(mutex_);
    if (running_) {
        return device_ != nullptr;
    }
    device_ = OpenDevice();
    if (device_ != nullptr) {
        device_->Configure(settings_);
    }
    running_ = true;
    lastPollMs_ = Rt().NowMs();
    timer_ = Rt().StartTimer(kPollMs, [this] { Poll(); });
    return device_ != nullptr;
}

void SimLink::Stop() {
    Shutdown();
    std::lock_guard lock(mutex_);
    if (device_ != nullptr) {
        device_ = nullptr;
        CloseDevice();
    }
}

void SimLink::Shutdown() {
    TimerId timer = 0;
    {
        std::lock_guard lock(mutex_);
        if (!running_) {
            return;
        }
        running_ = false;
        timer = timer_;
        timer_ = 0;
    }
    Rt().CancelTimer(timer);
}

bool SimLink::Connected() const {
    std::lock_guard lock(mutex_);
    return device_ != nullptr;
}

void SimLink::Send(std::string_view bytes) {
    std::lock_guard lock(mutex_);
    if (device_ == nullptr) {
        // With the cable out the bytes go nowhere.
        return;
    }
    pending_.append(bytes);
}

void SimLink::PullCable(int64_t outageMs) {
    std::lock_guard lock(mutex_);
    if (device_ != nullptr) {
        device_ = nullptr;
        CloseDevice();
    }
    pending_.clear();
    reopenAtMs_ = Rt().NowMs() + std::max<int64_t>(0, outageMs);
}

void SimLink::Poll() {
    std::array<uint8_t, 512> buffer{};
    size_t received = 0;
    Transceiver* radio = nullptr;
    {
        std::lock_guard lock(mutex_);
        if (!running_) {
            return;
        }
        const int64_t now = Rt().NowMs();
        const int64_t elapsed = now - lastPollMs_;
        lastPollMs_ = now;
        if (device_ == nullptr) {
            if (reopenAtMs_ >= 0 && now >= reopenAtMs_) {
                device_ = OpenDevice();
                if (device_ != nullptr) {
                    device_->Configure(settings_);
                    reopenAtMs_ = -1;
                    credit_ = 0.0;
                } else {
                    reopenAtMs_ = now + kRetryOpenMs;
                }
            }
            return;
        }
        const ReadResult read = device_->Read(buffer.data(), buffer.size());
        if (read.hungUp) {
            // The device went away under us (an adapter unplugged): try it again later.
            device_ = nullptr;
            CloseDevice();
            pending_.clear();
            reopenAtMs_ = now + kRetryOpenMs;
            return;
        }
        received = read.count;
        if (!pending_.empty()) {
            size_t allowed = pending_.size();
            if (paced_) {
                const int64_t charUs = CharacterTimeUs(settings_.baud, settings_.stopBits);
                credit_ = std::min(kMaxBurst, credit_ + static_cast<double>(elapsed) * 1000.0 /
                                                            static_cast<double>(charUs));
                allowed = std::min(allowed, static_cast<size_t>(credit_));
                credit_ -= static_cast<double>(allowed);
            }
            if (allowed > 0) {
                device_->Write(reinterpret_cast<const uint8_t*>(pending_.data()), allowed,
                               kWriteTimeoutMs);
                pending_.erase(0, allowed);
            }
        } else if (paced_) {
            credit_ = std::min(kMaxBurst, credit_ + static_cast<double>(elapsed) * 1000.0 /
                                                        static_cast<double>(CharacterTimeUs(
                                                            settings_.baud, settings_.stopBits)));
        }
        radio = radio_;
    }
    if (radio != nullptr && received > 0) {
        radio->Receive(std::string_view(reinterpret_cast<const char*>(buffer.data()), received));
    }
}

}  // namespace kestrel
