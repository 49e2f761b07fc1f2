#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string_view>

namespace kestrel {

// A first-in-first-out queue of text entries between threads: 2048 slots of up to 511 bytes.
// Every entry pushed is announced by one posted message, and the consumer takes one entry per
// message. Pushes from several threads are serialised; there is one consumer.
class MessageRing {
  public:
    // The number of entries the ring holds at most.
    static constexpr int kSlots = 2048;
    // The bytes of one slot; an entry leaves room for the NUL that Take adds.
    static constexpr size_t kSlotSize = 512;

    MessageRing();
    MessageRing(const MessageRing&) = delete;
    MessageRing& operator=(const MessageRing&) = delete;

    // Queues a copy of 1 to 511 bytes; false (nothing queued) for any other length or a full ring.
    bool Push(const void* bytes, size_t length);
    // Queues a copy of the text; false when refused.
    bool Push(std::string_view text) { return Push(text.data(), text.size()); }
    // Moves the oldest entry into the buffer, NUL-terminated, and returns its length; returns 0
    // at once when the ring is empty.
    size_t Take(char (&buffer)[kSlotSize]);
    // Drops every entry and clears its slot; the start routines call it before a thread runs.
    void Empty();
    // Returns the number of entries queued.
    int Count() const;

  private:
    mutable std::mutex mutex_;
    int16_t writeIndex_;  // slot of the newest entry, -1 when empty
    int16_t readIndex_;   // slot of the oldest entry, -1 when empty
    // Entries held. With both indices naming occupied slots, an empty and a full ring look alike
    // from the indices alone; the count tells them apart where a lap flag would.
    int held_;
    std::array<uint16_t, kSlots> length_;
    std::array<std::array<char, kSlotSize>, kSlots> data_;
};

// The finished command strings for Sio_Send_Thread.
extern MessageRing CommandRing;
// The framed answers for Anl_Recv_Thread.
extern MessageRing AnswerRing;

}  // namespace kestrel
