#include "console/console_options.h"

#include "server/share_settings.h"

namespace kestrel {

std::optional<ConsoleOptions> ParseConsoleOptions(const std::vector<std::string>& args,
                                                  std::string& error) {
    ConsoleOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--device") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = "--device needs a path";
                return std::nullopt;
            }
            options.device = args[++i];
        } else if (arg.starts_with("--device=")) {
            options.device = arg.substr(9);
            if (options.device.empty()) {
                error = "--device needs a path";
                return std::nullopt;
            }
        } else if (arg == "--files") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = "--files needs a path";
                return std::nullopt;
            }
            options.files = args[++i];
        } else if (arg == "--simulate") {
            options.simulate = true;
        } else if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (TakeShareOption(args, i, options.share, error)) {
            if (!error.empty()) {
                return std::nullopt;
            }
        } else {
            error = "unknown option '" + arg + "'";
            return std::nullopt;
        }
    }
    if (options.simulate && !options.device.empty()) {
        error = "--simulate and --device cannot be used together";
        return std::nullopt;
    }
    return options;
}

std::string ConsoleUsage() {
    return R"(usage: kestrel-console [--device PATH] [--simulate] [--files DIR] [--trace]
                       [--listen [ADDR:]PORT] [--xmlrpc [ADDR:]PORT] [--allow-raw]
                       [--tx-timeout SECONDS] [--help]

Runs the Kestrel Panel engine without a window. Reads "CommSetting.csv" in the program's
folder (./CommoFiles if it exists, else ${XDG_DATA_HOME:-~/.local/share}/kestrel-panel/CommoFiles),
opens the port, starts the workers and prints "ready".

options:
  --device PATH  use PATH as the port for this run, whatever the COM number
  --files DIR    keep the settings file and COM links in DIR for this run
  --simulate     start the built-in simulated transceiver on a pseudo-terminal and use it
  --trace        print every write to the port as "tx <bytes>" and every read as "rx <bytes>"
  --help         print this text
)" + ShareOptionsUsage() +
           R"(
commands, one a line on standard input:
  post N [B [V]] make request N (1-153) with the VFO-B bit B (default 0) and value V (default 0);
                 "post 1" connects to the transceiver and, once connected, disconnects
  raw TEXT       send TEXT exactly as typed, for example "raw FA14250000;"
  get NAME       print NAME=VALUE for a stored value: FA, LK, AI, MD0, SQ1, RM0, NB1,
                 EXnnn (menu item nnn), KMn (keyer text n), IDX (extended identification)
  wait MS        wait MS milliseconds
  menu save PATH     write all 118 menu settings to a settings file; prints "saved 118"
  menu load PATH     send the items where the file and the radio differ; prints "changed N"
  menu compare PATH  print "differs NNN file=V radio=W" per difference, then "differences N"
  menu get NNN       print "menu NNN=V", V the whole number the EX command carries
  menu set NNN V     set menu item NNN to V and send it
  quit           shut down (as at the end of the input)
Blank lines and lines starting with "#" are ignored.

output, one event a line: "ready", "notify 0xNNNN" for every notification, "message N <text>"
for every message box the panel would show, "NAME=VALUE", "error: <reason>", and with --trace
"tx <bytes>" and "rx <bytes>", and "sharing rigctl ADDR:PORT" and "sharing xmlrpc ADDR:PORT" once
each server listens.
)";
}

}  // namespace kestrel
