// Feeds arbitrary byte streams through the framing step into the answer analysis, with the
// menu catalogue in the store, and checks after every answer that each store field still lies
// within its limits: whatever the line carries, the store never holds an impossible value.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "engine/anl_recv_thread.h"
#include "platform/virtual_runtime.h"
#include "protocol/framing.h"
#include "protocol/radio_state.h"
#include "protocol/receive_buffer.h"

namespace kestrel {
namespace {

void CheckStore() {
    for (int i = 0; i < kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        const int32_t value = GetField(field);
        if (value < FieldMin(field) || value > FieldMax(field)) {
            std::fprintf(stderr, "store field %.*s holds %d outside %d to %d\n",
                         static_cast<int>(FieldName(field).size()), FieldName(field).data(), value,
                         FieldMin(field), FieldMax(field));
            std::abort();
        }
    }
}

struct AnalysingSink : AnswerSink {
    bool Deliver(const uint8_t* text, uint32_t length) override {
        AnalyseAnswer(std::string_view(reinterpret_cast<const char*>(text), length));
        CheckStore();
        return true;
    }
};

// The analysis reaches the clock and the main window; neither is there, so posts go nowhere.
VirtualRuntime& InstallRuntime() {
    static VirtualRuntime* runtime = [] {
        auto* made = new VirtualRuntime;
        SetRuntime(made);
        return made;
    }();
    return *runtime;
}

}  // namespace
}  // namespace kestrel

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestrel;
    InstallRuntime();
    ResetRadioState();
    LoadMenuCatalogue();
    ReceiveBuffer buffer;
    AnalysingSink sink;
    // The first byte cuts the input into reads, as the line delivers it in pieces.
    const size_t piece = size > 0 ? 1 + data[0] % 64 : 1;
    for (size_t at = size > 0 ? 1 : 0; at < size; at += piece) {
        const size_t length = std::min(piece, size - at);
        buffer.Append(data + at, static_cast<uint32_t>(length));
        FramingStep(buffer, 0, sink, MenuAnswerWidth);
    }
    for (int i = 0; i < 200 && buffer.count > 0; ++i) {
        FramingStep(buffer, 0, sink, MenuAnswerWidth);
    }
    return 0;
}
