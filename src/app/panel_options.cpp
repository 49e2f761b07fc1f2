#include "app/panel_options.h"

#include "server/share_settings.h"

namespace kestrel {

std::optional<PanelOptions> ParsePanelOptions(const std::vector<std::string>& args,
                                              std::string& error) {
    PanelOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--device" || arg == "--skin" || arg == "--files") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = arg + " needs a path";
                return std::nullopt;
            }
            std::string& target = arg == "--device" ? options.device
                                  : arg == "--skin" ? options.skinFolder
                                                    : options.filesFolder;
            if (!target.empty()) {
                error = arg + " given twice";
                return std::nullopt;
            }
            target = args[++i];
        } else if (arg == "--simulate") {
            options.simulate = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (TakeShareOption(args, i, options.share, error)) {
            if (!error.empty()) {
                return std::nullopt;
            }
        } else {
            error = "unknown argument '" + arg + "'";
            return std::nullopt;
        }
    }
    if (options.simulate && !options.device.empty()) {
        error = "--simulate and --device exclude each other";
        return std::nullopt;
    }
    return options;
}

std::string PanelUsage() {
    return "usage: kestrel-panel [--device PATH | --simulate] [--skin DIR] [--files DIR]\n"
           "                     [--listen [ADDR:]PORT] [--xmlrpc [ADDR:]PORT] [--allow-raw]\n"
           "                     [--tx-timeout SECONDS] [--help] [--version]\n"
           "  --device PATH  open PATH as the serial port for this run\n"
           "  --simulate     the built-in simulated transceiver (connect with the COM key)\n"
           "  --skin DIR     take the panel images found in DIR instead of the built-in ones\n"
           "  --files DIR    keep the settings, shortcut file and COM links in DIR for this run\n"
           "                 (default: ./CommoFiles if it exists, else\n"
           "                 ${XDG_DATA_HOME:-~/.local/share}/kestrel-panel/CommoFiles)\n"
           "  --help         print this text\n"
           "  --version      print the program's version\n" +
           ShareOptionsUsage() +
           "  without --listen or --xmlrpc the servers run as Setup > \"Share the radio...\" "
           "left them\n";
}

}  // namespace kestrel
