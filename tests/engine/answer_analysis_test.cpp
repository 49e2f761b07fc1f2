#include "engine/answer_parsers.h"
#include "engine_fixtures.h"
#include "protocol/requests.h"

namespace kestrel {
namespace {

// An answer, the value it must leave in a field, and the one notification it posts (0: a malformed
// answer posts nothing). Out-of-range values keep the field but still notify. Some also post to
// the sender, or leave a mirror value (the store's, not the answer's). The rows run in order on
// one store.
struct AnswerCase {
    const char* answer;
    Field field;
    int32_t expected;
    uint32_t notification;
    uint32_t sender = 0;
    Mirror mirror = Mirror::Count;
    int32_t mirrorValue = 0;
};

// clang-format off
constexpr AnswerCase kAnswerCases[] = {
    {"FA00029999", Field::FA,    7000000,  0x8333},
    {"FA60000001", Field::FA,    7000000,  0x8333},
    {"SF9",        Field::SF,    8,        0x8304},
    {"KS070",      Field::KS,    4,        0x8323},
    {"SD0020",     Field::SD,    30,       0x8324, 0, Mirror::SD, 30},
    {"IS0+1001",   Field::IS,    0,        0x832F},
    {"AN030",      Field::ANp3,  0,        0x8317},
    {"MD0E",       Field::MD0,   1,        0x8345},
    {"BG006",      Field::BG0,   3,        0x834D},
    {"RS3",        Field::RS,    0,        0x8343},
    {"RTx",        Field::RT,    0,        0},
    {"FA1425000x", Field::FA,    7000000,  0},
    {"NR21",       Field::NR0,   0,        0},
    {"NRx1",       Field::NR0,   0,        0},
    {"KS0a5",      Field::KS,    4,        0},
    {"VF211281",   Field::VF0p4, 0,        0},
    {"IS0*0500",   Field::IS,    0,        0},
    {"MD24",       Field::MD0,   1,        0},
    {"MD0g",       Field::MD0,   1,        0},
    {"CO01x5",     Field::CO1,   1,        0},
    {"BG305",      Field::BG0,   3,        0},
    {"BG0x5",      Field::BG0,   3,        0},
    {"KM6HELLO",   Field::KM,    1,        0},
    {"SM2100",     Field::SM0,   0,        0},
    {"PSx",        Field::PS,    0,        0},
    {"ULa",        Field::UL,    0,        0},
    {"RSx",        Field::RS,    0,        0},
    {"AIx",        Field::AI,    1,        0},
    {"ZZ12",       Field::RT,    0,        0},
    {"DA123456",   Field::RT,    0,        0},
    {"?",          Field::RT,    0,        0},
    {"RT1",        Field::RT,    1,        0x8302},
    {"SF3",        Field::SF,    3,        0x8304},
    {"BP00001",    Field::BP0,   1,        0x8305},
    {"BP01150",    Field::BP1,   150,      0x8305},
    {"BC01",       Field::BC,    1,        0x8306},
    {"CO0002",     Field::CO0,   2,        0x8307},
    {"CO0009",     Field::CO0,   1,        0x8307},
    {"CO0000",     Field::CO0,   0,        0x8307},
    {"CO0125",     Field::CO1,   25,       0x8307},
    {"MS3",        Field::MS,    3,        0x8346},
    {"NR01",       Field::NR0,   1,        0x8308},
    {"FT1",        Field::FT,    1,        0x8309},
    {"FR4",        Field::FR,    4,        0x830A},
    {"LK1",        Field::LK,    1,        0x830C},
    {"NB12",       Field::NB1,   2,        0x8310},
    {"RF03",       Field::RF,    3,        0x8311},
    {"GT13",       Field::GT1,   3,        0x8312},
    {"AN020",      Field::ANp3,  1,        0x8317},
    {"AC002",      Field::AC,    2,        0x8318},
    {"ML0001",     Field::ML0,   1,        0x831E},
    {"ML1128",     Field::ML1,   128,      0x831E},
    {"RM0123",     Field::RM0,   123,      0x8321},
    {"RM2045",     Field::RM1,   45,       0x8321},
    {"RMx1a2",     Field::RM0,   12,       0x8321},
    {"KS025",      Field::KS,    25,       0x8323},
    {"SD0500",     Field::SD,    500,      0x8324},
    {"NL1200",     Field::NL1,   200,      0x8325},
    {"SQ0010",     Field::SQ0,   10,       0x832A},
    {"RG1210",     Field::RG1,   210,      0x832C},
    {"VF011281",   Field::VF0p3, 1,        0x832E},
    {"VF011281",   Field::VF0p4, 128,      0x832E},
    {"VF011281",   Field::VF0p7, 1,        0x832E},
    {"VF110100",   Field::VF1p4, 10,       0x832E},
    {"IS0+0500",   Field::IS,    500,      0x832F},
    {"IS0-0250",   Field::IS,    -250,     0x832F},
    {"RL008",      Field::RL,    8,        0x8331},
    {"BY10",       Field::BYp2,  1,        0x8332},
    {"FA14250000", Field::FA,    14250000, 0x8333, 0, Mirror::FA, 14250000},
    {"RO0180050",  Field::ROp3,  180,      0x8335},
    {"RO0180050",  Field::ROp6,  50,       0x8335},
    {"SM0100",     Field::SM0,   100,      0x8337},
    {"TX2",        Field::TX,    2,        0x8338},
    {"CN149",      Field::CN1,   49,       0x833B},
    {"CT11",       Field::CT1,   1,        0x833C},
    {"KM3HELLO",   Field::KM,    3,        0x833D},
    {"MC117",      Field::MC,    117,      0x833E},
    {"RS1",        Field::RS,    1,        0x8343},
    {"MD0C",       Field::MD0,   12,       0x8345},
    {"MD1a",       Field::MD1,   10,       0x8345},
    {"BG004",      Field::BG0,   4,        0x834D},
    {"BG112",      Field::BG1,   12,       0x834D},
    {"BG112",      Field::BG2,   -1,       0x834D},
    {"BG207",      Field::BG1,   -1,       0x834D},
    {"BG207",      Field::BG2,   7,        0x834D},
    {"KC03",       Field::KC,    3,        0x8353},
    {"PB01",       Field::RT,    1,        0x8341},
    {"LMxy",       Field::RT,    1,        0x834E},
    {"RI01",       Field::RI0,   1,        0x8348},
    {"RI81",       Field::RI8,   1,        0x8348},
    {"RI61",       Field::RI0,   1,        0x8348},
    {"RIx1",       Field::RI0,   1,        0x8348},
    {"RI3z",       Field::RI3,   0,        0x8348},
    {"RS2",        Field::RS,    2,        0x8343, kMsgStartMenuRead},
    {"MD04",       Field::MD0,   4,        0x8345, 0, Mirror::MDFilter, 2},
    {"MD05",       Field::MD0,   5,        0x8345, 0, Mirror::MDFilter, 1},
    {"MD0B",       Field::MD0,   11,       0x8345, 0, Mirror::MDFilter, 2},
    {"MD13",       Field::MD1,   3,        0x8345, 0, Mirror::MDFilter, 0},
    {"MD1b",       Field::MD1,   11,       0x8345, 0, Mirror::MDFilter, 2},
    {"MD1b",       Field::MD0,   11,       0x8345, 0, Mirror::MD0,      11},
    {"MD1b",       Field::MD1,   11,       0x8345, 0, Mirror::MD1,      11},
};
// clang-format on

TEST_F(AnalysisTest, AnswersStoreTheirFieldWithinItsLimitsAndNotifyUnlessMalformed) {
    Analyse("RI01");
    EXPECT_EQ(GetField(Field::RI0), 0) << "ring info is analysed only while AI is on";
    EXPECT_TRUE(TakeWindowIds().empty());
    SetField(Field::AI, 1);
    for (const AnswerCase& c : kAnswerCases) {
        SCOPED_TRACE(std::string(c.answer) + " into " + std::string(FieldName(c.field)));
        Analyse(c.answer);
        EXPECT_EQ(GetField(c.field), c.expected);
        EXPECT_EQ(TakeWindowIds(), c.notification ? Ids{c.notification} : Ids{});
        EXPECT_EQ(TakeSenderIds(), c.sender ? Ids{c.sender} : Ids{});
        if (c.mirror != Mirror::Count) {
            EXPECT_EQ(GetMirror(c.mirror), c.mirrorValue);
        }
    }
}

TEST_F(AnalysisTest, InformationAnswerStoresEveryFieldAndMirrorsFrequencyAndClarifiers) {
    // IF, memory 001, 14.25 MHz, clarifier +120 Hz, RX clar on, TX clar off, mode b, ...
    Analyse("IF00114250000+012010b21051");
    ExpectFields({{Field::IFp5, 14250000},
                  {Field::IFp18, 1},
                  {Field::IFp19, 0},
                  {Field::IFp20, 11},
                  {Field::IFp21, 2},
                  {Field::IFp22, 1},
                  {Field::IFp23, 5},
                  {Field::IFp25, 1}});
    EXPECT_DOUBLE_EQ(GetReal(RealField::IFp13), 120.0);
    EXPECT_EQ(std::pair(GetMirror(Mirror::FA), GetMirror(Mirror::RT)), std::pair(14250000, 1));
    EXPECT_EQ(TakeWindowIds(), Ids{0x832D});

    Analyse("OI00021074000-0x5010000000");
    EXPECT_EQ(std::pair(GetField(Field::OIp5), GetMirror(Mirror::FB)),
              std::pair(21074000, 21074000));
    EXPECT_DOUBLE_EQ(GetReal(RealField::OIp13), -50.0) << "a non-digit clarifier digit is skipped";
    EXPECT_EQ(TakeWindowIds(), Ids{0x833F});

    ResetRadioState();
    Analyse("IF00114250000+012010b2x051");
    // The field with the bad character (IFp22) stays; the others are stored; nothing notifies.
    ExpectFields(
        {{Field::IFp5, 14250000}, {Field::IFp21, 2}, {Field::IFp22, 0}, {Field::IFp25, 1}});
    EXPECT_TRUE(TakeWindowIds().empty());
}

TEST_F(AnalysisTest, KeyerTextReplacesTheChannelsText) {
    Analyse("KM2CQ CQ DE TEST " + std::string(40, 'K'));
    Analyse("KM2QRZ");
    char text[kKeyerTextSize] = {};
    ASSERT_TRUE(FetchKeyerText(2, kKeyerTextSize, text));
    EXPECT_STREQ(text, "QRZ") << "a shorter text leaves no trace of the longer one";
    Analyse("KM5" + std::string(60, 'A'));
    ASSERT_TRUE(FetchKeyerText(5, kKeyerTextSize, text));
    EXPECT_EQ(std::string(text), std::string(50, 'A'));
    EXPECT_EQ(TakeWindowIds(), Ids(3, 0x833D));
}

TEST_F(AnalysisTest, EqualizerAnswersFillTheirGroupAndTakeSelectorTwoForTheSecond) {
    // The program reads and writes the processor equalizer with P1 "2"; 1 still names it; any
    // sign but '-' is positive.
    const struct {
        const char* answer;
        int p1, p2, p3;
        int32_t value;
    } cases[] = {
        // clang-format off
        {"PE000005", 0, 0, 0, 5},
        {"PE001-05", 0, 0, 1, -5},
        {"PE002003", 0, 0, 2, 3},
        {"PE220018", 1, 2, 0, 18},
        {"PE211+08", 1, 1, 1, 8},
        {"PE202010", 1, 0, 2, 10},
        {"PE100004", 1, 0, 0, 4},
        {"PE000008", 0, 0, 0, 5},
        // clang-format on
    };
    for (const auto& c : cases) {
        Analyse(c.answer);
        EXPECT_EQ(GetPE(c.p1, c.p2, c.p3), c.value) << c.answer;
        EXPECT_EQ(TakeWindowIds(), Ids{0x834F}) << c.answer;
    }
    for (const char* bad : {"PE300005", "PE030005", "PE003005", "PE00x005", "PE0010x5"}) {
        Analyse(bad);
        EXPECT_TRUE(TakeWindowIds().empty()) << bad;
    }
}

// Our model's number starts the initial read; another number or an unreadable one disconnects
// with startup message 3; the extended number is only stored. The rows run in order.
TEST_F(AnalysisTest, IdentificationStartsTheReadOrDisconnects) {
    const struct {
        const char* answer;
        int32_t idx;
        std::vector<SeenWindowMessage> window;
        Ids sender;
    } cases[] = {
        {"ID0310", 0, {{0x8344, 0, 0}}, {kMsgStartInitialRead}},
        {"ID0311", 0, {{0x8109, 1, 3}, {0x8344, 0, 0}}, {kMsgConnect}},
        {"IDab10", 0, {{0x8109, 1, 3}}, {kMsgConnect}},
        {"ID0747123", 123, {{0x8344, 0, 0}}, {}},
        {"ID07471x3", 123, {}, {}},
    };
    for (const auto& c : cases) {
        Analyse(c.answer);
        ExpectFields({{Field::ID, 310}, {Field::IDX, c.idx}});
        EXPECT_EQ(std::exchange(windowMessages, {}), c.window) << c.answer;
        EXPECT_EQ(TakeSenderIds(), c.sender) << c.answer;
    }
}

// Automatic information answers in order, each after noting whether the program had asked for
// them (-1: as left): what they post to the sender and the window, and the AI field and mirror.
// Switched on, they connect once and then only notify; switched off, they ask again while it was
// asked for, else stop the reads and zero the meters.
TEST_F(AnalysisTest, AutoInformationAnswersConnectAskAgainOrStopTheReads) {
    bool watchdogArmedDuringSend = true;
    onWindow = [&](const Message& m) {
        if (m.id == kMsgConnectionUp) {
            watchdogArmedDuringSend = LinkWatchdogArmed.load() != 0 || window->HasTimer(17);
        }
    };
    SetField(Field::AI, 1);
    SetMirror(Mirror::AI, 1);
    SetField(Field::RM0, 200);
    SetField(Field::RM1, 100);
    SetField(Field::SM0, 150);
    const struct {
        int asked;
        const char* answer;
        Ids sender;
        Ids window;
        int32_t ai;
    } steps[] = {{1, "AI0", {kMsgConnect}, {}, 0},
                 {1, "AI1", {kMsgIdentProbe}, {kMsgConnectionUp, 0x833A}, 1},
                 {-1, "AI1", {}, {0x833A}, 1},
                 {0, "AI0", {kMsgStopReads}, {0x8321, 0x8321, 0x8337, 0x833A}, 0}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.answer);
        if (step.asked >= 0) {
            AutoInfoSent.store(step.asked);
        }
        Analyse(step.answer);
        EXPECT_EQ(TakeSenderIds(), step.sender);
        EXPECT_EQ(TakeWindowIds(), step.window);
        EXPECT_EQ(GetField(Field::AI), step.ai);
        EXPECT_EQ(GetMirror(Mirror::AI), step.ai);
    }
    ExpectFields({{Field::RM0, 0}, {Field::RM1, 0}, {Field::SM0, 0}});
    EXPECT_FALSE(watchdogArmedDuringSend) << "the watchdog is disarmed while an answer is analysed";
}

TEST_F(AnalysisTest, PowerOffThenOnReconnectsAndIdentifiesOnTheNextAutoInformation) {
    SetField(Field::AI, 1);
    SetMirror(Mirror::AI, 1);
    SetField(Field::SM1, 99);
    // Each step: the answer, what it posts to the sender and the window, and the power mirror,
    // the power-off marker, the AI mirror and the saved AI state it leaves.
    const struct {
        const char* answer;
        Ids sender;
        Ids window;
        int32_t ps, marker, ai, saved;
    } steps[] = {
        {"PS1", {}, {0x8347}, 1, 0, 1, 0},  // no saved AI value: power on is only recorded
        {"PS0", {kMsgStopReads}, {0x8321, 0x8321, 0x8337, 0x8347}, 0, 0, 1, 1},
        {"PS0", {}, {0x8347}, 0, 0, 1, 1},  // an unchanged state does nothing more
        {"PS1", {kMsgConnect}, {0x8347}, 1, 1, 0, 1},
        // The field never left 1, but the power-off marker asks for the probe.
        {"AI1", {kMsgIdentProbe}, {0x833A}, 1, 0, 1, 1},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.answer);
        Analyse(step.answer);
        EXPECT_EQ(TakeSenderIds(), step.sender);
        EXPECT_EQ(TakeWindowIds(), step.window);
        EXPECT_EQ(GetField(Field::PS), step.ps);
        EXPECT_EQ(GetMirror(Mirror::PS), step.ps);
        EXPECT_EQ(PowerOffMarker.load(), step.marker);
        EXPECT_EQ(GetMirror(Mirror::AI), step.ai);
        EXPECT_EQ(SavedAutoInfo.load(), step.saved);
    }
    EXPECT_EQ(GetField(Field::SM1), 0);
}

