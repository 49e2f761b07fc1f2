#include "protocol/framing.h"

#include "platform/message.h"
#include "platform/workers.h"
#include "protocol/cat_catalogue.h"
#include "protocol/message_ring.h"
#include "protocol/radio_state.h"
#include "protocol/store_flags.h"

namespace kestrel {
namespace {

// The window in which a keyer memory answer must show its ";" (the longest KM answer).
constexpr uint32_t kKeyerWindow = 54;
// The window in which an identification answer must show its ";".
constexpr uint32_t kIdWindow = 10;
// A menu answer is "EX", three digits, the value and ";".
constexpr uint32_t kMenuAnswerOverhead = 6;
// No answer longer than a ring slot plus its terminator can be queued.
constexpr uint32_t kLongestAnswer = 512;

bool IsUpper(uint8_t b) {
    return b >= 'A' && b <= 'Z';
}
bool IsDigit(uint8_t b) {
    return b >= '0' && b <= '9';
}

// The characters of an answer's parameter field: printable and no higher than "_", with "}"
// allowed as the keyer memory's own character.
bool CanContinueAnswer(uint8_t b) {
    return b >= 0x20 && (b <= 0x5F || b == '}');
}

// Finds the first ";" in a window of the buffer; any byte that cannot stand inside an answer
// (the filler of bytes not yet received among them) ends the search with a failure.
AnswerLengthResult VariableLength(const ReceiveBuffer& buffer, uint32_t window) {
    for (uint32_t i = 0; i < window; ++i) {
        const uint8_t b = buffer.At(i);
        if (b == ';') {
            return {LengthOutcome::Known, i + 1};
        }
        if (!CanContinueAnswer(b)) {
            return {};
        }
    }
    // The step that follows finds no ";" at position 2 and drops the text.
    return {LengthOutcome::Known, 3};
}

AnswerLengthResult MenuAnswerLength(const ReceiveBuffer& buffer, MenuWidthLookup menuWidth) {
    int32_t number = 0;
    for (uint32_t i = 2; i < 5; ++i) {
        // The number is still arriving: wait while the digits held so far could be part of one.
        if (i >= buffer.count) {
            return {};
        }
        if (!IsDigit(buffer.bytes[i])) {
            return {LengthOutcome::BadMenuNo, 0};
        }
        number = number * 10 + (buffer.bytes[i] - '0');
    }
    const int width = menuWidth(number);
    if (width < 0 || static_cast<uint32_t>(width) + kMenuAnswerOverhead > kLongestAnswer) {
        return {LengthOutcome::BadMenuNo, 0};
    }
    return {LengthOutcome::Known, static_cast<uint32_t>(width) + kMenuAnswerOverhead};
}

}  // namespace

bool AnswerRingSink::Deliver(const uint8_t* text, uint32_t length) {
    if (!AnswerRing.Push(text, length)) {
        return false;
    }
    PostToWorker(Worker::AnlRecv, kMsgAnalyse, 0, 0);
    return true;
}

AnswerLengthResult AnswerLength(const ReceiveBuffer& buffer, MenuWidthLookup menuWidth) {
    // The transceiver's error answer "?;" carries no length, so it is dropped a byte at a time.
    if (buffer.count < 2 || buffer.bytes[0] == 0 || buffer.bytes[0] == '?') {
        return {};
    }
    const uint8_t c0 = buffer.bytes[0];
    const uint8_t c1 = buffer.bytes[1];
    if (c0 == 'E' && c1 == 'X') {
        return MenuAnswerLength(buffer, menuWidth);
    }
    if (c0 == 'K' && c1 == 'M') {
        return VariableLength(buffer, kKeyerWindow);
    }
    if (c0 == 'I' && c1 == 'D') {
        return VariableLength(buffer, kIdWindow);
    }
    if (!IsUpper(c0) || !IsUpper(c1)) {
        return {};
    }
    const int row = FindAnswerRow(static_cast<char>(c0), static_cast<char>(c1));
    if (row >= 0) {
        return {LengthOutcome::Known, static_cast<uint32_t>(CatAnswerTable[row].length)};
    }
    // An answer the catalogue does not know still ends at its ";"; the analysis ignores it.
    for (uint32_t i = 2; i < buffer.count; ++i) {
        if (buffer.bytes[i] == ';') {
            return {LengthOutcome::Known, i + 1};
        }
    }
    return {};
}

void DropLineNoise(ReceiveBuffer& buffer) {
    for (uint32_t i = 0; i < buffer.count; ++i) {
        const uint8_t b = buffer.bytes[i];
        if (IsUpper(b) || IsDigit(b) || b == '?' || b == ';') {
            buffer.Remove(i);
            return;
        }
    }
    buffer.Empty();
}

void Resynchronise(ReceiveBuffer& buffer) {
    for (uint32_t i = 0; i < buffer.count; ++i) {
        const uint8_t b = buffer.bytes[i];
        const bool fits = i < 2 ? IsUpper(b) : CanContinueAnswer(b);
        if (!fits) {
            buffer.Remove(i + 1);
            return;
        }
    }
}

void DiscardThroughTerminator(ReceiveBuffer& buffer) {
    for (uint32_t i = 0; i < buffer.count; ++i) {
        if (buffer.bytes[i] == ';') {
            buffer.Remove(i + 1);
            return;
        }
    }
    buffer.Empty();
}

void FramingStep(ReceiveBuffer& buffer, uint32_t lineError, AnswerSink& sink,
                 MenuWidthLookup menuWidth) {
    if (lineError == kLineFraming || lineError == kLineBreak) {
        DropLineNoise(buffer);
    }
    if (!buffer.lengthKnown) {
        buffer.expected = 0;
        const AnswerLengthResult result = AnswerLength(buffer, menuWidth);
        if (result.outcome == LengthOutcome::BadMenuNo) {
            // Line noise after "EX" is cut like any other impossible byte, so that the answer
            // behind it survives. A number that is only invalid is made of bytes that
            // resynchronisation keeps: left alone it would hold the front of the buffer for good.
            const uint32_t held = buffer.count;
            Resynchronise(buffer);
            if (buffer.count == held) {
                DiscardThroughTerminator(buffer);
            }
            return;
        }
        if (result.outcome == LengthOutcome::Unknown) {
            const uint32_t held = buffer.count;
            Resynchronise(buffer);
            // A buffer full of plausible bytes without a ";" could never take another byte, and
            // so never end its answer: start again.
            if (buffer.count == held && buffer.FreeSpace() == 0) {
                buffer.Empty();
            }
            return;
        }
        buffer.expected = result.length;
        buffer.code[0] = static_cast<char>(buffer.bytes[0]);
        buffer.code[1] = static_cast<char>(buffer.bytes[1]);
        buffer.lengthKnown = true;
    }
    if (buffer.count < buffer.expected) {
        return;
    }
    if (buffer.bytes[buffer.expected - 1] == ';') {
        AnswerWaiting.store(0, std::memory_order_relaxed);
        sink.Deliver(buffer.bytes.data(), buffer.expected - 1);
        buffer.Remove(buffer.expected);
    } else {
        // The terminator is not where the catalogue puts it: the answer is too short or too long.
        DiscardThroughTerminator(buffer);
    }
    buffer.lengthKnown = false;
}

void FramingStep(ReceiveBuffer& buffer, uint32_t lineError) {
    AnswerRingSink sink;
    FramingStep(buffer, lineError, sink, MenuAnswerWidth);
}

}  // namespace kestrel
