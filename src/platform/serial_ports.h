#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace kestrel {

// One row of the port table: the ports the program offers.
struct PortTableRow {
    std::string_view name;
    int32_t number;
};

// clang-format off
inline constexpr std::array<PortTableRow, 20> kPortTable{{
    {"COM1", 1},   {"COM2", 2},   {"COM3", 3},   {"COM4", 4},   {"COM5", 5},
    {"COM6", 6},   {"COM7", 7},   {"COM8", 8},   {"COM9", 9},   {"COM10", 10},
    {"COM11", 11}, {"COM12", 12}, {"COM13", 13}, {"COM14", 14}, {"COM15", 15},
    {"COM16", 16}, {"COM17", 17}, {"COM18", 18}, {"COM19", 19}, {"COM20", 20},
}};
// clang-format on

// The baud rates the transceiver offers.
inline constexpr std::array<int32_t, 4> kBaudRates{4800, 9600, 19200, 38400};

}  // namespace kestrel
