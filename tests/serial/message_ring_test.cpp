#include "protocol/message_ring.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <thread>
#include <vector>

namespace kestrel {
namespace {

class MessageRingTest : public ::testing::Test {
  protected:
    std::string Take() {
        char buffer[MessageRing::kSlotSize];
        const size_t length = ring.Take(buffer);
        EXPECT_EQ(buffer[length], 0) << "the entry is NUL-terminated";
        return std::string(buffer, length);
    }

    MessageRing ring;
};

TEST_F(MessageRingTest, TakeFromAnEmptyOrEmptiedRingReturnsZeroAtOnce) {
    EXPECT_EQ(Take(), "");
    ring.Push("AI1;");
    ring.Push("ID;");
    ring.Empty();
    EXPECT_EQ(ring.Count(), 0);
    char buffer[MessageRing::kSlotSize];
    buffer[0] = 'x';
    EXPECT_EQ(ring.Take(buffer), 0u);
    EXPECT_EQ(buffer[0], 0);
    ring.Push("FA;");
    EXPECT_EQ(Take(), "FA;");
}

TEST_F(MessageRingTest, WrapsAfterTheLastSlot) {
    // Walk the indices round the ring three times with a few entries in flight.
    int next = 0;
    int taken = 0;
    for (int i = 0; i < 3 * MessageRing::kSlots; ++i) {
        ASSERT_TRUE(ring.Push("E" + std::to_string(next++)));
        if (i >= 3) {
            ASSERT_EQ(Take(), "E" + std::to_string(taken++));
        }
    }
    EXPECT_EQ(ring.Count(), 3);
    while (ring.Count() > 0) {
        EXPECT_EQ(Take(), "E" + std::to_string(taken++));
    }
    EXPECT_EQ(taken, next);
}

TEST_F(MessageRingTest, RefusesAPushIntoAFullRingAndKeepsTheOldest) {
    for (int i = 0; i < MessageRing::kSlots; ++i) {
        ASSERT_TRUE(ring.Push("E" + std::to_string(i)));
    }
    EXPECT_FALSE(ring.Push("overflow"));
    EXPECT_EQ(ring.Count(), MessageRing::kSlots);
    EXPECT_EQ(Take(), "E0");
    EXPECT_TRUE(ring.Push("after"));
    EXPECT_FALSE(ring.Push("overflow"));
    for (int i = 1; i < MessageRing::kSlots; ++i) {
        ASSERT_EQ(Take(), "E" + std::to_string(i));
    }
    EXPECT_EQ(Take(), "after");
    EXPECT_EQ(Take(), "");
}

TEST_F(MessageRingTest, RefusesEntriesThatDoNotFitASlot) {
    EXPECT_FALSE(ring.Push(std::string(512, 'A')));
    EXPECT_FALSE(ring.Push(std::string(4000, 'A')));
    EXPECT_FALSE(ring.Push(""));
    EXPECT_EQ(ring.Count(), 0);
    const std::string longest(511, 'K');
    EXPECT_TRUE(ring.Push(longest));
    EXPECT_EQ(Take(), longest);
}

TEST_F(MessageRingTest, ConcurrentProducersLoseNothing) {
    constexpr int kProducers = 4;
    constexpr int kEach = 3000;
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([this, p] {
            for (int i = 0; i < kEach; ++i) {
                const std::string entry = std::to_string(p) + ":" + std::to_string(i);
                // The consumer keeps up; a full ring is retried here, not lost.
                while (!ring.Push(entry)) {
                    std::this_thread::yield();
                }
            }
        });
    }
    std::map<int, int> nextOf;
    int received = 0;
    while (received < kProducers * kEach) {
        const std::string entry = Take();
        if (entry.empty()) {
            std::this_thread::yield();
            continue;
        }
        const size_t colon = entry.find(':');
        ASSERT_NE(colon, std::string::npos) << entry;
        const int producer = std::stoi(entry.substr(0, colon));
        const int index = std::stoi(entry.substr(colon + 1));
        ASSERT_EQ(index, nextOf[producer]++) << "each producer's entries arrive whole and in order";
        ++received;
    }
    for (auto& t : producers) {
        t.join();
    }
    EXPECT_EQ(ring.Count(), 0);
    for (int p = 0; p < kProducers; ++p) {
        EXPECT_EQ(nextOf[p], kEach);
    }
}

}  // namespace
}  // namespace kestrel
