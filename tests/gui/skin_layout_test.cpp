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

TEST(SkinLayout, CompositeDisplaysKeepTheirPlaces) {
    // clang-format off
    const Placed kRows[] = {
        {SkinGroup::FreqPoints,   0,      611, 67,   6,  9},
        {SkinGroup::FreqPoints,   2,      611, 67,   6,  9},
        {SkinGroup::FreqPoints,   1,      680, 67,   6,  9},
        {SkinGroup::OffsetDigits, 0,      693, 94,  10, 13},
        {SkinGroup::OffsetPoint,  0,      704, 103,  4,  4},
        {SkinGroup::OffsetPlus,   1,      685, 95,   5,  5},
        {SkinGroup::OffsetMinus,  1,      685, 100,  5,  5},
        {SkinGroup::UpperBar,     0,      209, 45,   2,  6},
        {SkinGroup::UpperBar,     3 * 30 + 2, 329, 45, 2, 6},
        {SkinGroup::LowerBar,     2 * 30 + 1, 329, 84, 2, 6},
        {SkinGroup::TuningBar,    3 * 20 + 2, 620, 102, 2, 6},
        {SkinGroup::UpperRxPlate, 1,      202, 34, 145, 10},
        {SkinGroup::UpperTxPlate, 1,      195, 52, 141, 10},
        {SkinGroup::LowerPlate0,  1,      187, 70, 160, 30},
        {SkinGroup::LowerPlate5,  0,      187, 70, 160, 30},
        {SkinGroup::ShiftRow,     2 * 10 + 1, 516, 106, 8, 2},
        {SkinGroup::WidthRow,     0,      426, 97,   8,  2},
        {SkinGroup::NotchRows,    0,      426, 89,   8,  1},
        {SkinGroup::NotchRows,    2 * 11, 426, 87,   8,  1},
        {SkinGroup::NotchRows,    2 * 21 + 1, 516, 87, 8, 1},
        {SkinGroup::ContourRows,  2 * 11, 426, 80,   8,  1},
        {SkinGroup::ContourRows,  0,      426, 78,   8,  1},
        {SkinGroup::LegendContour, 2,     376, 76,  45,  7},
    };
    // clang-format on
    for (const Placed& row : kRows) {
        ExpectPlaced(row);
    }
}

