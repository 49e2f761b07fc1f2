// Feeds arbitrary byte streams, in reads of arbitrary sizes with arbitrary line errors, through
// the framing step, and checks that every answer ends where its rule says, that the buffer stays
// within bounds, and that a run of good answers always gets through again afterwards.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "protocol/cat_catalogue.h"
#include "protocol/framing.h"
#include "protocol/receive_buffer.h"

namespace kestrel {
namespace {

// A menu catalogue of 118 items of widths 1 to 8.
int FuzzMenuWidth(int32_t number) {
    if (number < 1 || number > 118) {
        return -1;
    }
    return 1 + number % 8;
}

void Fail(const char* what) {
    std::fprintf(stderr, "framing invariant broken: %s\n", what);
    std::abort();
}

bool Plausible(uint8_t b) {
    return b >= 0x20 && (b <= 0x5F || b == '}');
}

bool NoTerminatorIn(const uint8_t* text, uint32_t length) {
    return std::memchr(text, ';', length) == nullptr;
}

struct CheckingSink : AnswerSink {
    explicit CheckingSink(const ReceiveBuffer& buffer) : buffer(buffer) {}

    bool Deliver(const uint8_t* text, uint32_t length) override {
        if (text != buffer.bytes.data())
            Fail("answer not taken from the front");
        if (length + 1 > buffer.count)
            Fail("answer runs past the held bytes");
        if (buffer.bytes[length] != ';')
            Fail("answer does not end at a terminator");
        if (length < 2)
            Fail("answer shorter than its code");
        const char c0 = static_cast<char>(text[0]);
        const char c1 = static_cast<char>(text[1]);
        if (c0 == 'E' && c1 == 'X') {
            if (length < 5)
                Fail("menu answer without its number");
            int32_t number = 0;
            for (uint32_t i = 2; i < 5; ++i) {
                if (text[i] < '0' || text[i] > '9')
                    Fail("menu number not three digits");
                number = number * 10 + (text[i] - '0');
            }
            const int width = FuzzMenuWidth(number);
            if (width < 0)
                Fail("menu number outside the catalogue");
            if (length != static_cast<uint32_t>(width) + 5)
                Fail("menu answer of wrong width");
        } else if ((c0 == 'K' && c1 == 'M') || (c0 == 'I' && c1 == 'D')) {
            const uint32_t window = c0 == 'K' ? 54 : 10;
            if (length + 1 > window)
                Fail("variable answer longer than its window");
            if (!NoTerminatorIn(text, length))
                Fail("variable answer holds a terminator");
            for (uint32_t i = 0; i < length; ++i) {
                if (!Plausible(text[i]))
                    Fail("variable answer holds an impossible byte");
            }
        } else {
            if (c0 < 'A' || c0 > 'Z' || c1 < 'A' || c1 > 'Z')
                Fail("code not two letters");
            const int row = FindAnswerRow(c0, c1);
            if (row >= 0) {
                if (length + 1 != static_cast<uint32_t>(CatAnswerTable[row].length)) {
                    Fail("answer not of its catalogued length");
                }
            } else if (!NoTerminatorIn(text, length)) {
                Fail("uncatalogued answer runs past its first terminator");
            }
        }
        lastWasGood = length == 10 && std::memcmp(text, "FA14250000", 10) == 0;
        ++delivered;
        return true;
    }

    const ReceiveBuffer& buffer;
    bool lastWasGood = false;
    uint64_t delivered = 0;
};

void CheckBuffer(const ReceiveBuffer& buffer) {
    if (buffer.count >= kReceiveBufferSize)
        Fail("count beyond the buffer");
    if (buffer.bytes[buffer.count] != kReceiveFiller)
        Fail("no filler behind the data");
    if (buffer.lengthKnown && (buffer.expected < 3 || buffer.expected > 512)) {
        Fail("known length out of range");
    }
}

ReceiveBuffer fuzzBuffer;

}  // namespace
}  // namespace kestrel

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestrel;
    static constexpr uint32_t kLineErrors[] = {0, 0, 0, 0, 1, 2, 4, 8, 16, 24, 0x8000};
    ReceiveBuffer& buffer = fuzzBuffer;
    buffer.Reset();
    CheckingSink sink(buffer);
    FuzzedDataProvider provider(data, size);

    while (provider.remaining_bytes() > 0) {
        const size_t readSize = provider.ConsumeIntegralInRange<size_t>(0, 300);
        const uint32_t lineError = provider.PickValueInArray(kLineErrors);
        const std::vector<uint8_t> bytes = provider.ConsumeBytes<uint8_t>(readSize);
        buffer.Append(bytes.data(), static_cast<uint32_t>(bytes.size()));
        FramingStep(buffer, lineError, sink, FuzzMenuWidth);
        CheckBuffer(buffer);
    }

    // Whatever the stream left behind, good answers must get through again. Noise is resynchronised
    // a byte per step at worst, so the bound grows with what is held.
    static constexpr char kGood[] = "FA14250000;";
    const uint32_t limit = buffer.count + 2 * kReceiveBufferSize;
    sink.lastWasGood = false;
    for (uint32_t step = 0; !sink.lastWasGood; ++step) {
        if (step > limit)
            Fail("good answers never got through again");
        buffer.Append(reinterpret_cast<const uint8_t*>(kGood), sizeof kGood - 1);
        FramingStep(buffer, 0, sink, FuzzMenuWidth);
        CheckBuffer(buffer);
    }
    return 0;
}
