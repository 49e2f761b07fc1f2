#include <gtest/gtest.h>

#include <initializer_list>
#include <tuple>
#include <vector>

#include "painter_test_support.h"

namespace kestrel::testing {
namespace {

// Eleven columns with the listed ones lit.
std::vector<int> Columns(std::initializer_list<int> lit) {
    std::vector<int> row(11, 0);
    for (const int c : lit) {
        row[c] = 1;
    }
    return row;
}

using PainterDspRows = PainterTest;

TEST_F(PainterDspRows, ShiftLightsTheOneColumnOfItsRangeAndIsDarkInAmAndFm) {
    using Row = std::tuple<int, int, int>;  // mode, shift, lit column (-1: dark)
    // clang-format off
    const Row kRows[] = {
        {2, -1000, 0}, {2, -600, 0}, {2, -599, 1}, {2, -400, 1}, {2, -399, 2}, {2, -200, 2},
        {2, -199, 3},  {2, -100, 3}, {2, -99, 4},  {2, -1, 4},   {2, 0, 5},    {2, 1, 6},
        {2, 99, 6},    {2, 100, 7},  {2, 199, 7},  {2, 200, 8},  {2, 399, 8},  {2, 400, 9},
        {2, 599, 9},   {2, 600, 10}, {2, 1000, 10},
        {4, 300, -1},  {5, 300, -1}, {10, 300, -1}, {11, 300, -1},
    };
    // clang-format on
    for (const auto& [mode, hz, column] : kRows) {
        SetField(Field::MD0, 2);
        P().DrawShift(0);
        SetField(Field::MD0, mode);
        P().DrawShift(hz);
        EXPECT_EQ(ShownStates(P(), SkinGroup::ShiftRow, 0, 11),
                  column < 0 ? Columns({}) : Columns({column}))
            << "MD " << mode << " " << hz;
    }
}

TEST_F(PainterDspRows, WidthGrowsFromTheCentreAndIgnoresValuesOutsideItsRange) {
    P().DrawWidth(0);
    EXPECT_EQ(ShownStates(P(), SkinGroup::WidthRow, 0, 11), Columns({5}));
    P().DrawWidth(2);
    EXPECT_EQ(ShownStates(P(), SkinGroup::WidthRow, 0, 11), Columns({3, 4, 5, 6, 7}));
    P().DrawWidth(5);
    EXPECT_EQ(ShownStates(P(), SkinGroup::WidthRow, 0, 11),
              Columns({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    const QImage before = P().Picture();
    P().DrawWidth(6);
    P().DrawWidth(-1);
    EXPECT_EQ(P().Picture(), before);
}

TEST_F(PainterDspRows, NotchLightsTheNeighboursOfItsColumnAndIsDarkWhenOffInAmFmOrBelowOne) {
    using Row = std::tuple<int, int, int32_t, std::vector<int>, std::vector<int>>;  // BP, MD
    // clang-format off
    const Row kRows[] = {
        {1, 2, 150, Columns({4, 6}), Columns({4, 6})}, {1, 2, 1, Columns({1}), Columns({1})},
        {1, 2, 19, Columns({1}), Columns({1})},        {1, 2, 20, Columns({0, 2}), Columns({0, 2})},
        {1, 2, 400, Columns({9}), Columns({9})},       {0, 2, 150, Columns({}), Columns({})},
        {1, 2, 0, Columns({}), Columns({})},           {1, 4, 150, Columns({}), Columns({})},
        {1, 10, 150, Columns({}), Columns({})},        {1, 11, 150, Columns({}), Columns({})},
        {1, 5, 150, Columns({4, 6}), Columns({4, 6})},  // FM with mode value 5 keeps the notch
    };
    // clang-format on
    for (const auto& [bp, mode, level, first, second] : kRows) {
        SCOPED_TRACE(::testing::Message() << "BP " << bp << " MD " << mode << " " << level);
        SetFields({{Field::BP0, 1}, {Field::MD0, 2}});
        P().DrawNotch(150);
        SetFields({{Field::BP0, bp}, {Field::MD0, mode}});
        P().DrawNotch(level);
        EXPECT_EQ(ShownStates(P(), SkinGroup::NotchRows, 0, 11), first);
        EXPECT_EQ(ShownStates(P(), SkinGroup::NotchRows, 11, 11), second);
    }
    SetField(Field::MD0, 2);
    PutMenuSetting(1, 12, 1.0);  // the wide notch setting spreads the first row
    P().DrawNotch(150);
    EXPECT_EQ(ShownStates(P(), SkinGroup::NotchRows, 0, 11), Columns({3, 4, 6, 7}));
    EXPECT_EQ(ShownStates(P(), SkinGroup::NotchRows, 11, 11), Columns({3, 7}));
}

// The contour band by level while CO is 1 (0: dark), and the APF peak in one of three bands.
TEST_F(PainterDspRows, ContourBandFollowsTheLevelAndTheApfPeakItsValue) {
    using Row = std::tuple<bool, int, int32_t, std::vector<int>, std::vector<int>>;  // APF, CO
    // clang-format off
    const Row kRows[] = {
        {false, 1, 1, Columns({0, 1}), Columns({0})},          {false, 1, 12, Columns({3, 4, 5}), Columns({4})},
        {false, 1, 13, Columns({3, 4, 5}), Columns({4})},      {false, 1, 14, Columns({4, 5, 6}), Columns({5})},
        {false, 1, 27, Columns({8, 9, 10}), Columns({9})},     {false, 1, 30, Columns({9, 10}), Columns({10})},
        {false, 1, 31, Columns({9, 10}), Columns({10})},       {false, 0, 12, Columns({}), Columns({})},
        {false, 1, -1, Columns({}), Columns({})},              {true, 2, 0, Columns({0, 1, 2}), Columns({1})},
        {true, 2, 3, Columns({0, 1, 2}), Columns({1})},        {true, 2, 4, Columns({1, 2, 3}), Columns({2})},
        {true, 2, 10, Columns({2, 3, 4}), Columns({3})},
    };
    // clang-format on
    for (const auto& [apf, co, level, upper, lower] : kRows) {
        SCOPED_TRACE(::testing::Message() << "CO " << co << " " << level);
        SetField(Field::CO0, 1);
        P().DrawContour(12);
        SetField(Field::CO0, co);
        apf ? P().DrawApf(level) : P().DrawContour(level);
        EXPECT_EQ(ShownStates(P(), SkinGroup::ContourRows, 0, 11), upper);
        EXPECT_EQ(ShownStates(P(), SkinGroup::ContourRows, 11, 11), lower);
    }
    const QImage before = P().Picture();
    P().DrawContour(20);
    EXPECT_EQ(P().Picture(), before) << "APF mode leaves the contour rows to the APF";

    SetField(Field::CO0, 1);
    PutMenuSetting(1, 11, -3.0);  // a negative contour gain inverts the rows crosswise
    P().DrawContour(12);
    EXPECT_EQ(ShownStates(P(), SkinGroup::ContourRows, 0, 11),
              Columns({0, 1, 2, 3, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(ShownStates(P(), SkinGroup::ContourRows, 11, 11), Columns({0, 1, 2, 6, 7, 8, 9, 10}));
    P().DrawContour(-5);
    EXPECT_EQ(ShownStates(P(), SkinGroup::ContourRows, 0, 11), Columns({})) << "band 0 stays dark";
}

using PainterTuningBar = PainterTest;

// A single dot by default, a growing bar with the bar-display setting 0, pairs from the third
// table when selector 1 is -1.
TEST_F(PainterTuningBar, SegmentsFollowTheSelectorsAndTheDisplaySetting) {
    using Row = std::tuple<bool, int32_t, int32_t, std::vector<int>, int>;  // lit, centre
    // clang-format off
    const Row kRows[] = {
        {false, 5, 0, {4}, 0},                          {false, 11, 0, {}, 2},
        {false, 0, 0, {}, 0},                           {false, -1, 6, {9, 11}, 2},
        {false, -1, 1, {0, 1}, 0},                      {true, 5, 0, {4, 5, 6, 7, 8, 9}, 2},
        {true, 21, 0, {11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, 2},
    };
    // clang-format on
    for (const auto& [growing, bg1, bg2, lit, centre] : kRows) {
        if (growing) {
            PutMenuSetting(1, 40, 0.0);
        }
        SetFields({{Field::BG1, bg1}, {Field::BG2, bg2}});
        P().DrawTuningBar();
        std::vector<int> expected(21, 0);
        for (const int s : lit) {
            expected[s] = 1;
        }
        expected[10] = centre;
        EXPECT_EQ(ShownStates(P(), SkinGroup::TuningBar, 0, 21), expected)
            << growing << " " << bg1 << " " << bg2;
    }
}

TEST_F(PainterTuningBar, NothingIsDrawnForAnUnknownPairOrWhileAReadingRuns) {
    SetFields({{Field::BG1, -1}, {Field::BG2, -1}});
    const QImage before = P().Picture();
    P().DrawTuningBar();
    SetField(Field::BG1, 5);
    window_.readingRunning = 1;
    P().DrawTuningBar();
    EXPECT_EQ(P().Picture(), before);
    window_.readingRunning = 0;
    P().DrawTuningBar();
    EXPECT_NE(P().Picture(), before);
}

}  // namespace
}  // namespace kestrel::testing
