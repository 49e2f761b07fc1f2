#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/radio_server.h"

namespace kestrel {

// The file in "CommoFiles" that remembers what the panel's "Share the radio..." window chose.
inline constexpr std::string_view kShareSettingsFileName = "ShareSetting.csv";

// The sharing choices of the panel: which servers run, where, and how.
struct ShareSettings {
    bool rigctlOn = false;
    ListenEndpoint rigctl{"127.0.0.1", kRigctlDefaultPort};
    bool xmlrpcOn = false;
    ListenEndpoint xmlrpc{"127.0.0.1", kXmlrpcDefaultPort};
    bool allowRaw = false;
    int64_t transmitIdleSeconds = kDefaultTransmitIdleMs / 1000;

    bool operator==(const ShareSettings&) const = default;
    // Returns the server options these settings ask for (no server when both are off).
    ServerOptions Options() const;
};

// Reads the settings file; a missing or unreadable file, and every bad row, leave the defaults.
ShareSettings ReadShareSettings();
// Writes the settings file through a temporary file and a rename; reports success.
bool WriteShareSettings(const ShareSettings& settings);
// Returns the file's path, or an empty text without a working directory.
std::string ShareSettingsPath();

// Takes the sharing option at args[i] (--listen [ADDR:]PORT, --xmlrpc [ADDR:]PORT, --allow-raw,
// --tx-timeout SECONDS; "--opt=value" too) into options and moves i past its value. Returns
// false when args[i] is no sharing option; sets error when its value is bad.
bool TakeShareOption(const std::vector<std::string>& args, size_t& i, ServerOptions& options,
                     std::string& error);
// Returns the lines that describe the sharing options in a program's --help.
std::string ShareOptionsUsage();

}  // namespace kestrel
