#pragma once

#include <optional>
#include <string>
#include <vector>

#include "server/radio_server.h"

namespace kestrel {

// The command line of kestrel-console.
struct ConsoleOptions {
    std::string device;  // --device PATH: the port for this run, whatever the COM number
    std::string files;   // --files DIR: the folder of the program's files for this run
    bool simulate = false;
    bool trace = false;
    bool help = false;
    ServerOptions share;  // --listen, --xmlrpc, --allow-raw, --tx-timeout
};

// Parses the arguments (without the program name); on a bad command line returns nothing and
// sets error to the reason.
std::optional<ConsoleOptions> ParseConsoleOptions(const std::vector<std::string>& args,
                                                  std::string& error);

// Returns the text that --help prints.
std::string ConsoleUsage();

}  // namespace kestrel
