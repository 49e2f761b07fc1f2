#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace kestrel {

// One row of the start-up failure messages shown through 0x8109.
struct StartupMessageRow {
    int32_t enabled;
    int32_t stringId;
};

// clang-format off
inline constexpr std::array<StartupMessageRow, 4> StartupMessageTable{{
    {1, 106},  // the port cannot be opened
    {0, 107},  // the menu configuration file cannot be read (the catalogue is built in)
    {1, 108},  // the serial settings file cannot be read
    {1, 111},  // the transceiver's identification does not match
}};
// clang-format on

// Decides what 0x8109 (mode, row) shows: the string number of the box, or nothing when the row
// is unknown or disabled, or when mode is 0 and another such box is already up.
constexpr std::optional<int32_t> StartupMessageToShow(uint64_t mode, int64_t row, bool boxShown) {
    if (row < 0 || row >= static_cast<int64_t>(StartupMessageTable.size()) ||
        StartupMessageTable[static_cast<size_t>(row)].enabled != 1) {
        return std::nullopt;
    }
    if (mode == 0 && boxShown) {
        return std::nullopt;
    }
    return StartupMessageTable[static_cast<size_t>(row)].stringId;
}

}  // namespace kestrel
