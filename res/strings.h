#pragma once

#include <array>
#include <string_view>

namespace kestrel {

// One entry of the string table: the texts the operator sees, keyed by their numbers.
struct StringEntry {
    int id;
    std::string_view text;
};

// clang-format off
inline constexpr std::array kStringTable{
    StringEntry{102, "Please enter the operating frequency."},
    StringEntry{103, "The entry range is 30000 - 56000000."},
    StringEntry{104, "The input range is incorrect."},
    StringEntry{105, "Please enter the TX command."},
    StringEntry{106, "Failed to open the port.\nPlease confirm the port connection."},
    StringEntry{107, "Failed to read the menu configuration file.\nExecute the control program with the default settings."},
    StringEntry{108, "Failed to read the COM port configuration file.\nExecute the control program with the default settings."},
    StringEntry{109, "Reading the menu setting data now."},
    StringEntry{110, "Connecting the COM port now."},
    StringEntry{111, "Failed to connect the COM port."},
    StringEntry{112, "Update the menu setting.\nPlease close and open the menu window."},
    StringEntry{113, "TRN-747 Version  1.24"},
    StringEntry{114, "Kestrel Panel for Linux"},
    StringEntry{115, "Failed to open the port."},
};
// clang-format on

// Returns the text of a string-table entry, or an empty view for an unknown number.
constexpr std::string_view LoadString(int id) {
    for (const auto& entry : kStringTable) {
        if (entry.id == id) {
            return entry.text;
        }
    }
    return {};
}

}  // namespace kestrel
