#include "app/skin_layout.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "app/panel_painter.h"

namespace kestrel {
namespace {

struct Placed {
    SkinGroup group;
    int element;
    int left;
    int top;
    int width;
    int height;
};

void ExpectPlaced(const Placed& row) {
    const SkinRect r = ElementRect(row.group, row.element);
    EXPECT_EQ(r.left, row.left) << GroupLayout(row.group).name << " element " << row.element;
    EXPECT_EQ(r.top, row.top) << GroupLayout(row.group).name << " element " << row.element;
    EXPECT_EQ(r.width, row.width) << GroupLayout(row.group).name;
    EXPECT_EQ(r.height, row.height) << GroupLayout(row.group).name;
}

TEST(SkinLayout, MainFrequencyDigitsSitInTheirColumnsWithAllTwentyTwoImagesInPlace) {
    constexpr std::array<int, 7> kColumns{569, 590, 617, 638, 659, 686, 707};
    EXPECT_EQ(ElementCount(SkinGroup::MainDigits), 7 * 22);
    for (int i = 0; i < 7; ++i) {
        for (const int image : {0, 10, 11, 21}) {
            ExpectPlaced({SkinGroup::MainDigits, 22 * i + image, kColumns[i], 47, 21, 29});
        }
    }
    ExpectPlaced({SkinGroup::LastDigit, 0, 728, 57, 14, 19});
    ExpectPlaced({SkinGroup::LastDigit, 21, 728, 57, 14, 19});
}

TEST(SkinLayout, SpotElementsKeepTheirPlaces) {
    // clang-format off
    const Placed kRows[] = {
        {SkinGroup::FreqPoints,   1,      680, 67,   6,  9},
        {SkinGroup::OffsetDigits, 0,      693, 94,  10, 13},
        {SkinGroup::OffsetMinus,  1,      685, 100,  5,  5},
        {SkinGroup::UpperBar,     3 * 30 + 2, 329, 45, 2, 6},
        {SkinGroup::LowerBar,     2 * 30 + 1, 329, 84, 2, 6},
        {SkinGroup::TuningBar,    3 * 20 + 2, 620, 102, 2, 6},
        {SkinGroup::NotchRows,    2 * 21 + 1, 516, 87, 8, 1},
        {SkinGroup::ContourRows,  2 * 11, 426, 80,   8,  1},
    };
    // clang-format on
    for (const Placed& row : kRows) {
        ExpectPlaced(row);
    }
}

TEST(SkinLayout, EveryElementLiesInsideThePanel) {
    for (int g = 0; g < kSkinGroupCount; ++g) {
        const auto group = static_cast<SkinGroup>(g);
        ASSERT_GT(ElementCount(group), 0) << GroupLayout(group).name;
        for (int e = 0; e < ElementCount(group); ++e) {
            const SkinRect r = ElementRect(group, e);
            ASSERT_GT(r.width, 0) << GroupLayout(group).name << " element " << e;
            ASSERT_GT(r.height, 0) << GroupLayout(group).name << " element " << e;
            ASSERT_GE(r.left, 0) << GroupLayout(group).name << " element " << e;
            ASSERT_GE(r.top, 0) << GroupLayout(group).name << " element " << e;
            ASSERT_LE(r.left + r.width, kPanelWidth) << GroupLayout(group).name << " " << e;
            ASSERT_LE(r.top + r.height, kPanelHeight) << GroupLayout(group).name << " " << e;
        }
    }
    for (int i = 0; i < kKeyLampCount; ++i) {
        const SkinRect r = KeyLampRect(i);
        EXPECT_LE(r.left + r.width, kPanelWidth) << i;
        EXPECT_LE(r.top + r.height, kPanelHeight) << i;
    }
}

TEST(SkinLayout, ModeLegendsRunLeftToRightOnOneLine) {
    const SkinGroup kModes[] = {SkinGroup::ModeLsb, SkinGroup::ModeUsb, SkinGroup::ModeCw,
                                SkinGroup::ModeAm,  SkinGroup::ModeFm,  SkinGroup::ModeRtty,
                                SkinGroup::ModePkt};
    for (size_t i = 1; i < std::size(kModes); ++i) {
        const SkinRect before = ElementRect(kModes[i - 1], 0);
        const SkinRect after = ElementRect(kModes[i], 0);
        EXPECT_EQ(after.top, 25) << GroupLayout(kModes[i]).name;
        EXPECT_GE(after.left, before.left + before.width) << GroupLayout(kModes[i]).name;
    }
}

TEST(SkinLayout, LegendColumnsStackTheirLegendsWithBothLooksAtOnePlace) {
    // Four-legend columns are 10 pixels apart, three-legend ones 15.
    for (int p = 0; p < 4; ++p) {
        for (const bool lit : {false, true}) {
            const SkinRect r =
                ElementRect(SkinGroup::ColumnRflt, ColumnElement(SkinGroup::ColumnRflt, p, lit));
            EXPECT_EQ(r.left, 469);
            EXPECT_EQ(r.top, 35 + 10 * p);
        }
    }
    for (int p = 0; p < 3; ++p) {
        const SkinRect r =
            ElementRect(SkinGroup::ColumnIpo, ColumnElement(SkinGroup::ColumnIpo, p, true));
        EXPECT_EQ(r.top, 35 + 15 * p);
    }
    EXPECT_EQ(ColumnElement(SkinGroup::ColumnAtt, 1, false), 1);
    EXPECT_EQ(ColumnElement(SkinGroup::ColumnAtt, 1, true), 5);
}

TEST(SkinLayout, KeyCapMessagesDrawTheCapsAtTheirRectangles) {
    struct Cap {
        uint32_t message;
        int left;
        int top;
        int width;
        int height;
        int images;
    };
    // clang-format off
    const Cap kRows[] = {
        {0x8578, 19, 200, 51, 17, 4},  {0x857D, 106, 85, 18, 19, 2},
        {0x85E0, 927, 28, 21, 34, 2},  {0x85A0, 453, 133, 32, 10, 4},
        {0x85E3, 95, 206, 25, 14, 2},  {0x85C3, 986, 286, 19, 17, 4},
    };
    // clang-format on
    for (const Cap& row : kRows) {
        const KeyCapRow* cap = KeyCapForMessage(row.message);
        ASSERT_NE(cap, nullptr) << std::hex << row.message;
        const SkinRect r = ElementRect(cap->group, 0);
        EXPECT_EQ((std::array<int, 4>{r.left, r.top, r.width, r.height}),
                  (std::array<int, 4>{row.left, row.top, row.width, row.height}))
            << std::hex << row.message;
        EXPECT_EQ(ElementCount(cap->group), row.images) << std::hex << row.message;
    }
}

TEST(SkinLayout, MessagesWithEmptyHandlersHaveNoCap) {
    for (const uint32_t message : {0x857Au, 0x857Fu, 0x8592u, 0x8595u, 0x85B9u, 0x85BBu, 0x85BDu,
                                   0x85C4u, 0x85C7u, 0x85CAu, 0x85D0u, 0x85D4u, 0x85D5u}) {
        EXPECT_EQ(KeyCapForMessage(message), nullptr) << std::hex << message;
    }
}

TEST(SkinLayout, KeyLampStripsSitOverTheirKnobs) {
    const SkinRect first = KeyLampRect(0);
    EXPECT_EQ((std::array<int, 4>{first.left, first.top, first.width, first.height}),
              (std::array<int, 4>{163, 178, 39, 5}));
    const SkinRect last = KeyLampRect(kKeyLampCount - 1);
    EXPECT_EQ((std::array<int, 4>{last.left, last.top, last.width, last.height}),
              (std::array<int, 4>{802, 213, 34, 5}));
}

TEST(SkinLayout, GroupsKeepTheirPositionsAndStates) {
    EXPECT_EQ(ElementCount(SkinGroup::UpperBar), 93);
    EXPECT_EQ(ElementCount(SkinGroup::LowerBar), 62);
    EXPECT_EQ(ElementCount(SkinGroup::TuningBar), 63);
    EXPECT_EQ(ElementCount(SkinGroup::NotchRows), 44);
    EXPECT_EQ(GroupByName("lamp_tx"), SkinGroup::LampTx);
    EXPECT_EQ(GroupByName("no_such_group"), SkinGroup::Count);
}

TuningPattern Lit(std::initializer_list<int> normal, int centre = 0) {
    TuningPattern row{};
    for (const int s : normal) {
        row[s] = 1;
    }
    row[10] = static_cast<uint8_t>(centre);
    return row;
}

// The middle rows are checked on the painted bar; these are the ends of each table and past them.
TEST(TuningPatterns, TableEndsAndRowsPastThemLightNothingStray) {
    EXPECT_EQ(TuningPatternRow(0, 0), Lit({}));
    EXPECT_EQ(TuningPatternRow(0, 21), Lit({20}));
    EXPECT_EQ(TuningPatternRow(1, 10), Lit({9}, 2));
    EXPECT_EQ(TuningPatternRow(2, 11), Lit({19, 20}));
    EXPECT_EQ(TuningPatternRow(2, 12), Lit({}));
    EXPECT_EQ(TuningPatternRow(2, 22), Lit({}));
    EXPECT_EQ(TuningPatternRow(3, 1), Lit({}));
}

TEST(KnobAngles, SweepFrom207DegreesThrough303) {
    EXPECT_EQ(PanelPainter::KnobAngle(Knob::MicGain, 0), 207);
    EXPECT_EQ(PanelPainter::KnobAngle(Knob::MicGain, 255), 150);
    EXPECT_EQ(PanelPainter::KnobAngle(Knob::AfGain, 129), 360);
    EXPECT_EQ(PanelPainter::KnobAngle(Knob::AfGain, 130), 1);
    EXPECT_EQ(PanelPainter::KnobAngle(Knob::Sql, -20), 207);
    EXPECT_EQ(PanelPainter::KnobAngle(Knob::Sql, 999), 150);
    EXPECT_EQ(PanelPainter::KnobAngle(Knob::Speed, 4), 207);
    EXPECT_EQ(PanelPainter::KnobAngle(Knob::Speed, 60), 150);
    EXPECT_EQ(PanelPainter::KnobAngle(Knob::Speed, 30), 347);
    EXPECT_EQ(PanelPainter::KnobAngle(Knob::Speed, 0), 207);
}

}  // namespace
}  // namespace kestrel
