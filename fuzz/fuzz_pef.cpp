// Feeds arbitrary bytes to the equalizer file reader, directly and through a real file. A load
// either succeeds with nine values on their tables that save back to the same values, or fails
// and leaves the values it was given exactly as they were.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "equalizer/pef_file.h"

namespace {

constexpr kestrel::EqualizerValues kSentinel = {-99, 99, -99, 99, -99, 99, -99, 99, -99};

// The input file and its folder, removed at exit. They live in memory where the system offers a
// memory file system: a disk file costs milliseconds per input and slows the fuzzer a
// hundredfold. Plain arrays, so that no destructor runs before the removal.
char folder[64];
char filePath[96];

void RemoveFiles() {
    ::unlink(filePath);
    ::rmdir(folder);
}

void MakeFiles() {
    std::snprintf(folder, sizeof folder, "%s/kestrel-fuzz-pef-XXXXXX",
                  ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    if (::mkdtemp(folder) == nullptr) {
        std::abort();
    }
    std::snprintf(filePath, sizeof filePath, "%s/input.pef", folder);
    std::atexit(RemoveFiles);
}

void Check(bool ok, const kestrel::EqualizerValues& values) {
    if (!ok) {
        if (values != kSentinel) {
            std::abort();  // a failed load changed the values
        }
        return;
    }
    kestrel::EqualizerValues again = kSentinel;
    if (!kestrel::EqualizerValuesValid(values) ||
        !kestrel::ParsePef(kestrel::FormatPef(values), again) || again != values) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kestrel::EqualizerValues parsed = kSentinel;
    const bool parsedOk = kestrel::ParsePef(bytes, parsed);
    Check(parsedOk, parsed);

    if (filePath[0] == '\0') {
        MakeFiles();
    }
    if (FILE* file = std::fopen(filePath, "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    kestrel::EqualizerValues read = kSentinel;
    const bool readOk = kestrel::ReadPefFile(filePath, read);
    Check(readOk, read);
    if (readOk != parsedOk || read != parsed) {
        std::abort();  // the file path and the bytes path disagree
    }
    return 0;
}
