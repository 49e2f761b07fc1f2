#include "protocol/framing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/message.h"
#include "platform/virtual_runtime.h"
#include "platform/workers.h"
#include "protocol/message_ring.h"
#include "protocol/store_flags.h"

namespace kestrel {
namespace {

using Answers = std::vector<std::string>;

// A menu catalogue of 118 items: item 5 answers with one value character, the others with three.
int TestMenuWidth(int32_t number) {
    if (number < 1 || number > 118) {
        return -1;
    }
    return number == 5 ? 1 : 3;
}

struct RecordingSink : AnswerSink {
    bool Deliver(const uint8_t* text, uint32_t length) override {
        answers.emplace_back(reinterpret_cast<const char*>(text), length);
        return true;
    }
    Answers answers;
};

class Framing : public ::testing::Test {
  protected:
    void SetUp() override { AnswerWaiting.store(1); }
    void TearDown() override { AnswerWaiting.store(0); }

    // Appends one read's bytes and runs the framing step on them.
    void Read(const std::string& bytes, uint32_t lineError = 0) {
        buffer.Append(reinterpret_cast<const uint8_t*>(bytes.data()),
                      static_cast<uint32_t>(bytes.size()));
        FramingStep(buffer, lineError, sink, TestMenuWidth);
    }

    // Runs read steps with nothing new until the buffer is empty, as the 5 ms receive steps do.
    void Drain() {
        for (int i = 0; i < 200 && buffer.count > 0; ++i) {
            FramingStep(buffer, 0, sink, TestMenuWidth);
        }
    }

    std::string Held() const {
        return std::string(reinterpret_cast<const char*>(buffer.bytes.data()), buffer.count);
    }

