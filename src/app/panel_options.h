#pragma once

#include <optional>
#include <string>
#include <vector>

#include "server/radio_server.h"

namespace kestrel {

// The command line of kestrel-panel.
struct PanelOptions {
    std::string device;       // --device PATH: the port for this run, whatever the COM number
    bool simulate = false;    // --simulate: the built-in transceiver on a pseudo-terminal
    std::string skinFolder;   // --skin DIR: images that replace the built-in skin's
    std::string filesFolder;  // --files DIR: the folder of the program's files for this run
    bool help = false;
    bool version = false;
    ServerOptions share;  // --listen, --xmlrpc, --allow-raw, --tx-timeout: for this run, in
                          // place of the "Share the radio..." settings
};

// Parses the arguments (without the program name); on a bad command line returns nothing and
// sets error to the reason.
std::optional<PanelOptions> ParsePanelOptions(const std::vector<std::string>& args,
                                              std::string& error);

// Returns the text that --help prints.
std::string PanelUsage();

}  // namespace kestrel