TEST(SkinLayout, LampsAndLegendsOfTheDisplayUpdatesSitAtTheirCorners) {
    struct Corner {
        SkinGroup group;
        int left;
        int top;
    };
    // clang-format off
    const Corner kRows[] = {
        {SkinGroup::LampRxClar, 672, 102}, {SkinGroup::LampTxClar, 672, 93},
        {SkinGroup::LegendClar, 637, 92},  {SkinGroup::LampDnf, 350, 98},
        {SkinGroup::LampDnr, 350, 89},     {SkinGroup::LampLock, 536, 69},
        {SkinGroup::LampFast, 536, 54},    {SkinGroup::LampBusy, 536, 39},
        {SkinGroup::LampTx, 536, 25},      {SkinGroup::LampMemory1, 632, 101},
        {SkinGroup::LampMemory2, 650, 101}, {SkinGroup::LampNar, 321, 25},
        {SkinGroup::LegendNb, 305, 25},    {SkinGroup::ColumnRflt, 469, 35},
        {SkinGroup::ColumnAgc, 502, 35},   {SkinGroup::ColumnAtt, 374, 35},
        {SkinGroup::ColumnIpo, 438, 35},   {SkinGroup::LampKeyer, 241, 25},
        {SkinGroup::ColumnAnt, 352, 42},   {SkinGroup::LegendTuner, 187, 103},
        {SkinGroup::LampBkIn, 275, 25},    {SkinGroup::LampProc, 187, 25},
        {SkinGroup::LampMoni, 215, 25},    {SkinGroup::LampMuTune, 405, 42},
        {SkinGroup::LampThru, 405, 57},    {SkinGroup::LampHiSwr, 221, 103},
        {SkinGroup::LampMicEq, 257, 103},  {SkinGroup::LampRec, 293, 103},
        {SkinGroup::LampPlay, 317, 103},   {SkinGroup::ModeLsb, 569, 25},
        {SkinGroup::ModeUsb, 594, 25},     {SkinGroup::ModeCw, 619, 25},
        {SkinGroup::ModeAm, 644, 25},      {SkinGroup::ModeFm, 669, 25},
        {SkinGroup::ModeRtty, 694, 25},    {SkinGroup::ModePkt, 725, 25},
    };
    // clang-format on
    for (const Corner& row : kRows) {
        const SkinRect r = ElementRect(row.group, 0);
        EXPECT_EQ(r.left, row.left) << GroupLayout(row.group).name;
        EXPECT_EQ(r.top, row.top) << GroupLayout(row.group).name;
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
        {0x8578, 19, 200, 51, 17, 4},  {0x8579, 33, 42, 31, 55, 4},
        {0x857B, 145, 39, 18, 19, 4},  {0x857C, 145, 85, 18, 19, 4},
        {0x857D, 106, 85, 18, 19, 2},  {0x857E, 106, 39, 18, 19, 2},
        {0x8580, 30, 146, 25, 14, 2},  {0x8586, 245, 146, 25, 14, 2},
        {0x8589, 116, 146, 25, 14, 2}, {0x8588, 159, 146, 25, 14, 2},
        {0x8585, 745, 186, 38, 15, 2}, {0x8587, 804, 186, 38, 15, 2},
        {0x858A, 18, 256, 25, 14, 2},  {0x8591, 114, 289, 25, 14, 2},
        {0x85E0, 927, 28, 21, 34, 2},  {0x8597, 961, 28, 21, 34, 2},
        {0x8599, 961, 91, 21, 17, 2},  {0x859B, 462, 152, 28, 17, 2},
        {0x85A9, 440, 289, 60, 13, 2}, {0x85A0, 453, 133, 32, 10, 4},
        {0x85A1, 666, 133, 32, 10, 4}, {0x85A8, 652, 285, 34, 14, 2},
        {0x85AB, 765, 28, 40, 11, 2},  {0x85B4, 765, 97, 40, 11, 2},
        {0x85AA, 817, 97, 40, 11, 2},  {0x85B5, 869, 97, 40, 11, 2},
        {0x85B8, 970, 149, 31, 15, 2}, {0x85DC, 303, 147, 25, 17, 4},
        {0x85BA, 303, 184, 25, 17, 4}, {0x85DE, 342, 184, 25, 17, 4},
        {0x85DF, 381, 184, 25, 17, 2}, {0x85E2, 394, 288, 15, 15, 2},
        {0x85E3, 95, 206, 25, 14, 2},  {0x85BE, 869, 178, 32, 10, 4},
        {0x85BF, 968, 178, 32, 10, 4}, {0x85C0, 864, 202, 19, 17, 4},
        {0x85C1, 864, 286, 19, 17, 4}, {0x85C2, 986, 202, 19, 17, 4},
        {0x85C3, 986, 286, 19, 17, 4},
    };
    // clang-format on
    for (const Cap& row : kRows) {
        const KeyCapRow* cap = KeyCapForMessage(row.message);
        ASSERT_NE(cap, nullptr) << std::hex << row.message;
        const SkinRect r = ElementRect(cap->group, 0);
        EXPECT_EQ(r.left, row.left) << std::hex << row.message;
        EXPECT_EQ(r.top, row.top) << std::hex << row.message;
        EXPECT_EQ(r.width, row.width) << std::hex << row.message;
        EXPECT_EQ(r.height, row.height) << std::hex << row.message;
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
    // clang-format off
    constexpr std::array<std::array<int, 4>, kKeyLampCount> kStrips{{
        {163, 178, 39, 5}, {242, 178, 29, 5}, {172, 248, 21, 5},
        {248, 248, 17, 5}, {752, 213, 34, 5}, {802, 213, 34, 5},
    }};
    // clang-format on
    for (int i = 0; i < kKeyLampCount; ++i) {
        const SkinRect r = KeyLampRect(i);
        EXPECT_EQ((std::array<int, 4>{r.left, r.top, r.width, r.height}), kStrips[i]) << i;
    }
}

TEST(SkinLayout, EveryGroupKeepsItsPositionsAndStates) {
    EXPECT_EQ(ElementCount(SkinGroup::UpperBar), 93);
    EXPECT_EQ(ElementCount(SkinGroup::LowerBar), 62);
    EXPECT_EQ(ElementCount(SkinGroup::TuningBar), 63);
    EXPECT_EQ(ElementCount(SkinGroup::OffsetDigits), 40);
    EXPECT_EQ(ElementCount(SkinGroup::NotchRows), 44);
    EXPECT_EQ(ElementCount(SkinGroup::ContourRows), 44);
    EXPECT_EQ(ElementCount(SkinGroup::ColumnAgc), 8);
    EXPECT_EQ(ElementCount(SkinGroup::ColumnIpo), 6);
    EXPECT_EQ(ElementCount(SkinGroup::ColumnAnt), 4);
    EXPECT_EQ(ElementCount(SkinGroup::LegendNb), 3);
    EXPECT_EQ(ElementCount(SkinGroup::LegendTuner), 3);
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

TEST(TuningPatterns, SingleDotGrowingBarAndPairTables) {
    EXPECT_EQ(TuningPatternRow(0, 0), Lit({}));
    EXPECT_EQ(TuningPatternRow(0, 1), Lit({0}));
    EXPECT_EQ(TuningPatternRow(0, 11), Lit({}, 2));
    EXPECT_EQ(TuningPatternRow(0, 21), Lit({20}));
    EXPECT_EQ(TuningPatternRow(1, 3), Lit({2, 3, 4, 5, 6, 7, 8, 9}, 2));
    EXPECT_EQ(TuningPatternRow(1, 10), Lit({9}, 2));
    EXPECT_EQ(TuningPatternRow(1, 11), Lit({}, 2));
    EXPECT_EQ(TuningPatternRow(1, 15), Lit({11, 12, 13, 14}, 2));
    EXPECT_EQ(TuningPatternRow(2, 1), Lit({0, 1}));
    EXPECT_EQ(TuningPatternRow(2, 5), Lit({8, 9}, 2));
    EXPECT_EQ(TuningPatternRow(2, 6), Lit({9, 11}, 2));
    EXPECT_EQ(TuningPatternRow(2, 7), Lit({11, 12}, 2));
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