TEST_F(AnalysisTest, EveryAnswerLeavesTheWatchdogArmedForThreeSeconds) {
    Analyse("RTx");
    EXPECT_TRUE(window->HasTimer(17)) << "a malformed answer still re-arms the watchdog";
    EXPECT_EQ(LinkWatchdogArmed.load(), 1);
    runtime.RunFor(2000);
    Analyse("RT1");
    runtime.RunFor(2999);
    EXPECT_TRUE(timerTicks.empty()) << "the second answer restarted the three seconds";
    runtime.RunFor(1);
    EXPECT_EQ(timerTicks, (std::vector<std::pair<int64_t, int64_t>>{{5000, 17}}));
}

// A menu answer, the value it must leave in the item (by the item's kind), and the
// notifications it posts: none when the value is unchanged or the answer malformed. With AI on
// (and extended identification 0) kinds 32 and 35 answer one character shorter. In order.
TEST_F(AnalysisTest, MenuAnswersStoreTheValueByKindAndNotify) {
    const struct {
        const char* answer;
        int32_t item;
        int64_t value;
        Ids notifications;
        bool narrowed = false;
    } cases[] = {
        {"EX0010300", 1, 300, {}},                   // unchanged
        {"EX0010500", 1, 500, {0x830B}},             // kind 0
        {"EX0043", 4, 3, {0x830B}},                  // kind 1
        {"EX030-05", 30, -5, {0x830B}},              // kind 4, signed
        {"EX030+07", 30, 7, {0x830B}},               // kind 4, signed
        {"EX01230", 12, 30, {0x830B}},               // kind 8
        {"EX0901000000000001", 90, 4097, {0x830B}},  // kind 14, bits from 4096 down
        {"EX016241", 16, 270, {0x830B}},             // kind 41 above 240
        {"EX016120", 16, 120, {0x830B}},             // kind 41 up to 240
        {"EX069+05", 69, 5, {0x830B, 0x8307}},       // kind 11: the CO redraw
        {"EX0072", 7, 2, {0x830B, 0x8337}},          // kind 15: the SM redraw
        {"EX0081", 8, 1, {0x830B, 0x8321}},          // kind 37: the RM redraw
        {"EX0092", 9, 2, {0x830B, 0x8321}},          // kind 38
        {"EX0103", 10, 3, {0x830B, 0x8321}},         // kind 39
        {"EX09405", 94, 5, {0x830B}},                // kind 32, full width
        {"EX0946", 94, 6, {0x830B}, true},           // kind 32 narrowed
        {"EX0908190", 90, 4097, {}},                 // short of 13
        {"EX09011111111111x0", 90, 4097, {}},
        {"EX00105x0", 1, 500, {}},
        {"EX0a10500", 1, 500, {}},
        {"EX030-", 30, 7, {}},
        {"EX119000", 1, 500, {}},
        {"EX000000", 1, 500, {}},
    };
    for (const auto& c : cases) {
        SetField(Field::AI, c.narrowed ? 1 : 0);
        Analyse(c.answer);
        MenuItem item;
        ASSERT_TRUE(GetMenuItem(c.item, &item));
        EXPECT_EQ(MenuValueToWhole(item.value), c.value) << c.answer;
        EXPECT_EQ(TakeWindowIds(), c.notifications) << c.answer;
    }
    Analyse("EX0901111111111110");
    EXPECT_EQ(TakeWindowIds(), Ids{0x830B}) << "back to the catalogue's 8190";
    Analyse("EX0901111111111110");
    EXPECT_TRUE(TakeWindowIds().empty());
}

}  // namespace
}  // namespace kestrel
