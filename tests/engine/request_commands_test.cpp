#include <set>

#include "engine/request_table.h"
#include "request_test_fixture.h"

namespace kestrel {
namespace {

// One request and the commands it must put on the line. `mirror` (when not Count) is set to
// `mirrorValue` first, for requests that read the control mirror.
struct CommandCase {
    int number;
    int vfoB;
    int32_t value;
    std::vector<std::string> expected;
    Mirror mirror = Mirror::Count;
    int32_t mirrorValue = 0;
};

using TextList = std::vector<std::string>;
constexpr Mirror kNone = Mirror::Count;

// clang-format off
const std::vector<CommandCase> kCases = {
    {3,   0, 0,        {"DS1;"},      Mirror::DS, 0},
    {3,   0, 0,        {"DS0;"},      Mirror::DS, 1},
    {3,   0, 0,        {},            Mirror::DS, 2},
    {4,   0, 0,        {"MX1;"},      Mirror::MX, 0},
    {5,   0, 0,        {"VX0;"},      Mirror::VX, 1},
    {6,   0, 2,        {"AC002;"}},
    {6,   0, 10,       {"AC000;"}},
    {7,   0, 0,        {"AN01;"}},
    {7,   0, 1,        {"AN02;"}},
    {7,   0, 2,        {}},
    {7,   0, -1,       {}},
    {8,   0, 0,        {"AN05;"}},
    {9,   0, 0,        {"ML0001;"},   Mirror::ML0, 0},
    {9,   0, 0,        {"ML0000;"},   Mirror::ML0, 1},
    {9,   0, 0,        {"ML0000;"},   Mirror::ML0, 7},
    {10,  0, 1,        {"PR1;"}},
    {11,  0, 0,        {"KR1;"},      Mirror::KR, 0},
    {12,  0, 3,        {"RA03;"}},
    {13,  0, 0,        {"PA01;"}},
    {13,  0, 1,        {"PA02;"}},
    {13,  0, 2,        {"PA00;"}},
    {13,  0, 3,        {}},
    {14,  0, 6,        {"RF06;"}},
    {15,  0, 0,        {"GT00;"}},
    {15,  1, 1,        {"GT14;"}},
    {15,  0, 2,        {"GT01;"}},
    {15,  0, 5,        {}},
    {16,  1, 2,        {"NB12;"}},
    {16,  0, 0,        {"NB00;"}},
    {17,  0, 0,        {"BI0;"},      Mirror::BI, 1},
    {18,  0, 0,        {"CS1;"},      Mirror::CS, 0},
    {19,  0, 0,        {"VS0;"}},
    {20,  0, 0,        {"VS1;"}},
    {21,  0, 0,        {"MK0;"}},
    {22,  0, 0,        {"MK1;"}},
    {23,  0, 0,        {"MK2;"}},
    {24,  0, 0,        {"MK3;"}},
    {25,  0, 0,        {"MK5;"}},
    {26,  0, 0,        {"MK6;"}},
    {27,  0, 0,        {"QI;"}},
    {28,  0, 0,        {"QR;"}},
    {29,  0, 0,        {"NA01;"},     Mirror::NA0, 0},
    {29,  1, 0,        {"NA10;"},     Mirror::NA1, 1},
    {29,  1, 0,        {"NA11;"},     Mirror::NA0, 1},
    {29,  0, 0,        {},            Mirror::NA0, 3},
    {30,  0, 0,        {"FT0;"}},
    {30,  0, 2,        {"QS;"}},
    {30,  0, 1,        {}},
    {31,  0, 1,        {"TS1;"}},
    {32,  0, 0,        {"FR1;"},      Mirror::FR, 0},
    {32,  0, 0,        {"FR0;"},      Mirror::FR, 1},
    {32,  0, 0,        {"FR0;"},      Mirror::FR, 4},
    {32,  0, 0,        {"FR0;"},      Mirror::FR, 5},
    {32,  0, 0,        {},            Mirror::FR, 2},
    {32,  0, 0,        {},            Mirror::FR, 3},
    {33,  0, 0,        {"FT0;"}},
    {34,  0, 0,        {"FS1;"},      Mirror::FS, 0},
    {35,  0, 0,        {"LK1;"},      Mirror::LK, 0},
    {35,  0, 0,        {"LK0;"},      Mirror::LK, 1},
    {35,  0, 0,        {},            Mirror::LK, -1},
    {36,  0, 0,        {"AB;"}},
    {37,  0, 0,        {"SV;"}},
    {38,  0, 0,        {"VM;"}},
    {39,  0, 0,        {"MA;"}},
    {40,  0, 0,        {"AM;"}},
    {42,  0, 0,        {"BS10;"}},
    {43,  0, 0,        {"BS00;"}},
    {44,  0, 0,        {"BS01;"}},
    {45,  0, 0,        {"BS03;"}},
    {46,  0, 0,        {"BS04;"}},
    {47,  0, 0,        {"BS05;"}},
    {48,  0, 0,        {"BS06;"}},
    {49,  0, 0,        {"BS07;"}},
    {50,  0, 0,        {"BS08;"}},
    {51,  0, 0,        {"BS09;"}},
    {52,  0, 0,        {"BS11;"}},
    {53,  0, 0,        {"RT1;"},      Mirror::RT, 0},
    {54,  0, 0,        {"XT0;"},      Mirror::XT, 1},
    {55,  0, 0,        {"RC;"}},
    {56,  1, 1,        {"VF1100;"}},
    {56,  0, 0,        {"VF0000;"}},
    {57,  0, 3,        {"KC043;"}},
    {58,  0, 0,        {"BC01;"},     Mirror::BC, 0},
    {59,  0, 2,        {"KC032;"}},
    {60,  0, 0,        {"NR00;"},     Mirror::NR, 1},
    {61,  0, 0,        {"FR5;"},      Mirror::FR, 4},
    {61,  0, 0,        {"FR4;"},      Mirror::FR, 0},
    {61,  0, 0,        {"FR4;"},      Mirror::FR, 1},
    {61,  0, 0,        {"FR4;"},      Mirror::FR, 5},
    {61,  0, 0,        {},            Mirror::FR, 3},
    {62,  0, 0,        {"FT1;"}},
    {63,  0, 0,        {"SF0;"}},
    {64,  0, 0,        {"SF1;"}},
    {65,  0, 0,        {"SF2;"}},
    {66,  0, 0,        {"SF3;"}},
    {67,  0, 0,        {"SF4;"}},
    {68,  0, 0,        {"SF5;"}},
    {69,  0, 0,        {"SF6;"}},
    {70,  0, 0,        {"SF7;"}},
    {71,  0, 0,        {"FK1;"}},
    {72,  0, 0,        {"FK2;"}},
    {73,  0, 0,        {"FK3;"}},
    {74,  0, 0,        {"FK4;"}},
    {75,  0, 0,        {"FK5;"}},
    {76,  0, 0,        {"FK6;"}},
    {77,  0, 0,        {"FK7;"}},
    {78,  0, 4,        {"DP4;"}},
    {79,  0, 0,        {}},
    {79,  0, -3,       {"ED003;"}},
    {79,  0, 5,        {"EU005;"}},
    {79,  0, 99,       {"EU099;"}},
    {79,  0, -99,      {"ED099;"}},
    {79,  0, 100,      {}},
    {79,  0, -100,     {}},
    {80,  0, 7,        {"EU107;"}},
    {80,  0, -7,       {"ED107;"}},
    {81,  0, 14250000, {"FA14250000;"}},
    {81,  0, 3000,     {"FA00003000;"}},
    {81,  0, 60000000, {"FA60000000;"}},
    {81,  0, 2999,     {}},
    {81,  0, 60000001, {}},
    {82,  0, 7000000,  {"FB07000000;"}},
    {82,  0, 2999,     {}},
    {83,  0, 0,        {"RU0000;"}},
    {83,  0, 9999,     {"RU9999;"}},
    {83,  0, -25,      {"RD0025;"}},
    {83,  0, 10000,    {}},
    {83,  0, -10000,   {}},
    {84,  0, 3,        {"VF01+3;"}},
    {84,  1, -2,       {"VF11-2;"}},
    {84,  0, 12,       {"VF01+0;"}},
    {85,  0, 2,        {"MS2;"}},
    {86,  0, 128,      {"ML1128;"}},
    {87,  0, 50,       {"PL050;"}},
    {88,  0, 25,       {"KS025;"}},
    {89,  0, 7,        {"KP07;"}},
    {90,  1, 255,      {"NL1255;"}},
    {91,  0, 10,       {"SQ0010;"}},
    {92,  0, 100,      {"MG100;"}},
    {93,  0, 1,        {"VG001;"}},
    {95,  0, 0,        {"SQ1000;"}},
    {96,  0, 1,        {"AG1001;"}},
    {97,  0, 2,        {"RG1002;"}},
    {98,  0, 3,        {"AG0003;"}},
    {99,  0, 4,        {"RG0004;"}},
    {100, 0, 300,      {"BP01300;"}},
    {101, 0, -25,      {"IS0-0025;"}},
    {101, 0, 25,       {"IS0+0025;"}},
    {101, 0, 12345,    {"IS0+0000;"}},
    {102, 0, 15,       {"SH015;"}},
    {103, 0, 5,        {"CO0105;"}},
    {104, 0, 9,        {"RL009;"}},
    {105, 0, 0,        {},            Mirror::AI, 0},
    {107, 0, 100,      {"PC100;"}},
    {107, 0, 1000,     {"PC000;"}},
    {107, 0, -1,       {"PC000;"}},
    {108, 0, 0,        {"LM01;"}},
    {109, 0, 0,        {"LM02;"}},
    {110, 0, 0,        {"LM03;"}},
    {111, 0, 0,        {"LM04;"}},
    {112, 0, 0,        {"LM05;"}},
    {113, 0, 0,        {"LM00;"}},
    {114, 0, 0,        {"PB01;"}},
    {115, 0, 0,        {"PB02;"}},
    {116, 0, 0,        {"PB03;"}},
    {117, 0, 0,        {"PB04;"}},
    {118, 0, 0,        {"PB05;"}},
    {119, 0, 0,        {"PB00;"}},
    {120, 0, 0,        {"LM11;"}},
    {121, 0, 0,        {"LM10;"}},
    {122, 0, 0,        {"PB11;"}},
    {123, 0, 0,        {"PB10;"}},
    {124, 0, 0,        {"RO0;"}},
    {124, 0, 1,        {"RO1;"}},
    {124, 0, -5,       {"RO1;"}},
    {125, 0, 0,        {"RO0;"}},
    {125, 0, 3,        {"RO2;"}},
    {126, 0, 0,        {}},
    {126, 0, 1,        {"RO3;"}},
    {127, 0, 0,        {}},
    {127, 0, 2,        {"RO4;"}},
    {128, 0, 0,        {"KY1;"}},
    {129, 0, 0,        {"KY2;"}},
    {130, 0, 0,        {"KY3;"}},
    {131, 0, 0,        {"KY4;"}},
    {132, 0, 0,        {"KY5;"}},
    {133, 0, 0,        {"KY6;"}},
    {134, 0, 0,        {"KY7;"}},
    {135, 0, 0,        {"KY8;"}},
    {136, 0, 0,        {"KY9;"}},
    {137, 0, 0,        {"KYA;"}},
    {138, 0, 0,        {"CT00;"}},
    {139, 1, 0,        {"CT12;"}},
    {140, 0, 0,        {"CT01;"}},
    {141, 1, 12,       {"CN112;"}},
    {141, 0, 100,      {"CN000;"}},
    {142, 1, 0,        {"OS10;"}},
    {143, 0, 0,        {"OS01;"}},
    {144, 1, 0,        {"OS12;"}},
    {145, 0, 0,        {"IF;"}},
    {145, 1, 0,        {"OI;"}},
    {147, 0, 1,        {"KC021;"}},
    {148, 0, 2,        {"KC012;"}},
    {149, 0, 3,        {"KC053;"}},
    {150, 0, 4,        {"KC064;"}},
    {151, 0, 5,        {"KC075;"}},
    {152, 0, 0,        {"MK0;"}},
    {153, 0, 4,        {"EU204;"}},
    {153, 0, -4,       {"ED204;"}},
    {153, 0, 0,        {}},
};
// clang-format on

// Requests whose work is more than one command, tested on their own.
const std::set<int> kSequenceRequests = {1, 2, 41, 94, 106, 146};

using RequestCommands = RequestThreadTest;

TEST_F(RequestCommands, EveryRequestSendsItsExactCommand) {
    for (const CommandCase& c : kCases) {
        SCOPED_TRACE("request " + std::to_string(c.number) + " vfoB " + std::to_string(c.vfoB) +
                     " value " + std::to_string(c.value));
        InitControlMirror();
        if (c.mirror != kNone) {
            ASSERT_TRUE(SetMirror(c.mirror, c.mirrorValue));
        }
        sent.clear();
        ASSERT_TRUE(PostRequest(c.number, c.vfoB, c.value));
        runtime.RunFor(5);
        EXPECT_EQ(Texts(), c.expected);
    }
}

TEST_F(RequestCommands, TableCoversEveryRequestNumber) {
    std::set<int> covered = kSequenceRequests;
    for (const CommandCase& c : kCases) {
        covered.insert(c.number);
    }
    for (int number = 1; number <= kRequestCount; ++number) {
        EXPECT_TRUE(covered.contains(number)) << "request " << number << " has no case";
    }
}

TEST_F(RequestCommands, OnlyBitZeroOfWParamSelectsTheReceiver) {
    PostRequestMessage(0x8651, 2, 0);
    PostRequestMessage(0x8651, 3, 0);
    PostRequestMessage(0x8510, 0xFFFFFFFE, 1);
    runtime.RunFor(5);
    EXPECT_EQ(Texts(), (TextList{"IF;", "OI;", "NB01;"}));
}

TEST_F(RequestCommands, RequestNumbersOutsideTheTablePostNothing) {
    EXPECT_FALSE(PostRequest(0, 0, 0));
    EXPECT_FALSE(PostRequest(154, 0, 0));
    EXPECT_FALSE(PostRequest(-1, 0, 0));
    runtime.RunFor(5);
    EXPECT_TRUE(sent.empty());
}

TEST_F(RequestCommands, VfoBitIsOneOnlyForTheValueOne) {
    PostRequest(145, 2, 0);
    PostRequest(145, 1, 0);
    runtime.RunFor(5);
    EXPECT_EQ(Texts(), (TextList{"IF;", "OI;"}));
}

TEST_F(RequestCommands, RequestMessagesFollowTheTwoBlocksAndSkip0x8658) {
    EXPECT_EQ(RequestMessageTable[0], 0u);
    EXPECT_EQ(RequestMessageTable[1], 0x8501u);
    EXPECT_EQ(RequestMessageTable[107], 0x856Bu);
    EXPECT_EQ(RequestMessageTable[108], 0x862Cu);
    EXPECT_EQ(RequestMessageTable[151], 0x8657u);
    EXPECT_EQ(RequestMessageTable[152], 0x8659u);
    EXPECT_EQ(RequestMessageTable[153], 0x865Au);
    EXPECT_EQ(RequestNumberOfMessage(0x8658), 0);
    EXPECT_EQ(RequestNumberOfMessage(0x856C), 0);
    EXPECT_EQ(RequestNumberOfMessage(0x865A), 153);
}

TEST_F(RequestCommands, RequestsAreSentInPostingOrder) {
    PostRequest(81, 0, 14250000);
    PostRequest(35, 0, 0);
    PostRequest(19, 0, 0);
    PostRequest(82, 0, 7000000);
    runtime.RunFor(5);
    EXPECT_EQ(Texts(), (TextList{"FA14250000;", "LK1;", "VS0;", "FB07000000;"}));
}

TEST(RequestFields, FieldsAreZeroFilledRightAlignedAndEmptyWhenTooWide) {
    struct FieldCase {
        int width;
        int64_t value;
        std::string expected;
    };
    for (const FieldCase& c : std::vector<FieldCase>{{8, 14250000, "14250000"},
                                                     {3, 7, "007"},
                                                     {3, 1234, "000"},
                                                     {3, 999, "999"},
                                                     {3, 1000, "000"},
                                                     {1, 0, "0"},
                                                     {4, -5, "0000"},
                                                     {2, 10, "10"}}) {
        std::string field(c.width, 'x');
        WriteField(field.data(), c.width, c.value);
        EXPECT_EQ(field, c.expected) << "width " << c.width << " value " << c.value;
    }
}

}  // namespace
}  // namespace kestrel
