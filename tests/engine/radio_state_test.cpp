#include "protocol/radio_state.h"

#include <atomic>
#include <cstring>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "engine_fixtures.h"

namespace kestrel {
namespace {

using RadioStateTest = EngineTest;

struct LimitRow {
    Field field;
    int32_t initial;
    int32_t min;
    int32_t max;
};

// clang-format off
const LimitRow kLimitRows[] = {
    {Field::FA,    7000000, 30000, 60000000},
    {Field::SF,    8,       0,     8},
    {Field::CO0,   0,       0,     2},
    {Field::ANp4,  0,       0,     0},
    {Field::KS,    4,       4,     60},
    {Field::SD,    30,      30,    3000},
    {Field::IFp5,  0,       0,     99999999},
    {Field::IFp21, 0,       0,     4},
    {Field::IS,    0,       -1000, 1000},
    {Field::RL,    1,       1,     15},
    {Field::PC,    5,       5,     100},
    {Field::ID,    310,     310,   310},
    {Field::IDX,   0,       0,     999},
    {Field::MD0,   1,       0,     13},
    {Field::BG0,   3,       -1,    5},
    {Field::BG1,   0,       -1,    21},
    {Field::KC,    1,       0,     5},
};
// clang-format on

TEST_F(RadioStateTest, FieldsStartAtDefaultAndAcceptOnlyTheirLimits) {
    for (const LimitRow& row : kLimitRows) {
        SCOPED_TRACE(std::string(FieldName(row.field)));
        EXPECT_EQ(GetField(row.field), row.initial);
        EXPECT_FALSE(StoreField(row.field, row.min - 1));
        EXPECT_FALSE(StoreField(row.field, row.max + 1));
        EXPECT_TRUE(SetField(row.field, row.max + 1)) << "the setter reports success even so";
        EXPECT_EQ(GetField(row.field), row.initial);
        EXPECT_TRUE(StoreField(row.field, row.max));
        EXPECT_EQ(GetField(row.field), row.max);
        EXPECT_TRUE(StoreField(row.field, row.min));
        EXPECT_EQ(GetField(row.field), row.min);
    }
}

TEST_F(RadioStateTest, MirroredFieldsLandInTheRightMirrorValueWithinItsLimits) {
    const struct {
        Field field;
        int32_t value;
        Mirror mirror;
        int32_t expected;
    } cases[] = {{Field::FA, 14000000, Mirror::FA, 14000000},
                 {Field::IFp5, 20000, Mirror::FA, 14000000},
                 {Field::IFp5, 7100000, Mirror::FA, 7100000},
                 {Field::OIp5, 21000000, Mirror::FB, 21000000},
                 {Field::NL1, 77, Mirror::NL, 77},
                 {Field::NL0, 12, Mirror::NL, 12},
                 {Field::IFp18, 1, Mirror::RT, 1},
                 {Field::IFp19, 1, Mirror::XT, 1},
                 {Field::SQ1, 200, Mirror::SQ1, 200},
                 {Field::SQ1, 200, Mirror::SQ0, 0},
                 {Field::NR1, 1, Mirror::NR, 0}};
    for (const auto& c : cases) {
        SetFieldAndMirror(c.field, c.value);
        EXPECT_EQ(GetField(c.field), c.value) << FieldName(c.field);
        EXPECT_EQ(GetMirror(c.mirror), c.expected) << FieldName(c.field);
    }
    EXPECT_FALSE(MirrorOfField(Field::SM0).has_value());
}

TEST_F(RadioStateTest, MirrorStartsWithItsOwnDefaultsAndLimits) {
    EXPECT_EQ(
        (std::vector<int32_t>{GetMirror(Mirror::BP1), GetMirror(Mirror::CO1),
                              GetMirror(Mirror::ML1), GetMirror(Mirror::KS), GetMirror(Mirror::RL),
                              GetMirror(Mirror::FA), GetMirror(Mirror::SD)}),
        (std::vector<int32_t>{1, 1, 1, 4, 1, 0, 0}));
    // Plain values (MD0, AI) take any number.
    EXPECT_EQ(
        (std::vector<bool>{
            SetMirror(Mirror::SD, 5000), SetMirror(Mirror::SD, 5001), SetMirror(Mirror::BP1, 400),
            SetMirror(Mirror::BP1, 0), SetMirror(Mirror::SH, 32), SetMirror(Mirror::IS, -1000),
            SetMirror(Mirror::MDFilter, 3), SetMirror(Mirror::MD0, 99), SetMirror(Mirror::AI, -7)}),
        (std::vector<bool>{true, false, true, false, false, true, false, true, true}));
    EXPECT_EQ(GetMirror(Mirror::AI), -7);
    EXPECT_FALSE(MirrorIsRanged(Mirror::PS));
}

TEST_F(RadioStateTest, ClarifierOffsetAcceptsOnlyPlusMinus9999) {
    EXPECT_EQ(GetReal(RealField::IFp13), 0.0);
    SetReal(RealField::IFp13, -9999.0);
    EXPECT_EQ(GetReal(RealField::IFp13), -9999.0);
    EXPECT_TRUE(SetReal(RealField::IFp13, 9999.5));
    EXPECT_EQ(GetReal(RealField::IFp13), -9999.0);
    SetReal(RealField::OIp13, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(GetReal(RealField::OIp13), 0.0);
}

TEST_F(RadioStateTest, PeFrequencyIndexMaximumFollowsP2) {
    const int32_t maxByP2[] = {7, 9, 18};
    for (int p1 = 0; p1 < 2; ++p1) {
        for (int p2 = 0; p2 < 3; ++p2) {
            SCOPED_TRACE(p1 * 10 + p2);
            EXPECT_EQ(GetPE(p1, p2, 0), 0);
            EXPECT_EQ(GetPE(p1, p2, 1), 5);
            EXPECT_EQ(GetPE(p1, p2, 2), 10);
            SetPE(p1, p2, 0, maxByP2[p2] + 1);
            EXPECT_EQ(GetPE(p1, p2, 0), 0);
            SetPE(p1, p2, 0, maxByP2[p2]);
            EXPECT_EQ(GetPE(p1, p2, 0), maxByP2[p2]);
            SetPE(p1, p2, 1, -20);
            EXPECT_EQ(GetPE(p1, p2, 1), -20);
            SetPE(p1, p2, 1, 11);
            EXPECT_EQ(GetPE(p1, p2, 1), -20);
            SetPE(p1, p2, 2, 0);
            EXPECT_EQ(GetPE(p1, p2, 2), 10);
        }
    }
    EXPECT_EQ((std::vector<bool>{SetPE(2, 0, 0, 1), SetPE(0, 3, 0, 1), SetPE(0, 0, 3, 1),
                                 SetPE(-1, 0, 0, 1)}),
              std::vector<bool>(4, false));
}

TEST_F(RadioStateTest, KeyerTextLengthRules) {
    char buffer[64] = {};
    EXPECT_EQ((std::vector<bool>{StoreKeyerText(1, 52, "ABC"), StoreKeyerText(1, 51, "ABC"),
                                 FetchKeyerText(1, 52, buffer), StoreKeyerText(0, 50, "ABC"),
                                 StoreKeyerText(6, 50, "ABC"), FetchKeyerText(6, 10, buffer),
                                 FetchKeyerText(1, 10, nullptr), StoreKeyerText(1, 50, nullptr)}),
              (std::vector<bool>{false, true, false, false, false, false, false, false}));
    // A text without a NUL within the field keeps 50 characters and its terminator.
    const std::string sixty(60, 'E');
    ASSERT_TRUE(StoreKeyerText(2, 51, sixty.c_str()));
    ASSERT_TRUE(FetchKeyerText(2, kKeyerTextSize, buffer));
    EXPECT_EQ(std::string(buffer), std::string(50, 'E'));

    // The declared length bounds what is read from the caller's text.
    ASSERT_TRUE(StoreKeyerText(2, 4, "ABCDEFG"));
    ASSERT_TRUE(FetchKeyerText(2, kKeyerTextSize, buffer));
    EXPECT_STREQ(buffer, "ABCD");

    // A short buffer is filled and still terminated.
    char small[4];
    ASSERT_TRUE(FetchKeyerText(2, sizeof small, small));
    EXPECT_STREQ(small, "ABC");
}

TEST_F(RadioStateTest, ResetClearsKeyerTextsMarkerReadinessAndTheMenuCount) {
    StoreKeyerText(5, 50, "5NN");
    PowerOffMarker = 1;
    SavedAutoInfo = 1;
    StoreReady = 1;
    SetField(Field::FA, 14000000);
    EXPECT_FALSE(SetMenuItemCount(0) || SetMenuItemCount(501));
    EXPECT_EQ(GetMenuItemCount(), 118);
    EXPECT_TRUE(SetMenuItemCount(500));
    EXPECT_EQ(GetMenuItemCount(), 500);
    ResetRadioState();
    char buffer[kKeyerTextSize];
    FetchKeyerText(5, kKeyerTextSize, buffer);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(PowerOffMarker.load() + SavedAutoInfo.load() + StoreReady.load(), 0);
    EXPECT_EQ(GetField(Field::FA), 7000000);
    EXPECT_EQ(GetMenuItemCount(), 118);
}

TEST_F(RadioStateTest, MenuRecordsCopyWholeAndRefuseMissingOnes) {
    MenuItem item = CatalogueMenuItem(36);
    item.edited = 1;
    item.editedValue = 55;
    ASSERT_TRUE(PutMenuItem(36, &item));
    MenuItem back;
    ASSERT_TRUE(GetMenuItem(36, &back));
    EXPECT_EQ(std::memcmp(&item, &back, sizeof item), 0);
    EXPECT_FALSE(GetMenuItem(36, nullptr) || PutMenuItem(36, nullptr) || GetMenuItem(0, &back) ||
                 GetMenuItem(119, &back) || PutMenuItem(119, &item));
    SetMenuItemCount(30);
    EXPECT_FALSE(GetMenuItem(36, &back));
}

TEST_F(RadioStateTest, ReplacingMenuValueReportsOnlyChanges) {
    LoadMenuCatalogue();
    EXPECT_FALSE(ReplaceMenuItemValue(1, 300));
    EXPECT_TRUE(ReplaceMenuItemValue(1, 320));
    MenuItem item;
    GetMenuItem(1, &item);
    EXPECT_EQ(item.value, 320.0);
    item.value = 2.9999999;
    PutMenuItem(1, &item);
    EXPECT_FALSE(ReplaceMenuItemValue(1, 3)) << "2.9999999 counts as 3";
    EXPECT_FALSE(ReplaceMenuItemValue(119, 3));
}

TEST_F(RadioStateTest, LookupByKindReturnsFirstMatchOrDefault) {
    // Before the catalogue is loaded no record has a catalogued kind.
    EXPECT_EQ(MenuValueOfKind(MenuKind::BarDisplay), 1.0);
    EXPECT_EQ(MenuValueOfKind(MenuKind::NotchWidth), 0.0);
    LoadMenuCatalogue();
    // Items 6, 7, 8, 9, 10 and 69 by their defaults; an unknown kind reads 1.
    EXPECT_EQ(
        (std::vector<double>{
            MenuValueOfKind(MenuKind::BarDisplay), MenuValueOfKind(MenuKind::SMeterHold),
            MenuValueOfKind(MenuKind::PoMeterHold), MenuValueOfKind(MenuKind::AlcMeterHold),
            MenuValueOfKind(MenuKind::IdMeterHold), MenuValueOfKind(MenuKind::ContourLevel),
            MenuValueOfKind(MenuKind::NotchWidth), MenuValueOfKind(static_cast<MenuKind>(99))}),
        (std::vector<double>{1.0, 0.0, 0.0, 0.0, 0.0, -15.0, 0.0, 1.0}));
    ReplaceMenuItemValue(8, 3);
    EXPECT_EQ(MenuValueOfKind(MenuKind::PoMeterHold), 3.0);
    MenuItem item = CatalogueMenuItem(5);
    item.kind = 40;
    item.value = 2;
    PutMenuItem(5, &item);
    EXPECT_EQ(MenuValueOfKind(MenuKind::BarDisplay), 2.0) << "the first item of the kind wins";
    item.kind = 12;
    item.value = 7;
    PutMenuItem(5, &item);
    EXPECT_EQ(MenuValueOfKind(MenuKind::NotchWidth), 7.0);
}

TEST_F(RadioStateTest, MenuWidthCorrectionShortensKinds32And35Only) {
    LoadMenuCatalogue();
    SetField(Field::AI, 1);
    EXPECT_TRUE(MenuWidthCorrectionActive());
    EXPECT_EQ((std::vector<int>{MenuAnswerWidth(94), MenuAnswerWidth(103), MenuAnswerWidth(91),
                                MenuAnswerWidth(97), MenuAnswerWidth(90)}),
              (std::vector<int>{1, 1, 2, 2, 13}));
    SetField(Field::IDX, 5);
    EXPECT_EQ(MenuAnswerWidth(94), 2);
    SetField(Field::IDX, 0);
    SetField(Field::AI, 0);
    EXPECT_EQ(MenuAnswerWidth(103), 2);
    EXPECT_EQ((std::vector{MenuAnswerWidth(0), MenuAnswerWidth(119), MenuItemKind(119)}),
              std::vector(3, -1));
    EXPECT_EQ(MenuItemKind(94), 32);
}

// A writer puts alternating whole records while the test's thread copies them out; every copy
// must be one record or the other, never a mix.
TEST(RadioStateThreads, MenuRecordIsNeverSeenTorn) {
    ResetRadioState();
    MenuItem a{};
    MenuItem b{};
    std::memset(a.name, 'A', sizeof a.name - 1);
    std::memset(b.name, 'B', sizeof b.name - 1);
    std::memset(a.choices, 'a', sizeof a.choices);
    std::memset(b.choices, 'b', sizeof b.choices);
    a.value = a.editedValue = 1.0;
    b.value = b.editedValue = 2.0;
    PutMenuItem(10, &a);
    std::atomic<bool> writing{true};
    std::thread writer([&] {
        for (int i = 0; i < 40000; ++i) {
            PutMenuItem(10, (i & 1) ? &a : &b);
        }
        writing = false;
    });
    int torn = 0;
    MenuItem copy;
    do {
        GetMenuItem(10, &copy);
        const MenuItem& like = copy.value == 1.0 ? a : b;
        torn += std::memcmp(copy.name, like.name, sizeof copy.name) != 0 ||
                std::memcmp(copy.choices, like.choices, sizeof copy.choices) != 0 ||
                copy.editedValue != like.editedValue;
    } while (writing.load());
    writer.join();
    EXPECT_EQ(torn, 0);
    ResetRadioState();
}

}  // namespace
}  // namespace kestrel
