#include "server/share_settings.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>

#include "platform/csv_reader.h"
#include "platform/paths.h"
#include "platform/replace_file.h"

namespace kestrel {

namespace {

// The longest transmit time-out the options take: a day.
constexpr int64_t kMaxTransmitIdleSeconds = 24 * 60 * 60;

std::optional<int64_t> ParseSeconds(std::string_view text) {
    int64_t value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || ptr != text.data() + text.size() || value < 1 ||
        value > kMaxTransmitIdleSeconds) {
        return std::nullopt;
    }
    return value;
}

// Reads one server row: "NAME,ON,ADDR:PORT".
void ReadServerRow(const CsvReader& reader, size_t row, bool& on, ListenEndpoint& endpoint) {
    std::string error;
    const auto parsed = ParseListenEndpoint(reader.Cell(row, 2), error);
    const std::string& flag = reader.Cell(row, 1);
    if (parsed && (flag == "0" || flag == "1")) {
        on = flag == "1";
        endpoint = *parsed;
    }
}

}  // namespace

ServerOptions ShareSettings::Options() const {
    ServerOptions options;
    if (rigctlOn) {
        options.rigctl = rigctl;
    }
    if (xmlrpcOn) {
        options.xmlrpc = xmlrpc;
    }
    options.allowRaw = allowRaw;
    options.transmitIdleMs = transmitIdleSeconds * 1000;
    return options;
}

std::string ShareSettingsPath() {
    return CommoFilePath(kShareSettingsFileName);
}

ShareSettings ReadShareSettings() {
    ShareSettings settings;
    CsvReader reader;
    const std::string path = ShareSettingsPath();
    if (path.empty() || !reader.ReadFile(path)) {
        return settings;
    }
    for (size_t row = 0; row < reader.Rows(); ++row) {
        const std::string& name = reader.Cell(row, 0);
        const std::string& value = reader.Cell(row, 1);
        if (name == "rigctl") {
            ReadServerRow(reader, row, settings.rigctlOn, settings.rigctl);
        } else if (name == "xmlrpc") {
            ReadServerRow(reader, row, settings.xmlrpcOn, settings.xmlrpc);
        } else if (name == "raw" && (value == "0" || value == "1")) {
            settings.allowRaw = value == "1";
        } else if (name == "txtimeout") {
            settings.transmitIdleSeconds =
                ParseSeconds(value).value_or(settings.transmitIdleSeconds);
        }
    }
    return settings;
}

bool WriteShareSettings(const ShareSettings& settings) {
    const std::string folder = CommoFolderPath();
    if (folder.empty() || (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)) {
        return false;
    }
    std::string text;
    text += "rigctl," + std::string(settings.rigctlOn ? "1," : "0,") +
            FormatListenEndpoint(settings.rigctl) + "\n";
    text += "xmlrpc," + std::string(settings.xmlrpcOn ? "1," : "0,") +
            FormatListenEndpoint(settings.xmlrpc) + "\n";
    text += "raw," + std::string(settings.allowRaw ? "1" : "0") + "\n";
    text += "txtimeout," + std::to_string(settings.transmitIdleSeconds) + "\n";
    return ReplaceFile(ShareSettingsPath(), text);
}

bool TakeShareOption(const std::vector<std::string>& args, size_t& i, ServerOptions& options,
                     std::string& error) {
    std::string name = args[i];
    std::optional<std::string> value;
    if (const size_t equals = name.find('=');
        name.starts_with("--") && equals != std::string::npos) {
        value = name.substr(equals + 1);
        name.resize(equals);
    }
    if (name == "--allow-raw" && !value) {
        options.allowRaw = true;
        return true;
    }
    if (name != "--listen" && name != "--xmlrpc" && name != "--tx-timeout") {
        return false;
    }
    if (!value) {
        if (i + 1 >= args.size()) {
            error = name + " needs a value";
            return true;
        }
        value = args[++i];
    }
    if (name == "--tx-timeout") {
        const auto seconds = ParseSeconds(*value);
        if (!seconds) {
            error = "--tx-timeout takes 1 to 86400 seconds";
            return true;
        }
        options.transmitIdleMs = *seconds * 1000;
        return true;
    }
    const auto endpoint = ParseListenEndpoint(*value, error);
    if (endpoint) {
        (name == "--listen" ? options.rigctl : options.xmlrpc) = *endpoint;
    } else {
        error = name + ": " + error;
    }
    return true;
}

std::string ShareOptionsUsage() {
    return "  --listen [ADDR:]PORT  share the radio with Hamlib's network protocol (rigctld; port "
           "4532 is usual)\n"
           "  --xmlrpc [ADDR:]PORT  share the radio with flrig's XML-RPC interface (port 12345 is "
           "usual)\n"
           "                        both listen on 127.0.0.1 unless ADDR names another address\n"
           "  --allow-raw           let clients send raw commands (rigctld \"w\", "
           "rig.cat_string)\n"
           "  --tx-timeout SECONDS  end a client's transmission after this long without a request "
           "(180)\n";
}

}  // namespace kestrel
