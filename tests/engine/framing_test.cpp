#include "protocol/framing.h"

#include "engine_fixtures.h"
#include "platform/message.h"

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

class Framing : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        AnswerWaiting.store(1);
    }
    void TearDown() override {
        EngineTest::TearDown();
        AnswerWaiting.store(0);
    }

    // Appends one read's bytes and runs the framing step on them, into the sink or the ring.
    void Read(const std::string& bytes, uint32_t lineError = 0) {
        buffer.Append(reinterpret_cast<const uint8_t*>(bytes.data()),
                      static_cast<uint32_t>(bytes.size()));
        toRing ? FramingStep(buffer, lineError)
               : FramingStep(buffer, lineError, sink, TestMenuWidth);
        runtime.RunFor(0);
    }

    // Runs read steps with nothing new until the buffer is empty, as the 5 ms receive steps do.
    void Drain() {
        for (int i = 0; i < 200 && buffer.count > 0; ++i) {
            FramingStep(buffer, 0, sink, TestMenuWidth);
        }
    }

    ReceiveBuffer buffer;
    RecordingSink sink;
    bool toRing = false;
};

struct ReadStep {
    std::string bytes;
    uint32_t lineError = 0;
};

// Reads fed one framing step each; `held` is the buffer after the first read's step, `answers`
// everything delivered once the later reads have come and the buffer has drained.
struct FramingCase {
    std::vector<ReadStep> reads;
    std::string held;
    Answers answers;
};

const std::string kNul(1, '\0');

// clang-format off
const FramingCase kFramingCases[] = {
    // one answer per step; split answers wait for the rest
    {{{"FA14250000;"}},                              "",                  {"FA14250000"}},
    {{{"FA142"}, {"50000;"}},                        "FA142",             {"FA14250000"}},
    {{{"ID03"}, {"10;"}},                            "ID03",              {"ID0310"}},
    {{{"FA14250000;FB07000000;SM0005;"}},            "FB07000000;SM0005;", {"FA14250000", "FB07000000", "SM0005"}},
    // wrong lengths, the error answer, noise
    {{{"FA00014250000;"}},                           "",                  {}},
    {{{"FA1425;FB07000000;"}},                       "FB07000000;",       {"FB07000000"}},
    {{{"?;FA14250000;"}},                            ";FA14250000;",      {"FA14250000"}},
    {{{"\x01\x80xy" + kNul + "FA14250000;\xfe\x7f" "FB07000000;"}}, "*",  {"FA14250000", "FB07000000"}},
    {{{"FA142\x01" "50000;FB07000000;"}},            "*",                 {"FB07000000"}},
    {{{"ZZ1~FA1"}, {"4250000;"}},                    "FA1",               {"FA14250000"}},
    // a framing or break error drops leading noise at once, and nothing else does
    {{{kNul + "\x80xy~FA14250000;", kLineFraming}},  "",                  {"FA14250000"}},
    {{{kNul + "\x80xy~FA14250000;", kLineBreak}},    "",                  {"FA14250000"}},
    {{{"\x80" "5;", kLineFraming}},                  ";",                 {}},
    {{{"\x80?;", kLineBreak}},                       ";",                 {}},
    {{{kNul + "\x01\x80xyz", kLineBreak}},           "",                  {}},
    {{{"xyFA14250000;", 0}},                         "yFA14250000;",      {"FA14250000"}},
    {{{"xyFA14250000;", 4}},                         "yFA14250000;",      {"FA14250000"}},
    {{{"xyFA14250000;", kLineFraming | kLineBreak}}, "yFA14250000;",      {"FA14250000"}},
    {{{"xyFA14250000;", 0x8000}},                    "yFA14250000;",      {"FA14250000"}},
    {{{"FA142"}, {"50000;", kLineFraming}},          "FA142",             {"FA14250000"}},
    // menu answers are measured by their item's width
    {{{"EX0051;"}, {"EX001123;"}, {"EX118ABC;"}},    "",                  {"EX0051", "EX001123", "EX118ABC"}},
    {{{"EX00512;FA14250000;"}},                      "FA14250000;",       {"FA14250000"}},
    {{{"EX"}, {"00"}, {"51;"}},                      "EX",                {"EX0051"}},
    {{{"EX0"}, {"0"}, {"51;"}},                      "EX0",               {"EX0051"}},
    {{{"EX999"}, {"123;FA14250000;"}},               "",                  {"FA14250000"}},
    {{{"EX999123;FA14250000;"}},                     "FA14250000;",       {"FA14250000"}},
    {{{"EX000123;FA14250000;"}},                     "FA14250000;",       {"FA14250000"}},
    {{{"EX119123;FA14250000;"}},                     "FA14250000;",       {"FA14250000"}},
    {{{"EXA12123;FA14250000;"}},                     "FA14250000;",       {"FA14250000"}},
    {{{"EX1;FA14250000;"}},                          "FA14250000;",       {"FA14250000"}},
    {{{"EX12A;FA14250000;"}},                        "FA14250000;",       {"FA14250000"}},
    {{{"EX 01123;FA14250000;"}},                     "FA14250000;",       {"FA14250000"}},
    {{{"EX\x01" "FA14070000;"}},                     "*",                 {"FA14070000"}},
    {{{"EX1\x02" "FA14070000;"}},                    "*",                 {"FA14070000"}},
    {{{"EX12\x7f" "FA14070000;"}},                   "*",                 {"FA14070000"}},
    {{{"EX\xff\xfe" "FA14070000;"}},                 "*",                 {"FA14070000"}},
    // keyer text ends at its terminator, within its window
    {{{"KM1" + std::string(50, 'A') + ";"}, {"KM2;"}, {"KM3HELLO }_;"}}, "", {"KM1" + std::string(50, 'A'), "KM2", "KM3HELLO }_"}},
    {{{"KM1" + std::string(52, 'A') + ";FA14250000;"}}, "FA14250000;",    {"FA14250000"}},
    {{{"KM1AB~;FA14250000;"}},                       ";FA14250000;",      {"FA14250000"}},
    // so does an identification
    {{{"ID03100000;FA14250000;"}, {"ID031000;"}},    "FA14250000;",       {"FA14250000", "ID031000"}},
};
// clang-format on