    ReceiveBuffer buffer;
    RecordingSink sink;
};

TEST_F(Framing, DeliversAnswerWithoutItsTerminator) {
    Read("FA14250000;");
    EXPECT_EQ(sink.answers, Answers{"FA14250000"});
    EXPECT_EQ(buffer.count, 0u);
    EXPECT_FALSE(buffer.lengthKnown);
    EXPECT_EQ(AnswerWaiting.load(), 0);
    EXPECT_EQ(buffer.bytes[0], kReceiveFiller);
}

TEST_F(Framing, ReassemblesAnswerSplitAcrossReads) {
    Read("FA142");
    EXPECT_TRUE(sink.answers.empty());
    EXPECT_TRUE(buffer.lengthKnown);
    EXPECT_EQ(buffer.expected, 11u);
    EXPECT_EQ(AnswerWaiting.load(), 1);
    Read("50000;");
    EXPECT_EQ(sink.answers, Answers{"FA14250000"});
}

TEST_F(Framing, KeepsAnIdentificationUntilItsTerminatorArrives) {
    Read("ID03");
    EXPECT_EQ(Held(), "ID03");
    EXPECT_FALSE(buffer.lengthKnown);
    Read("10;");
    EXPECT_EQ(sink.answers, Answers{"ID0310"});
}

TEST_F(Framing, DeliversOneAnswerPerStep) {
    Read("FA14250000;FB07000000;SM0005;");
    EXPECT_EQ(sink.answers, Answers{"FA14250000"});
    FramingStep(buffer, 0, sink, TestMenuWidth);
    EXPECT_EQ(sink.answers.size(), 2u);
    Drain();
    EXPECT_EQ(sink.answers, (Answers{"FA14250000", "FB07000000", "SM0005"}));
}

// A stream of every kind of answer with some noise, split into two reads at every byte boundary
// and also fed one byte per read, must always come out as the same answers.
TEST_F(Framing, ReassemblesEveryAnswerKindAtEveryByteBoundary) {
    const std::string stream =
        "\x01xFA14250000;ID0310;KM1ABC DEF};EX0051;ZZ12;\x7f\xfe?;SM0005;"
        "IF000142500000000000000000;"
        "EX001123;RO0000500;";
    const Answers expected{"FA14250000",
                           "ID0310",
                           "KM1ABC DEF}",
                           "EX0051",
                           "ZZ12",
                           "SM0005",
                           "IF000142500000000000000000",
                           "EX001123",
                           "RO0000500"};
    for (size_t split = 0; split <= stream.size(); ++split) {
        SCOPED_TRACE(split);
        buffer.Reset();
        sink.answers.clear();
        Read(stream.substr(0, split));
        Read(stream.substr(split));
        Drain();
        EXPECT_EQ(sink.answers, expected);
    }
    buffer.Reset();
    sink.answers.clear();
    for (char c : stream) {
        Read(std::string(1, c));
    }
    Drain();
    EXPECT_EQ(sink.answers, expected);
}

TEST_F(Framing, DropsAnAnswerLongerThanCatalogued) {
    Read("FA00014250000;");
    EXPECT_TRUE(sink.answers.empty());
    EXPECT_EQ(buffer.count, 0u);
    EXPECT_FALSE(buffer.lengthKnown);
    EXPECT_EQ(AnswerWaiting.load(), 1);
}

TEST_F(Framing, DropsAShortAnswerButKeepsTheNextOne) {
    Read("FA1425;FB07000000;");
    EXPECT_TRUE(sink.answers.empty());
    EXPECT_EQ(Held(), "FB07000000;");
    Drain();
    EXPECT_EQ(sink.answers, Answers{"FB07000000"});
}

TEST_F(Framing, RemovesTheErrorAnswerInTwoStepsAndLeavesAnswerWaiting) {
    Read("?;FA14250000;");
    EXPECT_EQ(Held(), ";FA14250000;");
    FramingStep(buffer, 0, sink, TestMenuWidth);
    EXPECT_EQ(Held(), "FA14250000;");
    EXPECT_TRUE(sink.answers.empty());
    EXPECT_EQ(AnswerWaiting.load(), 1);
    FramingStep(buffer, 0, sink, TestMenuWidth);
    EXPECT_EQ(sink.answers, Answers{"FA14250000"});
}

TEST_F(Framing, SkipsNoiseBeforeAndBetweenAnswers) {
    Read(std::string("\x01\x80xy\x00", 5) + "FA14250000;\xfe\x7f" + "FB07000000;");
    Drain();
    EXPECT_EQ(sink.answers, (Answers{"FA14250000", "FB07000000"}));
}

TEST_F(Framing, LosesAnAnswerWithNoiseInsideButNotTheNext) {
    Read(
        "FA142\x01"
        "50000;FB07000000;");
    Drain();
    EXPECT_EQ(sink.answers, Answers{"FB07000000"});
}

TEST_F(Framing, ResynchronisesThroughAnImpossibleByteInAnOpenAnswer) {
    Read("ZZ1~FA1");
    EXPECT_EQ(Held(), "FA1");
    Read("4250000;");
    EXPECT_EQ(sink.answers, Answers{"FA14250000"});
}

TEST_F(Framing, LineErrorDropsLeadingNoiseAtOnce) {
    for (uint32_t lineError : {kLineFraming, kLineBreak}) {
        SCOPED_TRACE(lineError);
        buffer.Reset();
        sink.answers.clear();
        Read(std::string("\x00\x80xy~", 5) + "FA14250000;", lineError);
        EXPECT_EQ(sink.answers, Answers{"FA14250000"});
    }
}

TEST_F(Framing, LineErrorKeepsDigitsQuestionMarksAndTerminators) {
    Read(
        "\x80"
        "5;",
        kLineFraming);
    EXPECT_EQ(Held(), ";") << "the 5 is dropped by resynchronisation, not by the line error";
    buffer.Reset();
    Read("\x80?;", kLineBreak);
    EXPECT_EQ(Held(), ";");
}

TEST_F(Framing, LineErrorEmptiesABufferOfNoise) {
    Read(std::string("\x00\x01\x80xyz", 6), kLineBreak);
    EXPECT_EQ(buffer.count, 0u);
    for (uint8_t b : buffer.bytes) {
        ASSERT_EQ(b, kReceiveFiller);
    }
}

TEST_F(Framing, OtherLineErrorsDropNoNoise) {
    for (uint32_t lineError : {0u, 1u, 2u, 4u, 24u, 0x8000u}) {
        SCOPED_TRACE(lineError);
        buffer.Reset();
        sink.answers.clear();
        Read("xyFA14250000;", lineError);
        EXPECT_TRUE(sink.answers.empty());
        EXPECT_EQ(Held(), "yFA14250000;");
    }
}

TEST_F(Framing, LineErrorLeavesAnAnswerInProgressAlone) {
    Read("FA142");
    Read("50000;", kLineFraming);
    EXPECT_EQ(sink.answers, Answers{"FA14250000"});
}

TEST_F(Framing, MeasuresMenuAnswersByTheirItemWidth) {
    Read("EX0051;");
    Read("EX001123;");
    Read("EX118ABC;");
    EXPECT_EQ(sink.answers, (Answers{"EX0051", "EX001123", "EX118ABC"}));
}

TEST_F(Framing, DropsAMenuAnswerOfTheWrongWidth) {
    Read("EX00512;FA14250000;");
    EXPECT_EQ(Held(), "FA14250000;");
    Read("");
    EXPECT_EQ(sink.answers, Answers{"FA14250000"});
}

TEST_F(Framing, WaitsForAMenuNumberStillArriving) {
    Read("EX");
    EXPECT_EQ(Held(), "EX");
    Read("00");
    EXPECT_EQ(Held(), "EX00");
    Read("51;");
    EXPECT_EQ(sink.answers, Answers{"EX0051"});
}

TEST_F(Framing, DiscardsAMenuAnswerWhoseNumberCanNeverBeValid) {
    for (const std::string bad :
         {"EX999123;", "EX000123;", "EX119123;", "EXA12123;", "EX1;", "EX12A;", "EX 01123;"}) {
        SCOPED_TRACE(bad);
        buffer.Reset();
        sink.answers.clear();
        Read(bad + "FA14250000;");
        EXPECT_EQ(Held(), "FA14250000;");
        Read("");
        EXPECT_EQ(sink.answers, Answers{"FA14250000"});
    }
}

TEST_F(Framing, NoiseInAMenuNumberLosesOnlyTheMenuAnswer) {
    for (const char* noisy : {"EX\x01", "EX1\x02", "EX12\x7f", "EX\xff\xfe"}) {
        SCOPED_TRACE(noisy);
        buffer.Reset();
        sink.answers.clear();
        Read(std::string(noisy) + "FA14070000;");
        Drain();
        EXPECT_EQ(sink.answers, Answers{"FA14070000"});
    }
}

TEST_F(Framing, DiscardsABadMenuAnswerBeforeItsTerminatorArrives) {
    Read("EX999");
    EXPECT_EQ(buffer.count, 0u);
    Read("123;FA14250000;");
    Drain();
    EXPECT_EQ(sink.answers, Answers{"FA14250000"});
}

TEST_F(Framing, KeeperTextEndsAtItsTerminator) {
    const std::string longest = "KM1" + std::string(50, 'A') + ";";
    ASSERT_EQ(longest.size(), 54u);
    Read(longest);
    Read("KM2;");
    Read("KM3HELLO }_;");
    EXPECT_EQ(sink.answers, (Answers{longest.substr(0, 53), "KM2", "KM3HELLO }_"}));
}

TEST_F(Framing, DropsKeyerTextWithNoTerminatorInItsWindow) {
    Read("KM1" + std::string(52, 'A') + ";FA14250000;");
    EXPECT_TRUE(sink.answers.empty());
    EXPECT_EQ(Held(), "FA14250000;");
}

TEST_F(Framing, ResynchronisesThroughABadByteInKeyerText) {
    Read("KM1AB~;FA14250000;");
    EXPECT_EQ(Held(), ";FA14250000;");
    Drain();
    EXPECT_EQ(sink.answers, Answers{"FA14250000"});
}

TEST_F(Framing, DropsAnIdentificationWithNoTerminatorInItsWindow) {
    Read("ID03100000;FA14250000;");
    EXPECT_EQ(Held(), "FA14250000;");
    EXPECT_TRUE(sink.answers.empty());
    Read("ID031000;");
    Drain();
    EXPECT_EQ(sink.answers, (Answers{"FA14250000", "ID031000"}));
}

TEST_F(Framing, StartsAgainWhenTheBufferFillsWithoutATerminator) {
    const std::string open = "ZZ" + std::string(kReceiveBufferSize - 3, 'A');
    Read(open.substr(0, open.size() - 1));
    EXPECT_EQ(buffer.count, kReceiveBufferSize - 2) << "an open answer is kept while room remains";
    Read(open.substr(open.size() - 1));
    EXPECT_EQ(buffer.count, 0u);
    Read("FA14250000;");
    EXPECT_EQ(sink.answers, Answers{"FA14250000"});
}

TEST_F(Framing, KeepsAnswerWaitingWhenNothingIsDelivered) {
    Read("FA1425");
    Read("0000X");
    EXPECT_EQ(AnswerWaiting.load(), 1);
    EXPECT_TRUE(sink.answers.empty());
}

TEST(ReceiveBuffer, RemovingMovesTheRestDownAndRefillsBehind) {
    ReceiveBuffer buffer;
    const std::string data = "FA14250000;FB";
    buffer.Append(reinterpret_cast<const uint8_t*>(data.data()), 13);
    buffer.Remove(11);
    EXPECT_EQ(buffer.count, 2u);
    EXPECT_EQ(buffer.bytes[0], 'F');
    EXPECT_EQ(buffer.bytes[1], 'B');
    for (uint32_t i = 2; i < 16; ++i) {
        EXPECT_EQ(buffer.bytes[i], kReceiveFiller) << i;
    }
    buffer.Remove(100);
    EXPECT_EQ(buffer.count, 0u);
    EXPECT_EQ(buffer.bytes[0], kReceiveFiller);
}

TEST(ReceiveBuffer, KeepsOneFillerByteBehindTheData) {
    ReceiveBuffer buffer;
    std::vector<uint8_t> data(kReceiveBufferSize + 10, 'A');
    EXPECT_EQ(buffer.Append(data.data(), static_cast<uint32_t>(data.size())),
              kReceiveBufferSize - 1);
    EXPECT_EQ(buffer.count, kReceiveBufferSize - 1);
    EXPECT_EQ(buffer.bytes[kReceiveBufferSize - 1], kReceiveFiller);
    EXPECT_EQ(buffer.FreeSpace(), 0u);
    buffer.Tail()[0] = 'x';
    buffer.Commit(1);
    EXPECT_EQ(buffer.count, kReceiveBufferSize - 1);
    EXPECT_EQ(buffer.bytes[kReceiveBufferSize - 1], kReceiveFiller);
}

class FramingIntoTheRing : public ::testing::Test {
  protected:
    void SetUp() override {
        SetRuntime(&runtime);
        AnswerRing.Empty();
        SetWorkerLoop(
            Worker::AnlRecv,
            runtime.StartLoop("Anl_Recv_Thread", [this](const Message& m) { posts.push_back(m); }));
    }
    void TearDown() override {
        StopWorkerInSlot(Worker::AnlRecv);
        SetRuntime(nullptr);
        AnswerRing.Empty();
        AnswerWaiting.store(0);
    }

