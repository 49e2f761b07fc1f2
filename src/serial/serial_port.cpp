#include "serial/serial_port.h"

#include <sys/stat.h>

#include <algorithm>

#include "platform/main_window.h"
#include "platform/message.h"
#include "platform/paths.h"
#include "platform/startup_box.h"
#include "platform/termios_device.h"
#include "serial/serial_settings.h"

namespace kestrel {

namespace {

// A line showing carrier hold or a waiting transmit-immediate character cannot be used.
bool LineUnusable(const LineStatus& status) {
    return (status.status & (kStatusRlsdHold | kStatusTxim)) != 0;
}

LineSettings OpenSettings(int32_t baud) {
    return {.baud = baud, .stopBits = 2, .ctsFlow = true};
}

// What the port leaves behind when it lets go of a device.
LineSettings ClosedSettings(int32_t baud) {
    return {.baud = baud, .stopBits = 1, .ctsFlow = false};
}

}  // namespace

SerialPort& TheSerialPort() {
    static SerialPort port;
    return port;
}

bool InitialiseSerialPort(const std::function<void(int stringId)>& showMessage) {
    SerialPort& port = TheSerialPort();
    port.Initialise();
    const SettingsFile file = port.LoadSettings();
    if (file == SettingsFile::Unreadable && showMessage) {
        showMessage(kStringSettingsUnreadable);
    }
    return file == SettingsFile::Read;
}

void SerialPort::Initialise() {
    Close();
    {
        std::lock_guard openLock(openMutex_);
        shutDown_ = false;
    }
    portNumber_.store(1, std::memory_order_relaxed);
    baudRate_.store(4800, std::memory_order_relaxed);
    thirdValue_.store(0, std::memory_order_relaxed);
}

bool SerialPort::SetPortNumber(int32_t number) {
    const bool valid = number >= 1 && number <= static_cast<int32_t>(kPortTable.size());
    portNumber_.store(valid ? number : 1, std::memory_order_relaxed);
    return valid;
}

bool SerialPort::SetBaudRate(int32_t baud) {
    const bool valid = std::find(kBaudRates.begin(), kBaudRates.end(), baud) != kBaudRates.end();
    baudRate_.store(valid ? baud : 4800, std::memory_order_relaxed);
    return valid;
}

bool SerialPort::HandleValid() const {
    return Device() != nullptr;
}

std::string SerialPort::DevicePath(int32_t number) {
    const std::string link = CommoFilePath("COM" + std::to_string(number));
    struct stat info {};
    // A dangling link still names the port: its adapter is unplugged, not replaced by ttyS.
    if (!link.empty() && ::lstat(link.c_str(), &info) == 0) {
        return link;
    }
    return "/dev/ttyS" + std::to_string(number - 1);
}

void SerialPort::SetDeviceOverride(std::string path) {
    std::lock_guard lock(deviceMutex_);
    override_ = std::move(path);
}

void SerialPort::SetDeviceFactory(SerialDeviceFactory factory) {
    std::lock_guard lock(deviceMutex_);
    factory_ = std::move(factory);
}

std::shared_ptr<SerialDevice> SerialPort::Device() const {
    std::lock_guard lock(deviceMutex_);
    return device_;
}

std::unique_ptr<SerialDevice> SerialPort::OpenDevice(const std::string& path) const {
    SerialDeviceFactory factory;
    {
        std::lock_guard lock(deviceMutex_);
        factory = factory_;
    }
    if (factory) {
        return factory(path);
    }
    return TermiosDevice::Open(path);
}

void SerialPort::ReportOpenFailure() const {
    PostToMainWindow(kMsgStartupFailure);
}

bool SerialPort::Open(bool autoInfoOn) {
    std::lock_guard openLock(openMutex_);
    if (shutDown_ || IsOpen() || StartupBoxShown.load(std::memory_order_relaxed) != 0) {
        return false;
    }
    std::string path;
    {
        std::lock_guard lock(deviceMutex_);
        path = override_;
    }
    if (path.empty()) {
        path = DevicePath(PortNumber());
    }
    std::unique_ptr<SerialDevice> device = OpenDevice(path);
    // A device that refuses the line settings (a rate the driver lacks) is as unusable as one
    // that cannot be opened.
    LineStatus status;
    if (device == nullptr || !device->Configure(OpenSettings(BaudRate())) ||
        !device->QueryStatus(status) || LineUnusable(status)) {
        if (device != nullptr) {
            device->Configure(ClosedSettings(BaudRate()));
        }
        ReportOpenFailure();
        return false;
    }
    std::shared_ptr<SerialDevice> shared = std::move(device);
    {
        std::lock_guard lock(deviceMutex_);
        device_ = shared;
    }
    open_.store(1, std::memory_order_relaxed);
    // This write bypasses the send queue and leaves AutoInfoSent alone.
    const std::string_view autoInfo = autoInfoOn ? "AI1;" : "AI0;";
    shared->Write(reinterpret_cast<const uint8_t*>(autoInfo.data()), autoInfo.size(),
                  kWriteTimeoutConstantMs + kWriteTimeoutPerByteMs * autoInfo.size());
    return true;
}

void SerialPort::ShutDown() {
    {
        std::lock_guard openLock(openMutex_);
        shutDown_ = true;
    }
    Close();
}

bool SerialPort::Close() {
    std::lock_guard openLock(openMutex_);
    if (!IsOpen()) {
        return false;
    }
    std::shared_ptr<SerialDevice> device;
    {
        std::lock_guard lock(deviceMutex_);
        device.swap(device_);
    }
    if (device != nullptr) {
        device->Configure(ClosedSettings(BaudRate()));
    }
    open_.store(0, std::memory_order_relaxed);
    return true;
}

void SerialPort::DropDevice(const SerialDevice* gone) {
    std::lock_guard openLock(openMutex_);
    std::lock_guard lock(deviceMutex_);
    if (device_.get() != gone) {
        return;
    }
    device_.reset();
    open_.store(0, std::memory_order_relaxed);
}

bool SerialPort::Probe(size_t row) {
    if (row >= kPortTable.size()) {
        return false;
    }
    const std::string path = DevicePath(kPortTable[row].number);
    // Line settings belong to the device, not to one open of it: a probe of the port in use, by
    // whatever name, would rewrite the live line. A device another program holds does not open.
    if (const std::shared_ptr<SerialDevice> held = Device(); held && held->IsDeviceAt(path)) {
        return false;
    }
    std::unique_ptr<SerialDevice> device = OpenDevice(path);
    if (device == nullptr) {
        return false;
    }
    LineStatus status;
    const bool usable = device->Configure(OpenSettings(BaudRate())) &&
                        device->QueryStatus(status) && !LineUnusable(status);
    device->Configure(ClosedSettings(BaudRate()));
    return usable;
}

SettingsFile SerialPort::LoadSettings() {
    SerialSettings settings;
    const SettingsFile read = ReadSettingsFile(settings);
    SetPortNumber(settings.portNumber);
    SetBaudRate(settings.baudRate);
    SetThirdValue(settings.thirdValue);
    return read;
}

bool SerialPort::SaveSettings() const {
    return WriteSettingsFile({PortNumber(), BaudRate(), ThirdValue()});
}

bool SerialPort::ClearError(uint32_t& errors, LineStatus& status) {
    errors = 0;
    status = {};
    std::shared_ptr<SerialDevice> device = Device();
    if (device == nullptr) {
        return false;
    }
    if (!device->QueryStatus(status)) {
        status = {};
        DropDevice(device.get());
        errors = kLineIoError;
        return true;
    }
    errors = status.errors;
    return true;
}

size_t SerialPort::Read(uint8_t* data, size_t max) {
    std::shared_ptr<SerialDevice> device = Device();
    if (device == nullptr) {
        return 0;
    }
    const ReadResult result = device->Read(data, max);
    if (result.hungUp) {
        DropDevice(device.get());
    }
    return result.count;
}

bool SerialPort::Write(const uint8_t* data, size_t size) {
    std::shared_ptr<SerialDevice> device = Device();
    if (device == nullptr) {
        return false;
    }
    const int64_t timeoutMs =
        kWriteTimeoutConstantMs + kWriteTimeoutPerByteMs * static_cast<int64_t>(size);
    if (device->Write(data, size, timeoutMs)) {
        return true;
    }
    if (device->HungUp()) {
        DropDevice(device.get());
    }
    return false;
}

bool SerialPort::SetRts(bool raised) {
    std::shared_ptr<SerialDevice> device = Device();
    return device != nullptr && device->SetRts(raised);
}

}  // namespace kestrel
