#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// Where udev lists the serial adapters plugged in, by names that stay the same from one plug-in
// to the next (make, model and serial number), each a link to today's /dev/ttyUSBn or ttyACMn.
inline constexpr std::string_view kSerialByIdFolder = "/dev/serial/by-id";

// One serial adapter of the by-id folder.
struct SerialAdapter {
    std::string name;    // the stable name ("usb-FTDI_FT232R_USB_UART_A601ABCD-if00-port0")
    std::string path;    // the by-id link itself, which a COMn link should name
    std::string device;  // the device it leads to today ("/dev/ttyUSB0"), or the path
};

// Returns the link "CommoFiles/COMn" of a port number, whether it exists or not; empty when
// there is no working directory.
std::string ComLinkPath(int32_t number);
// Returns the device COMn opens: its link in "CommoFiles" when there is one (even one whose
// adapter is unplugged: the port is then missing, not replaced by a built-in one), otherwise
// "/dev/ttyS<n-1>".
std::string ComDevicePath(int32_t number);
// Returns what COMn's link names, as written; empty when COMn has no link.
std::string ComLinkTarget(int32_t number);
// Returns what COMn leads to, for the operator: the link's target as written, otherwise
// "/dev/ttyS<n-1>".
std::string ComTargetText(int32_t number);
// Lists the adapters of a by-id folder by name; nothing when the folder is missing.
std::vector<SerialAdapter> ListSerialAdapters(
    const std::string& folder = std::string(kSerialByIdFolder));
// Points the link "CommoFiles/COMn" at a device path, creating the folder when needed and
// replacing an older link in one step. False when COMn there is not a link (a file is never
// replaced) or a step fails.
bool LinkComPort(int32_t number, const std::string& target);
// Removes the link "CommoFiles/COMn", so that COMn is /dev/ttyS<n-1> again; a file is never
// removed. True when no link is left.
bool UnlinkComPort(int32_t number);

}  // namespace kestrel