    void Read(const std::string& bytes) {
        buffer.Append(reinterpret_cast<const uint8_t*>(bytes.data()),
                      static_cast<uint32_t>(bytes.size()));
        FramingStep(buffer, 0);
        runtime.RunFor(0);
    }

    VirtualRuntime runtime;
    ReceiveBuffer buffer;
    std::vector<Message> posts;
};

TEST_F(FramingIntoTheRing, QueuesTheAnswerAndPostsOneAnalysis) {
    Read("FA14250000;");
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].id, kMsgAnalyse);
    EXPECT_EQ(posts[0].wParam, 0u);
    EXPECT_EQ(posts[0].lParam, 0);
    char text[MessageRing::kSlotSize];
    EXPECT_EQ(AnswerRing.Take(text), 10u);
    EXPECT_STREQ(text, "FA14250000");
}

TEST_F(FramingIntoTheRing, PostsNothingWhenTheRingRefusesTheAnswer) {
    for (int i = 0; i < MessageRing::kSlots; ++i) {
        ASSERT_TRUE(AnswerRing.Push("XX"));
    }
    Read("FA14250000;");
    EXPECT_TRUE(posts.empty());
    EXPECT_EQ(buffer.count, 0u) << "the refused answer still leaves the buffer";
    Read("FB07000000;");
    EXPECT_TRUE(posts.empty());
}

TEST_F(FramingIntoTheRing, PostsNothingForAnAnswerTooLongForASlot) {
    Read("ZZ" + std::string(510, '1') + ";");
    EXPECT_TRUE(posts.empty());
    EXPECT_EQ(buffer.count, 0u);
    Read("ZZ" + std::string(509, '1') + ";");
    EXPECT_EQ(posts.size(), 1u);
}

}  // namespace
}  // namespace kestrel
