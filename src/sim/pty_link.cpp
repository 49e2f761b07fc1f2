#include "sim/pty_link.h"

namespace kestrel {

PtyLink::PtyLink(LineSettings settings, std::string linkPath, PathListener listener)
    : SimLink(settings, true), linkPath_(std::move(linkPath)), listener_(std::move(listener)) {}

PtyLink::~PtyLink() {
    Shutdown();
}

std::string PtyLink::Path() const {
    return pty_ ? pty_->Path() : std::string();
}

SerialDevice* PtyLink::OpenDevice() {
    pty_ = PtyPair::Create();
    unplugged_.reset();
    if (!pty_) {
        return nullptr;
    }
    if (!linkPath_.empty()) {
        pty_->LinkAs(linkPath_);
    }
    if (listener_) {
        listener_(pty_->Path());
    }
    return &pty_->FarEnd();
}

void PtyLink::CloseDevice() {
    if (pty_) {
        pty_->Unplug();
        unplugged_ = std::move(pty_);
    }
}

}  // namespace kestrel
