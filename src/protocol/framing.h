#pragma once

#include <cstdint>

#include "platform/serial_device.h"
#include "protocol/receive_buffer.h"

namespace kestrel {

// Receives the answers that the framing step cuts from the byte stream.
class AnswerSink {
  public:
    virtual ~AnswerSink() = default;
    // Takes one answer, without its terminator; reports whether it was queued.
    virtual bool Deliver(const uint8_t* text, uint32_t length) = 0;
};

// Queues each answer in the AnswerRing and posts kMsgAnalyse to Anl_Recv_Thread; a refused push
// posts nothing.
class AnswerRingSink final : public AnswerSink {
  public:
    bool Deliver(const uint8_t* text, uint32_t length) override;
};

// Returns the value width of menu item `number` in an "EX" answer, or -1 outside the catalogue.
using MenuWidthLookup = int (*)(int32_t number);

// What the answer-length rules make of the data at the front of the buffer.
enum class LengthOutcome {
    Known,      // the answer must end at `length`
    Unknown,    // no length yet: resynchronise and wait for more bytes
    BadMenuNo,  // a menu answer whose number can never be valid: discard it
};

// The result of the answer-length rules.
struct AnswerLengthResult {
    LengthOutcome outcome = LengthOutcome::Unknown;
    uint32_t length = 0;
};

// Determines where the answer at the front of the buffer must end.
AnswerLengthResult AnswerLength(const ReceiveBuffer& buffer, MenuWidthLookup menuWidth);

// Drops the leading bytes before the first upper-case letter, digit, "?" or ";" (all of them when
// there is none), as after a framing error or a break.
void DropLineNoise(ReceiveBuffer& buffer);

// Removes the held bytes up to and including the first that cannot belong to an answer; removes
// nothing while every held byte could still be part of one.
void Resynchronise(ReceiveBuffer& buffer);

// Removes the held bytes up to and including the first ";", or all of them when none is held.
void DiscardThroughTerminator(ReceiveBuffer& buffer);

// Runs one framing step after a read that reported `lineError`: delivers at most one answer to
// the sink, or keeps or discards bytes. Menu answers are measured through `menuWidth`.
void FramingStep(ReceiveBuffer& buffer, uint32_t lineError, AnswerSink& sink,
                 MenuWidthLookup menuWidth);

// Runs one framing step of the receive thread: answers go to the AnswerRing, menu answers are
// measured against the store's menu catalogue.
void FramingStep(ReceiveBuffer& buffer, uint32_t lineError);

}  // namespace kestrel
