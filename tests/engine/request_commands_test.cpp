#include "engine/request_table.h"
#include "engine_fixtures.h"

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
    {11,  0, 0,        {"KR1;"},      Mirror::KR, 0},
    {13,  0, 0,        {"PA01;"}},
    {13,  0, 1,        {"PA02;"}},
    {13,  0, 2,        {"PA00;"}},
    {13,  0, 3,        {}},
    {15,  0, 0,        {"GT00;"}},
    {15,  1, 1,        {"GT14;"}},
    {15,  0, 2,        {"GT01;"}},
    {15,  0, 5,        {}},
    {16,  1, 2,        {"NB12;"}},
    {16,  0, 0,        {"NB00;"}},
    {17,  0, 0,        {"BI0;"},      Mirror::BI, 1},
    {18,  0, 0,        {"CS1;"},      Mirror::CS, 0},
    {29,  0, 0,        {"NA01;"},     Mirror::NA0, 0},
    {29,  1, 0,        {"NA10;"},     Mirror::NA1, 1},
    {29,  1, 0,        {"NA11;"},     Mirror::NA0, 1},
    {29,  0, 0,        {},            Mirror::NA0, 3},
    {30,  0, 0,        {"FT0;"}},
    {30,  0, 2,        {"QS;"}},
    {30,  0, 1,        {}},
    {32,  0, 0,        {"FR1;"},      Mirror::FR, 0},
    {32,  0, 0,        {"FR0;"},      Mirror::FR, 1},
    {32,  0, 0,        {"FR0;"},      Mirror::FR, 4},
    {32,  0, 0,        {"FR0;"},      Mirror::FR, 5},
    {32,  0, 0,        {},            Mirror::FR, 2},
    {32,  0, 0,        {},            Mirror::FR, 3},
    {34,  0, 0,        {"FS1;"},      Mirror::FS, 0},
    {35,  0, 0,        {"LK1;"},      Mirror::LK, 0},
    {35,  0, 0,        {"LK0;"},      Mirror::LK, 1},
    {35,  0, 0,        {},            Mirror::LK, -1},
    {53,  0, 0,        {"RT1;"},      Mirror::RT, 0},
    {54,  0, 0,        {"XT0;"},      Mirror::XT, 1},
    {56,  1, 1,        {"VF1100;"}},
    {56,  0, 0,        {"VF0000;"}},
    {58,  0, 0,        {"BC01;"},     Mirror::BC, 0},
    {60,  0, 0,        {"NR00;"},     Mirror::NR, 1},
    {61,  0, 0,        {"FR5;"},      Mirror::FR, 4},
    {61,  0, 0,        {"FR4;"},      Mirror::FR, 0},
    {61,  0, 0,        {"FR4;"},      Mirror::FR, 1},
    {61,  0, 0,        {"FR4;"},      Mirror::FR, 5},
    {61,  0, 0,        {},            Mirror::FR, 3},
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
    {86,  0, 128,      {"ML1128;"}},
    {89,  0, 7,        {"KP07;"}},
    {90,  1, 255,      {"NL1255;"}},
    {100, 0, 300,      {"BP01300;"}},
    {101, 0, -25,      {"IS0-0025;"}},
    {101, 0, 25,       {"IS0+0025;"}},
    {101, 0, 12345,    {"IS0+0000;"}},
    {105, 0, 0,        {},            Mirror::AI, 0},
    {107, 0, 100,      {"PC100;"}},
    {107, 0, 1000,     {"PC000;"}},
    {107, 0, -1,       {"PC000;"}},
    {124, 0, 0,        {"RO0;"}},
    {124, 0, 1,        {"RO1;"}},
    {124, 0, -5,       {"RO1;"}},
    {125, 0, 0,        {"RO0;"}},
    {125, 0, 3,        {"RO2;"}},
    {126, 0, 0,        {}},
    {126, 0, 1,        {"RO3;"}},
    {127, 0, 0,        {}},
    {127, 0, 2,        {"RO4;"}},
    {139, 1, 0,        {"CT12;"}},
    {140, 0, 0,        {"CT01;"}},
    {141, 1, 12,       {"CN112;"}},
    {141, 0, 100,      {"CN000;"}},
    {143, 0, 0,        {"OS01;"}},
    {145, 0, 0,        {"IF;"}},
    {145, 1, 0,        {"OI;"}},
    {153, 0, 4,        {"EU204;"}},
    {153, 0, -4,       {"ED204;"}},
    {153, 0, 0,        {}},
};
// clang-format on

using RequestCommands = RequestThreadTest;

TEST_F(RequestCommands, EveryRequestSendsItsExactCommand) {
    for (const CommandCase& c : kCases) {
        SCOPED_TRACE("request " + std::to_string(c.number) + " vfoB " + std::to_string(c.vfoB) +
                     " value " + std::to_string(c.value));
        InitControlMirror();
        if (c.mirror != Mirror::Count) {
            ASSERT_TRUE(SetMirror(c.mirror, c.mirrorValue));
        }
        sent.clear();
        ASSERT_TRUE(PostRequest(c.number, c.vfoB, c.value));
        runtime.RunFor(5);
        EXPECT_EQ(Texts(), c.expected);
    }
}

// Requests go out in posting order; only bit 0 of wParam (and the value 1 of PostRequest's VFO
// argument) selects the sub receiver; numbers outside 1..153 post nothing.
TEST_F(RequestCommands, RequestsGoOutInPostingOrderAndOnlyBitZeroSelectsTheReceiver) {
    EXPECT_FALSE(PostRequest(0, 0, 0) || PostRequest(154, 0, 0) || PostRequest(-1, 0, 0));
    PostRequest(81, 0, 14250000);
    PostRequest(35, 0, 0);
    PostRequest(145, 2, 0);
    PostRequest(145, 1, 0);
    PostRequestMessage(0x8651, 2, 0);
    PostRequestMessage(0x8651, 3, 0);
    PostRequestMessage(0x8510, 0xFFFFFFFE, 1);
    PostRequest(82, 0, 7000000);
    runtime.RunFor(5);
    EXPECT_EQ(Texts(), (TextList{"FA14250000;", "LK1;", "IF;", "OI;", "IF;", "OI;", "NB01;",
                                 "FB07000000;"}));
}

}  // namespace
}  // namespace kestrel
