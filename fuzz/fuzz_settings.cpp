// Feeds arbitrary bytes to the comma-separated reader and, through a real file, to the loading
// of the serial settings: neither may crash, hang or read out of bounds.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/csv_reader.h"
#include "platform/paths.h"
#include "serial/serial_settings.h"

namespace {

std::string WorkDir() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/kestrel-fuzz-XXXXXX";
        std::string made = ::mkdtemp(pattern);
        ::mkdir((made + "/CommoFiles").c_str(), 0700);
        kestrel::SetWorkingDirectoryBase(made);
        return made;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kestrel::CsvReader reader;
    if (reader.ReadText(bytes)) {
        for (size_t i = 0; i < reader.CellCount(); ++i) {
            kestrel::CellToInt(reader.CellAt(i));
        }
        reader.Cell(reader.Rows(), reader.Columns());
    }

    const std::string path = WorkDir() + "/CommoFiles/CommSetting.csv";
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    kestrel::SerialSettings settings;
    kestrel::ReadSettingsFile(settings);
    return 0;
}
