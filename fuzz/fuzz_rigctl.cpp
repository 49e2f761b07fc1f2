// Feeds arbitrary lines to a rigctld protocol session over a radio whose every field is made
// of the input: no line may crash it, and every line gets an answer or none, never garbage
// from a previous one.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_radio.h"
#include "server/rigctl_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kestrel::FuzzShare share(bytes);
    kestrel::RigctlSession session(share.context, 1);
    std::string out;
    size_t start = 0;
    while (start <= bytes.size()) {
        const size_t end = std::min(bytes.find('\n', start), bytes.size());
        if (!session.HandleLine(bytes.substr(start, end - start), out)) {
            break;
        }
        start = end + 1;
    }
    return 0;
}
