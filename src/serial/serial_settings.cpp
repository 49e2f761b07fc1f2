#include "serial/serial_settings.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <string_view>

#include "platform/csv_reader.h"
#include "platform/paths.h"
#include "platform/replace_file.h"

namespace kestrel {

int32_t CellToInt(std::string_view cell) {
    size_t i = 0;
    while (i < cell.size() && (cell[i] == ' ' || (cell[i] >= '\t' && cell[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < cell.size() && (cell[i] == '+' || cell[i] == '-')) {
        negative = cell[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < cell.size() && cell[i] >= '0' && cell[i] <= '9'; ++i) {
        value = value * 10 + (cell[i] - '0');
        if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) {
            value = int64_t{std::numeric_limits<int32_t>::max()} + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    value = std::min<int64_t>(value, std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(value);
}

std::string SettingsFilePath() {
    return CommoFilePath(kSettingsFileName);
}

SettingsFile ReadSettingsFile(SerialSettings& settings) {
    settings = SerialSettings{};
    const std::string path = SettingsFilePath();
    // No installer writes the file, so its absence is the first start of a new user.
    struct stat info {};
    if (!path.empty() && ::stat(path.c_str(), &info) != 0 && errno == ENOENT) {
        return SettingsFile::Missing;
    }
    CsvReader reader;
    // Fewer than three cells would leave the port without a value to take: the file counts as
    // unreadable and every value keeps its default.
    if (path.empty() || !reader.ReadFile(path) || reader.CellCount() < 3) {
        return SettingsFile::Unreadable;
    }
    settings.portNumber = CellToInt(reader.CellAt(0));
    settings.baudRate = CellToInt(reader.CellAt(1));
    settings.thirdValue = CellToInt(reader.CellAt(2));
    return SettingsFile::Read;
}

bool WriteSettingsFile(const SerialSettings& settings) {
    const std::string folder = CommoFolderPath();
    if (folder.empty() || (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)) {
        return false;
    }
    char line[64];
    const int length = std::snprintf(line, sizeof line, "%d,%d,%d\n", settings.portNumber,
                                     settings.baudRate, settings.thirdValue);
    return length > 0 &&
           ReplaceFile(SettingsFilePath(), std::string_view(line, static_cast<size_t>(length)));
}

}  // namespace kestrel
