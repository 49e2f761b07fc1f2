#include "protocol/message_ring.h"

#include <cstring>

namespace kestrel {

// The rings are globals of a megabyte each: a run-time constructor rather than constant
// initialisers keeps them in zero-initialised storage instead of the program image. The slots
// are left as they are: a slot is read only as far as the entry pushed into it, and writing
// zeros over the whole megabyte would only bring all of it into memory.
MessageRing::MessageRing() : writeIndex_(-1), readIndex_(-1), held_(0), length_{} {}

MessageRing CommandRing;
MessageRing AnswerRing;

bool MessageRing::Push(const void* bytes, size_t length) {
    if (length == 0 || length >= kSlotSize) {
        return false;
    }
    std::lock_guard lock(mutex_);
    // A full ring refuses the entry rather than overwriting the oldest one, which the consumer
    // has been told about and has not taken yet.
    if (held_ == kSlots) {
        return false;
    }
    if (writeIndex_ < 0) {
        readIndex_ = 0;
    }
    writeIndex_ = static_cast<int16_t>((writeIndex_ + 1) % kSlots);
    std::memcpy(data_[writeIndex_].data(), bytes, length);
    length_[writeIndex_] = static_cast<uint16_t>(length);
    ++held_;
    return true;
}

size_t MessageRing::Take(char (&buffer)[kSlotSize]) {
    std::lock_guard lock(mutex_);
    if (held_ == 0) {
        buffer[0] = 0;
        return 0;
    }
    const size_t length = length_[readIndex_];
    std::memcpy(buffer, data_[readIndex_].data(), length);
    buffer[length] = 0;
    std::memset(data_[readIndex_].data(), 0, length);
    length_[readIndex_] = 0;
    readIndex_ = static_cast<int16_t>((readIndex_ + 1) % kSlots);
    // A drained ring starts again at its first slot, so that a ring that never holds much
    // keeps using the same few pages of its megabyte.
    if (--held_ == 0) {
        writeIndex_ = -1;
        readIndex_ = -1;
    }
    return length;
}

// Take clears what it takes, so only the slots still held need clearing.
void MessageRing::Empty() {
    std::lock_guard lock(mutex_);
    for (int i = 0; i < held_; ++i) {
        const size_t slot = static_cast<size_t>((readIndex_ + i) % kSlots);
        data_[slot].fill(0);
        length_[slot] = 0;
    }
    writeIndex_ = -1;
    readIndex_ = -1;
    held_ = 0;
}

int MessageRing::Count() const {
    std::lock_guard lock(mutex_);
    return held_;
}

}  // namespace kestrel
