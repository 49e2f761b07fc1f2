#include "protocol/message_ring.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace kestrel {
namespace {

// Takes the oldest entry, checking it comes NUL-terminated.
std::string Take(MessageRing& ring) {
    char buffer[MessageRing::kSlotSize];
    buffer[0] = 'x';
    const size_t length = ring.Take(buffer);
    EXPECT_EQ(buffer[length], 0);
    return std::string(buffer, length);
}

TEST(MessageRing, KeepsOrderRoundTheRingRefusesWhatDoesNotFitAndEmpties) {
    MessageRing ring;
    EXPECT_EQ(Take(ring), "");
    for (const std::string& refused :
         {std::string(512, 'A'), std::string(4000, 'A'), std::string()}) {
        EXPECT_FALSE(ring.Push(refused));
    }
    EXPECT_TRUE(ring.Push(std::string(511, 'K')));
    EXPECT_EQ(Take(ring), std::string(511, 'K'));
    // Three times round the indices with three entries in flight.
    int next = 0;
    int taken = 0;
    for (int i = 0; i < 3 * MessageRing::kSlots; ++i) {
        ASSERT_TRUE(ring.Push("E" + std::to_string(next++)));
        if (i >= 3) {
            ASSERT_EQ(Take(ring), "E" + std::to_string(taken++));
        }
    }
    EXPECT_EQ(ring.Count(), 3);
    ring.Empty();
    EXPECT_EQ(ring.Count(), 0);
    EXPECT_EQ(Take(ring), "");

    for (int i = 0; i < MessageRing::kSlots; ++i) {
        ASSERT_TRUE(ring.Push("F" + std::to_string(i)));
    }
    EXPECT_FALSE(ring.Push("overflow"));
    EXPECT_EQ(ring.Count(), MessageRing::kSlots);
    EXPECT_EQ(Take(ring), "F0");
    EXPECT_TRUE(ring.Push("after"));
    EXPECT_FALSE(ring.Push("overflow"));
    for (int i = 1; i < MessageRing::kSlots; ++i) {
        ASSERT_EQ(Take(ring), "F" + std::to_string(i));
    }
    EXPECT_EQ(Take(ring), "after");
    EXPECT_EQ(Take(ring), "");
}

// Each producer's entries arrive whole and in order, none lost.
TEST(MessageRing, ConcurrentProducersLoseNothing) {
    constexpr int kProducers = 4;
    constexpr int kEach = 3000;
    MessageRing ring;
    std::vector<std::jthread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&ring, p] {
            for (int i = 0; i < kEach; ++i) {
                while (!ring.Push(std::to_string(p * kEach + i))) {
                    std::this_thread::yield();  // a full ring is retried, not lost
                }
            }
        });
    }
    std::vector<int> nextOf(kProducers, 0);
    for (int received = 0; received < kProducers * kEach;) {
        const std::string entry = Take(ring);
        if (!entry.empty()) {
            const int value = std::stoi(entry);
            ASSERT_EQ(value % kEach, nextOf[value / kEach]++) << entry;
            ++received;
        }
    }
    EXPECT_EQ(ring.Count(), 0);
}

}  // namespace
}  // namespace kestrel
