// Frames a realistic mixed answer stream: frequency, meter, menu and keyer answers with some line
// noise, and counts heap allocations on the receive path (there must be none).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

#include "protocol/framing.h"
#include "protocol/message_ring.h"
#include "protocol/radio_state.h"
#include "protocol/receive_buffer.h"

namespace {
std::atomic<uint64_t> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace kestrel {
namespace {

// Bytes per receive step at 38400 baud: 3491 bytes/s in 5 ms steps.
constexpr size_t kReadSize = 18;
constexpr double kLineBytesPerSecond = 3491.0;

// Every menu item answers with a three-character value here; the store's own catalogue is filled
// by the menu loader, which the benchmark does not run.
int BenchMenuWidth(int32_t number) {
    return number >= 1 && number <= 118 ? 3 : -1;
}

std::string MixedStream() {
    std::string stream;
    for (int i = 0; i < 40; ++i) {
        stream += "FA" + std::to_string(14000000 + i * 10) + ";";
        stream += "FB0" + std::to_string(7000000 + i) + ";";
        stream += "SM0" + std::to_string(1000 + i).substr(1) + ";";
        stream += "RM1" + std::to_string(1000 + i).substr(1) + ";";
        if (i % 4 == 0) {
            stream += "EX0" + std::to_string(10 + i) + "012;";
        }
        if (i % 10 == 0) {
            stream += "KM1CQ CQ DE KESTREL TEST K;";
            stream += std::string("\x01\x80~", 3);  // line noise
            stream += "?;";
        }
    }
    return stream;
}

int32_t Digits(const uint8_t* text, uint32_t from, uint32_t to) {
    int32_t v = 0;
    for (uint32_t i = from; i < to; ++i) {
        v = v * 10 + (text[i] - '0');
    }
    return v;
}

// Stands in for the analysis thread: stores the value each answer carries.
struct StoringSink : AnswerSink {
    bool Deliver(const uint8_t* text, uint32_t length) override {
        ++answers;
        if (text[0] == 'F' && text[1] == 'A') {
            SetField(Field::FA, Digits(text, 2, length));
        } else if (text[0] == 'F' && text[1] == 'B') {
            SetField(Field::FB, Digits(text, 2, length));
        } else if (text[0] == 'S' && text[1] == 'M') {
            SetField(Field::SM0, Digits(text, 3, length));
        } else if (text[0] == 'R' && text[1] == 'M') {
            SetField(Field::RM1, Digits(text, 3, length));
        } else if (text[0] == 'K' && text[1] == 'M') {
            StoreKeyerText(text[2] - '0', length - 3, reinterpret_cast<const char*>(text) + 3);
        }
        return true;
    }
    uint64_t answers = 0;
};

template <typename Step>
void FeedStream(const std::string& stream, ReceiveBuffer& buffer, const Step& step) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(stream.data());
    for (size_t at = 0; at < stream.size(); at += kReadSize) {
        const size_t n = std::min(kReadSize, stream.size() - at);
        buffer.Append(bytes + at, static_cast<uint32_t>(n));
        step();
    }
    while (buffer.count > 0) {
        step();
    }
}

void BM_FramingWithStoreUpdate(benchmark::State& state) {
    ResetRadioState();
    const std::string stream = MixedStream();
    ReceiveBuffer buffer;
    StoringSink sink;
    uint64_t allocated = 0;
    for (auto _ : state) {
        const uint64_t before = allocations.load(std::memory_order_relaxed);
        FeedStream(stream, buffer, [&] { FramingStep(buffer, 0, sink, BenchMenuWidth); });
        allocated += allocations.load(std::memory_order_relaxed) - before;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
    state.counters["answers/s"] =
        benchmark::Counter(static_cast<double>(sink.answers), benchmark::Counter::kIsRate);
    state.counters["answers/pass"] = static_cast<double>(sink.answers / state.iterations());
    state.counters["allocs"] = static_cast<double>(allocated);
    state.counters["x line rate"] = benchmark::Counter(
        static_cast<double>(state.iterations() * stream.size()) / kLineBytesPerSecond,
        benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FramingWithStoreUpdate);

// The production hand-over: each answer is pushed into the AnswerRing (and the analysis posted;
// no thread runs here) and taken out again as the analysis thread would.
void BM_FramingIntoAnswerRing(benchmark::State& state) {
    ResetRadioState();
    AnswerRing.Empty();
    const std::string stream = MixedStream();
    ReceiveBuffer buffer;
    char answer[MessageRing::kSlotSize];
    uint64_t answers = 0;
    uint64_t allocated = 0;
    for (auto _ : state) {
        const uint64_t before = allocations.load(std::memory_order_relaxed);
        FeedStream(stream, buffer, [&] {
            FramingStep(buffer, 0);
            while (AnswerRing.Take(answer) > 0) {
                ++answers;
            }
        });
        allocated += allocations.load(std::memory_order_relaxed) - before;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
    state.counters["answers/s"] =
        benchmark::Counter(static_cast<double>(answers), benchmark::Counter::kIsRate);
    state.counters["allocs"] = static_cast<double>(allocated);
    state.counters["x line rate"] = benchmark::Counter(
        static_cast<double>(state.iterations() * stream.size()) / kLineBytesPerSecond,
        benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FramingIntoAnswerRing);

}  // namespace
}  // namespace kestrel

BENCHMARK_MAIN();
