#include "serial/serial_settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>

#include "platform/csv_reader.h"
#include "platform/paths.h"

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
    const std::string path = SettingsFilePath();
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return false;
    }
    char line[64];
    const int length = std::snprintf(line, sizeof line, "%d,%d,%d\n", settings.portNumber,
                                     settings.baudRate, settings.thirdValue);
    bool ok = length > 0;
    for (int done = 0; ok && done < length;) {
        const ssize_t n = ::write(fd, line + done, static_cast<size_t>(length - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n > 0;
        done += n > 0 ? static_cast<int>(n) : 0;
    }
    // mkstemp makes the file private; the settings file is an ordinary one.
    ok = ok && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace kestrel
