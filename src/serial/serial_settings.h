#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// The settings file of the serial port, in the "CommoFiles" folder.
inline constexpr std::string_view kSettingsFileName = "CommSetting.csv";

// The three stored values of the serial port: port number, baud rate and a third value that the
// program only carries from one run to the next.
struct SerialSettings {
    int32_t portNumber = 1;
    int32_t baudRate = 4800;
    int32_t thirdValue = 0;
};

// Converts a cell as a decimal integer the way atoi does (leading blanks, a sign, the digits up
// to the first other character), clamped to the 32-bit range.
int32_t CellToInt(std::string_view cell);
// What reading the settings file came to.
enum class SettingsFile : uint8_t {
    Read,        // the three values came from the file
    Missing,     // no file yet: a first start
    Unreadable,  // a file that cannot be read or holds fewer than three cells
};

// Reads the first three cells of the settings file, in row order whatever lines they stand on.
// Unless the file was read, every value keeps its default.
SettingsFile ReadSettingsFile(SerialSettings& settings);
// Writes the line "%d,%d,%d\n" to the settings file, creating the folder when needed. The line
// goes to a temporary file in the same folder that is renamed over the old file, so a failed
// write leaves the old file whole.
bool WriteSettingsFile(const SerialSettings& settings);
// Returns the path of the settings file, or an empty text without a working directory.
std::string SettingsFilePath();

}  // namespace kestrel
