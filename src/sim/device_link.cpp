#include "sim/device_link.h"

#include "platform/termios_device.h"

namespace kestrel {

DeviceLink::DeviceLink(std::string path, LineSettings settings)
    : SimLink(settings, true), path_(std::move(path)) {}

DeviceLink::~DeviceLink() {
    Shutdown();
}

SerialDevice* DeviceLink::OpenDevice() {
    device_ = TermiosDevice::Open(path_);
    return device_.get();
}

void DeviceLink::CloseDevice() {
    device_.reset();
}

}  // namespace kestrel
