#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrel {

// The faults the simulated transceiver can show on demand.
enum class SimFault : uint8_t {
    Noise,      // random bytes on the line, `amount` bytes per second
    LostBytes,  // each byte sent is lost with probability `amount` (0 to 1)
    Slow,       // every byte sent leaves `amount` milliseconds late
    Silence,    // the radio stops answering and reporting
    Unplug,     // the cable is pulled; the device comes back after `amount` milliseconds
    WrongId,    // "ID;" is answered with another model's identification
    Malformed,  // answers lose a character with probability `amount` (0 to 1)
};

// Names and default amounts of the faults, in enum order.
struct SimFaultInfo {
    SimFault fault;
    std::string_view name;
    double defaultAmount;
    std::string_view help;
};

// clang-format off
inline constexpr std::array<SimFaultInfo, 7> SimFaultTable = {{
    {SimFault::Noise,     "noise",     20.0,   "random bytes on the line, AMOUNT bytes per second"},
    {SimFault::LostBytes, "loss",      0.05,   "each byte sent is lost with probability AMOUNT"},
    {SimFault::Slow,      "slow",      400.0,  "every answer leaves AMOUNT ms late"},
    {SimFault::Silence,   "silence",   0.0,    "the radio stops answering and reporting"},
    {SimFault::Unplug,    "unplug",    3000.0, "the cable is pulled and plugged in again after AMOUNT ms"},
    {SimFault::WrongId,   "wrong-id",  0.0,    "\"ID;\" answers \"ID0650;\", another model"},
    {SimFault::Malformed, "malformed", 0.5,    "answers lose a character with probability AMOUNT"},
}};
// clang-format on

// Returns the table row of a fault.
constexpr const SimFaultInfo& FaultInfo(SimFault fault) {
    return SimFaultTable[static_cast<size_t>(fault)];
}

// Returns the fault of a name, if there is one.
constexpr std::optional<SimFault> FaultByName(std::string_view name) {
    for (const SimFaultInfo& info : SimFaultTable) {
        if (info.name == name) {
            return info.fault;
        }
    }
    return std::nullopt;
}

static_assert(
    [] {
        for (size_t i = 0; i < SimFaultTable.size(); ++i) {
            if (static_cast<size_t>(SimFaultTable[i].fault) != i) {
                return false;
            }
        }
        return true;
    }(),
    "fault rows stand in enum order");

}  // namespace kestrel