TEST_F(Framing, CutsEveryReadSequenceIntoItsAnswers) {
    for (const FramingCase& c : kFramingCases) {
        SCOPED_TRACE(testing::PrintToString(c.reads[0].bytes));
        buffer.Reset();
        sink.answers.clear();
        Read(c.reads[0].bytes, c.reads[0].lineError);
        if (c.held != "*") {
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.bytes.data()), buffer.count),
                      c.held);
        }
        for (size_t i = 1; i < c.reads.size(); ++i) {
            Read(c.reads[i].bytes, c.reads[i].lineError);
        }
        Drain();
        EXPECT_EQ(sink.answers, c.answers);
    }
}

TEST_F(Framing, AnswerWaitingClearsOnlyWhenAnAnswerIsDelivered) {
    Read("FA1425");
    Read("0000X");
    Read("FA00014250000;");
    EXPECT_EQ(AnswerWaiting.load(), 1);
    EXPECT_TRUE(sink.answers.empty());
    Drain();
    Read("FA14250000;");
    EXPECT_EQ(AnswerWaiting.load(), 0);
    EXPECT_FALSE(buffer.lengthKnown);
    EXPECT_EQ(buffer.bytes[0], kReceiveFiller);
}

// A stream of every kind of answer with some noise, split into two reads at every byte boundary
// and also fed one byte per read, must always come out as the same answers.
TEST_F(Framing, ReassemblesEveryAnswerKindAtEveryByteBoundary) {
    const std::string stream =
        "\x01xFA14250000;ID0310;KM1ABC DEF};EX0051;ZZ12;\x7f\xfe?;SM0005;"
        "IF000142500000000000000000;"
        "EX001123;RO0000500;";
    // clang-format off
    const Answers expected{"FA14250000", "ID0310", "KM1ABC DEF}", "EX0051", "ZZ12", "SM0005",
                           "IF000142500000000000000000", "EX001123", "RO0000500"};
    // clang-format on
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

TEST_F(Framing, StartsAgainWhenTheBufferFillsWithoutATerminator) {
    const std::string open = "ZZ" + std::string(kReceiveBufferSize - 3, 'A');
    Read(open.substr(0, open.size() - 1));
    EXPECT_EQ(buffer.count, kReceiveBufferSize - 2) << "an open answer is kept while room remains";
    Read(open.substr(open.size() - 1));
    EXPECT_EQ(buffer.count, 0u);
    Read("FA14250000;");
    EXPECT_EQ(sink.answers, Answers{"FA14250000"});
}

// Removing moves the rest down and refills behind; one filler byte always stays behind the data.
TEST(ReceiveBuffer, RemovingMovesTheRestDownAndAFillerByteStaysBehind) {
    ReceiveBuffer buffer;
    const std::string data = "FA14250000;FB";
    buffer.Append(reinterpret_cast<const uint8_t*>(data.data()), 13);
    buffer.Remove(11);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.bytes.data()), buffer.count), "FB");
    for (uint32_t i = 2; i < 16; ++i) {
        EXPECT_EQ(buffer.bytes[i], kReceiveFiller) << i;
    }
    buffer.Remove(100);
    EXPECT_EQ(buffer.count, 0u);
    EXPECT_EQ(buffer.bytes[0], kReceiveFiller);

    std::vector<uint8_t> full(kReceiveBufferSize + 10, 'A');
    EXPECT_EQ(buffer.Append(full.data(), static_cast<uint32_t>(full.size())),
              kReceiveBufferSize - 1);
    EXPECT_EQ(buffer.count, kReceiveBufferSize - 1);
    EXPECT_EQ(buffer.FreeSpace(), 0u);
    buffer.Tail()[0] = 'x';
    buffer.Commit(1);
    EXPECT_EQ(buffer.count, kReceiveBufferSize - 1);
    EXPECT_EQ(buffer.bytes[kReceiveBufferSize - 1], kReceiveFiller);
}

// An answer goes into the ring with one analysis message; one the ring refuses (full, or too long
// for a slot) still leaves the buffer but posts nothing.
TEST_F(Framing, QueuesTheAnswerInTheRingAndPostsOneAnalysisOrNothingWhenRefused) {
    std::vector<Message> posts;
    StandIn(Worker::AnlRecv, [&](const Message& m) { posts.push_back(m); });
    AnswerWaiting.store(0);
    toRing = true;
    Read("FA14250000;");
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].id, kMsgAnalyse);
    EXPECT_EQ(posts[0].wParam + posts[0].lParam, 0);
    char text[MessageRing::kSlotSize];
    EXPECT_EQ(AnswerRing.Take(text), 10u);
    EXPECT_STREQ(text, "FA14250000");

    Read("ZZ" + std::string(510, '1') + ";");
    EXPECT_EQ(posts.size(), 1u);
    EXPECT_EQ(buffer.count, 0u);
    Read("ZZ" + std::string(509, '1') + ";");
    EXPECT_EQ(posts.size(), 2u);

    while (AnswerRing.Push("XX")) {
    }
    Read("FA14250000;");
    EXPECT_EQ(posts.size(), 2u);
    EXPECT_EQ(buffer.count, 0u);
}

}  // namespace
}  // namespace kestrel
