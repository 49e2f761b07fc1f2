#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace kestrel {

// The size of the receive thread's framing buffer.
inline constexpr uint32_t kReceiveBufferSize = 16384;
// The byte that stands in every position that holds no received data.
inline constexpr uint8_t kReceiveFiller = 0xFF;

// The receive thread's framing buffer: received bytes at the front, 0xFF filler behind them, and
// what the framing has learned about the answer at the front.
struct ReceiveBuffer {
    std::array<uint8_t, kReceiveBufferSize> bytes;
    uint32_t count = 0;     // bytes of received data at the front
    uint32_t expected = 0;  // answer length of the data at the front; 0 until determined
    char code[3] = {};      // the code the length was determined for
    bool lengthKnown = false;

    ReceiveBuffer() { Empty(); }

    // Drops every held byte and refills the whole buffer with filler.
    void Empty() {
        bytes.fill(kReceiveFiller);
        count = 0;
    }

    // Empties the buffer and forgets the length, as at thread start.
    void Reset() {
        Empty();
        expected = 0;
        lengthKnown = false;
        code[0] = code[1] = code[2] = 0;
    }

    // Removes n bytes from the front (all of them when n exceeds count), moving the rest down
    // and filling the freed bytes behind them with filler.
    void Remove(uint32_t n) {
        n = std::min(n, count);
        const uint32_t rest = count - n;
        std::memmove(bytes.data(), bytes.data() + n, rest);
        std::memset(bytes.data() + rest, kReceiveFiller, n);
        count = rest;
    }

    // Returns the room for new data; one filler byte always stays behind the held data.
    uint32_t FreeSpace() const { return kReceiveBufferSize - 1 - count; }

    // Returns where the next read puts its bytes: just behind the held data.
    uint8_t* Tail() { return bytes.data() + count; }

    // Takes n bytes just read into Tail() (at most FreeSpace()) and sets the filler behind them.
    void Commit(uint32_t n) {
        count += std::min(n, FreeSpace());
        bytes[count] = kReceiveFiller;
    }

    // Copies bytes behind the held data as far as they fit; returns how many were taken.
    uint32_t Append(const uint8_t* data, uint32_t n) {
        n = std::min(n, FreeSpace());
        if (n > 0) {
            std::memcpy(Tail(), data, n);
        }
        Commit(n);
        return n;
    }

    // Returns the held byte at position i, or filler past the held data.
    uint8_t At(uint32_t i) const { return i < count ? bytes[i] : kReceiveFiller; }
};

}  // namespace kestrel
