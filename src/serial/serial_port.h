#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/serial_device.h"
#include "platform/serial_ports.h"
#include "serial/serial_settings.h"

namespace kestrel {

// String-table number of the failure the settings file reports.
inline constexpr int kStringSettingsUnreadable = 108;

// Write time-outs: a fixed part and a part per byte.
inline constexpr int64_t kWriteTimeoutConstantMs = 500;
inline constexpr int64_t kWriteTimeoutPerByteMs = 10;

// The one serial port of the program, shared by the serial threads, the request thread and the
// window thread. Each reaches the open device through a short lock and then does its I/O
// without one, so a close on one thread never frees a device that another thread still uses.
class SerialPort {
  public:
    SerialPort() = default;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Closes any open device and returns to port 1, 4800 baud, third value 0, ready to open.
    void Initialise();

    // Stores a port number of 1 to 20 and reports true; otherwise stores 1 and reports false.
    bool SetPortNumber(int32_t number);
    // Stores one of the four baud rates and reports true; otherwise stores 4800 and reports false.
    bool SetBaudRate(int32_t baud);
    // Returns the port number.
    int32_t PortNumber() const { return portNumber_.load(std::memory_order_relaxed); }
    // Returns the baud rate.
    int32_t BaudRate() const { return baudRate_.load(std::memory_order_relaxed); }
    // Returns the third stored value.
    int32_t ThirdValue() const { return thirdValue_.load(std::memory_order_relaxed); }
    // Stores the third value.
    void SetThirdValue(int32_t value) { thirdValue_.store(value, std::memory_order_relaxed); }
    // Reports whether the port is open.
    bool IsOpen() const { return open_.load(std::memory_order_relaxed) != 0; }
    // Reports whether the port holds a device (the handle is valid).
    bool HandleValid() const;

    // Opens the device of the port number, configures the line (baud rate, 8 data bits, no
    // parity, 2 stop bits, CTS output flow) and writes "AI1;" when autoInfoOn, "AI0;" otherwise,
    // so the transceiver learns at once whether to report changes by itself. Does nothing and
    // reports false while open or while a start-up failure box shows. On failure posts 0x8109
    // (0, 0) to the main window and reports false.
    bool Open(bool autoInfoOn);
    // Restores one stop bit and no CTS flow, closes the device and reports true; false when the
    // port was not open.
    bool Close();
    // Closes the port for the program's shutdown: from now until Initialise nothing opens it,
    // so that a send step still queued behind the close cannot reach the line.
    void ShutDown();
    // Reports whether the port of a port-table row exists, is free and shows a usable line; a
    // device in use (this port's own, by any name, or one another program has locked) reports
    // false untouched.
    bool Probe(size_t row);

    // Reads the settings file into the port; the defaults unless it was read.
    SettingsFile LoadSettings();
    // Writes the port number, baud rate and third value to the settings file.
    bool SaveSettings() const;

    // Reads and clears the line errors and reads the status, as the serial threads test them.
    // False (errors and status 0) when the port is closed. A device that has vanished closes
    // the port and reads as an I/O error.
    bool ClearError(uint32_t& errors, LineStatus& status);
    // Reads at most max bytes of what has arrived; a vanished device closes the port.
    size_t Read(uint8_t* data, size_t max);
    // Writes the bytes, waiting for the device to take them within the write time-outs.
    bool Write(const uint8_t* data, size_t size);
    // Writes a text.
    bool Write(std::string_view text) {
        return Write(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    }
    // Raises or lowers RTS; false when the port is closed.
    bool SetRts(bool raised);

    // Returns the device path of a port number: the link "CommoFiles/COMn" when it exists,
    // otherwise "/dev/ttyS<n-1>".
    static std::string DevicePath(int32_t number);
    // Opens this path instead of the port number's device for the rest of the run (--device).
    void SetDeviceOverride(std::string path);
    // Opens devices through the factory instead of termios (tests); nullptr restores termios.
    void SetDeviceFactory(SerialDeviceFactory factory);

  private:
    std::shared_ptr<SerialDevice> Device() const;
    std::unique_ptr<SerialDevice> OpenDevice(const std::string& path) const;
    // Closes the port if it still holds this device, after the device hung up.
    void DropDevice(const SerialDevice* device);
    void ReportOpenFailure() const;

    std::mutex openMutex_;            // serialises Open, Close and a drop after a hang-up
    mutable std::mutex deviceMutex_;  // guards device_, override_ and factory_
    std::shared_ptr<SerialDevice> device_;
    std::string override_;
    SerialDeviceFactory factory_;
    std::atomic<uint8_t> open_{0};
    bool shutDown_ = false;  // guarded by openMutex_
    std::atomic<int32_t> portNumber_{1};
    std::atomic<int32_t> baudRate_{4800};
    std::atomic<int32_t> thirdValue_{0};
};

// Returns the program's one serial port.
SerialPort& TheSerialPort();

// Runs the port's part of start-up: initialises the port and loads the settings file. A missing
// file is a first start and keeps the defaults quietly (the file is written at exit); a file that
// exists and cannot be read hands string 108 to showMessage (a modal box) and keeps the defaults
// too. Reports whether the file was read.
bool InitialiseSerialPort(const std::function<void(int stringId)>& showMessage);

}  // namespace kestrel
