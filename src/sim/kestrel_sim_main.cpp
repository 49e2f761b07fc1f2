// kestrel-sim: a simulated Kestrel transceiver on a pseudo-terminal or a serial device, with an
// operator console on standard input.

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/real_runtime.h"
#include "platform/runtime.h"
#include "sim/device_link.h"
#include "sim/operator_console.h"
#include "sim/pty_link.h"
#include "sim/sim_faults.h"
#include "sim/transceiver.h"

namespace {

using namespace kestrel;

std::atomic<bool> g_stop{false};

void OnSignal(int) {
    g_stop.store(true);
}

constexpr const char* kUsage =
    "Usage: kestrel-sim [OPTIONS]\n"
    "\n"
    "Plays a Kestrel transceiver at the far end of a serial line. By default it makes a\n"
    "pseudo-terminal and prints its path (\"device: /dev/pts/N\"); the panel opens that path as\n"
    "its serial port.\n"
    "\n"
    "Options:\n"
    "  --link PATH         also make PATH a symbolic link to the pseudo-terminal, kept up to\n"
    "                      date when a pulled cable brings a new one (e.g. CommoFiles/COM1)\n"
    "  --device PATH       use the serial device PATH (a null-modem cable) instead of a\n"
    "                      pseudo-terminal\n"
    "  --baud N            line speed: 4800 (default), 9600, 19200 or 38400; answers leave no\n"
    "                      faster than N baud with 8N2 characters\n"
    "  --old-firmware      leave \"ID0747;\" unanswered, as firmware without the extended\n"
    "                      identification does\n"
    "  --ext-id N          the three digits of the extended identification (default 1)\n"
    "  --power-off         start switched off\n"
    "  --power-on-delay MS time from \"PS1;\" to the radio being on (default 1200)\n"
    "  --meter-ms MS       period of the meter reports while AI is on (default 200)\n"
    "  --fault NAME[=AMOUNT]\n"
    "                      start with a fault running (may be given more than once)\n"
    "  --seed N            seed of the meter wander and the random faults (default 1)\n"
    "  --quiet             print nothing but the device path and console answers\n"
    "  --help              print this text\n"
    "\n";

struct MainOptions {
    std::string linkPath;
    std::string devicePath;
    int baud = 4800;
    bool powerOff = false;
    bool quiet = false;
    SimOptions sim;
    std::vector<std::pair<SimFault, std::optional<double>>> faults;
};

bool ParseNumber(const char* text, long min, long max, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= min && value <= max;
}

// Parses the command line; prints the reason and returns nothing when it is wrong.
std::optional<MainOptions> ParseOptions(int argc, char** argv, bool& help) {
    MainOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        long number = 0;
        if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--link") {
            const char* v = value();
            if (v == nullptr) {
                std::cerr << "kestrel-sim: --link needs a path\n";
                return std::nullopt;
            }
            options.linkPath = v;
        } else if (arg == "--device") {
            const char* v = value();
            if (v == nullptr) {
                std::cerr << "kestrel-sim: --device needs a path\n";
                return std::nullopt;
            }
            options.devicePath = v;
        } else if (arg == "--baud") {
            const char* v = value();
            if (v == nullptr || !ParseNumber(v, 1, 38400, number) ||
                (number != 4800 && number != 9600 && number != 19200 && number != 38400)) {
                std::cerr << "kestrel-sim: --baud takes 4800, 9600, 19200 or 38400\n";
                return std::nullopt;
            }
            options.baud = static_cast<int>(number);
        } else if (arg == "--old-firmware") {
            options.sim.answerExtendedId = false;
        } else if (arg == "--ext-id") {
            const char* v = value();
            if (v == nullptr || !ParseNumber(v, 0, 999, number)) {
                std::cerr << "kestrel-sim: --ext-id takes 0 to 999\n";
                return std::nullopt;
            }
            options.sim.extendedId = static_cast<int>(number);
        } else if (arg == "--power-off") {
            options.powerOff = true;
        } else if (arg == "--power-on-delay" || arg == "--meter-ms") {
            const char* v = value();
            if (v == nullptr || !ParseNumber(v, 1, 600000, number)) {
                std::cerr << "kestrel-sim: " << arg << " takes milliseconds (1 to 600000)\n";
                return std::nullopt;
            }
            (arg == "--meter-ms" ? options.sim.meterPeriodMs : options.sim.powerOnDelayMs) =
                static_cast<int>(number);
        } else if (arg == "--seed") {
            const char* v = value();
            if (v == nullptr || !ParseNumber(v, 0, 0x7FFFFFFF, number)) {
                std::cerr << "kestrel-sim: --seed takes a whole number\n";
                return std::nullopt;
            }
            options.sim.seed = static_cast<uint32_t>(number);
        } else if (arg == "--fault") {
            const char* v = value();
            const std::string faultText = v != nullptr ? v : "";
            const size_t equals = faultText.find('=');
            const auto fault = FaultByName(faultText.substr(0, equals));
            std::optional<double> amount;
            if (fault && equals != std::string::npos) {
                char* end = nullptr;
                const std::string text = faultText.substr(equals + 1);
                const double parsed = std::strtod(text.c_str(), &end);
                if (text.empty() || *end != '\0' || parsed < 0.0) {
                    std::cerr << "kestrel-sim: bad fault amount in " << faultText << "\n";
                    return std::nullopt;
                }
                amount = parsed;
            }
            if (!fault) {
                std::cerr << "kestrel-sim: no fault " << faultText << " (see --help)\n";
                return std::nullopt;
            }
            options.faults.emplace_back(*fault, amount);
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else {
            std::cerr << "kestrel-sim: unknown option " << arg << " (see --help)\n";
            return std::nullopt;
        }
    }
    if (!options.devicePath.empty() && !options.linkPath.empty()) {
        std::cerr << "kestrel-sim: --link makes sense only with a pseudo-terminal\n";
        return std::nullopt;
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    bool help = false;
    const auto parsed = ParseOptions(argc, argv, help);
    if (help) {
        std::cout << kUsage << OperatorConsole::Help();
        return 0;
    }
    if (!parsed) {
        return 2;
    }
    const MainOptions& options = *parsed;

    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: a console read returns at once on Ctrl-C
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    RealRuntime runtime;
    SetRuntime(&runtime);

    const LineSettings settings{options.baud, 2, false};
    std::unique_ptr<SimLink> link;
    if (options.devicePath.empty()) {
        link = std::make_unique<PtyLink>(settings, options.linkPath, [](const std::string& path) {
            std::cout << "device: " << path << std::endl;
        });
    } else {
        link = std::make_unique<DeviceLink>(options.devicePath, settings);
    }
    Transceiver radio(*link, options.sim);
    link->Attach(radio);
    if (options.powerOff) {
        radio.SetPower(false);
    }
    for (const auto& [fault, amount] : options.faults) {
        radio.StartFault(fault, amount);
    }
    if (!link->Start()) {
        std::cerr << "kestrel-sim: cannot open "
                  << (options.devicePath.empty() ? "a pseudo-terminal" : options.devicePath)
                  << "\n";
        SetRuntime(nullptr);
        return 1;
    }
    if (!options.devicePath.empty()) {
        std::cout << "device: " << options.devicePath << std::endl;
    }
    radio.Start();
    if (!options.quiet) {
        std::cout << "Kestrel simulator ready at " << options.baud
                  << " baud; type help for the console commands." << std::endl;
    }

    OperatorConsole console(radio);
    std::string line;
    while (!g_stop.load() && !console.QuitRequested()) {
        if (!std::getline(std::cin, line)) {
            if (std::cin.eof()) {
                // Without a console the simulator runs until it is signalled.
                while (!g_stop.load()) {
                    pause();
                }
            }
            std::cin.clear();
            continue;
        }
        std::cout << console.Execute(line) << std::flush;
    }

    radio.Stop();
    link->Stop();
    SetRuntime(nullptr);
    return 0;
}
