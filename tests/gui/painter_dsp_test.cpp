#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "painter_test_support.h"
#include "platform/main_window.h"

namespace kestrel {
namespace {

using testing::PainterTest;
using testing::PutMenuSetting;
using testing::ShownStates;

// Eleven columns with the listed ones lit.
std::vector<int> Columns(std::initializer_list<int> lit) {
    std::vector<int> row(11, 0);
    for (const int c : lit) {
        row[c] = 1;
    }
    return row;
}

using PainterDspRows = PainterTest;

TEST_F(PainterDspRows, ShiftLightsTheOneColumnOfItsRange) {
    SetField(Field::MD0, 2);
    struct Row {
        int hz;
        int column;
    };
    // clang-format off
    const Row kRows[] = {
        {-1000, 0}, {-600, 0}, {-599, 1}, {-400, 1}, {-399, 2}, {-200, 2}, {-199, 3},
        {-100, 3},  {-99, 4},  {-1, 4},   {0, 5},    {1, 6},    {99, 6},   {100, 7},
        {199, 7},   {200, 8},  {399, 8},  {400, 9},  {599, 9},  {600, 10}, {1000, 10},
    };
    // clang-format on
    for (const Row& row : kRows) {
        P().DrawShift(row.hz);
        EXPECT_EQ(ShownStates(P(), SkinGroup::ShiftRow, 0, 11), Columns({row.column})) << row.hz;
    }
}

TEST_F(PainterDspRows, ShiftIsDarkInAmAndFm) {
    for (const int mode : {4, 5, 10, 11}) {
        SetField(Field::MD0, 2);
        P().DrawShift(0);
        SetField(Field::MD0, mode);
        P().DrawShift(300);
        EXPECT_EQ(ShownStates(P(), SkinGroup::ShiftRow, 0, 11), Columns({})) << mode;
    }
}

TEST_F(PainterDspRows, WidthGrowsFromTheCentre) {
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

class PainterNotchRows : public PainterTest {
  protected:
    void SetUp() override {
        PainterTest::SetUp();
        SetField(Field::MD0, 2);
        SetField(Field::BP0, 1);
    }
    std::vector<int> First() { return ShownStates(P(), SkinGroup::NotchRows, 0, 11); }
    std::vector<int> Second() { return ShownStates(P(), SkinGroup::NotchRows, 11, 11); }
};

TEST_F(PainterNotchRows, NarrowNotchLightsBothNeighboursInBothRows) {
    P().DrawNotch(150);
    EXPECT_EQ(First(), Columns({4, 6}));
    EXPECT_EQ(Second(), Columns({4, 6}));
    P().DrawNotch(1);
    EXPECT_EQ(First(), Columns({1}));
    EXPECT_EQ(Second(), Columns({1}));
    P().DrawNotch(19);
    EXPECT_EQ(First(), Columns({1}));
    P().DrawNotch(20);
    EXPECT_EQ(First(), Columns({0, 2}));
    P().DrawNotch(400);
    EXPECT_EQ(First(), Columns({9}));
}

TEST_F(PainterNotchRows, WideNotchSettingSpreadsTheFirstRow) {
    PutMenuSetting(1, 12, 1.0);
    P().DrawNotch(150);
    EXPECT_EQ(First(), Columns({3, 4, 6, 7}));
    EXPECT_EQ(Second(), Columns({3, 7}));
}

TEST_F(PainterNotchRows, DarkWhenOffInAmOrFmOrBelowLevelOne) {
    P().DrawNotch(150);
    SetField(Field::BP0, 0);
    P().DrawNotch(150);
    EXPECT_EQ(First(), Columns({}));
    EXPECT_EQ(Second(), Columns({}));
    SetField(Field::BP0, 1);
    P().DrawNotch(0);
    EXPECT_EQ(First(), Columns({}));
    for (const int mode : {4, 10, 11}) {
        P().DrawNotch(150);
        SetField(Field::MD0, mode);
        P().DrawNotch(150);
        EXPECT_EQ(First(), Columns({})) << mode;
        SetField(Field::MD0, 2);
    }
    // FM with mode value 5 keeps the notch.
    SetField(Field::MD0, 5);
    P().DrawNotch(150);
    EXPECT_EQ(First(), Columns({4, 6}));
}

class PainterContourRows : public PainterTest {
  protected:
    std::vector<int> Upper() { return ShownStates(P(), SkinGroup::ContourRows, 0, 11); }
    std::vector<int> Lower() { return ShownStates(P(), SkinGroup::ContourRows, 11, 11); }
};

TEST_F(PainterContourRows, ContourBandFollowsTheLevel) {
    SetField(Field::CO0, 1);
    P().DrawContour(1);
    EXPECT_EQ(Upper(), Columns({0, 1}));
    EXPECT_EQ(Lower(), Columns({0}));
    P().DrawContour(12);
    EXPECT_EQ(Upper(), Columns({3, 4, 5}));
    EXPECT_EQ(Lower(), Columns({4}));
    P().DrawContour(13);
    EXPECT_EQ(Upper(), Columns({3, 4, 5}));
    P().DrawContour(14);
    EXPECT_EQ(Upper(), Columns({4, 5, 6}));
    P().DrawContour(27);
    EXPECT_EQ(Upper(), Columns({8, 9, 10}));
    EXPECT_EQ(Lower(), Columns({9}));
    P().DrawContour(30);
    EXPECT_EQ(Upper(), Columns({9, 10}));
    P().DrawContour(31);
    EXPECT_EQ(Upper(), Columns({9, 10}));
    EXPECT_EQ(Lower(), Columns({10}));
}

TEST_F(PainterContourRows, ContourOffOrNegativeLevelIsDark) {
    SetField(Field::CO0, 1);
    P().DrawContour(12);
    SetField(Field::CO0, 0);
    P().DrawContour(12);
    EXPECT_EQ(Upper(), Columns({}));
    EXPECT_EQ(Lower(), Columns({}));
    SetField(Field::CO0, 1);
    P().DrawContour(12);
    P().DrawContour(-1);
    EXPECT_EQ(Upper(), Columns({}));
}

TEST_F(PainterContourRows, NegativeContourGainInvertsTheRowsCrosswise) {
    PutMenuSetting(1, 11, -3.0);
    SetField(Field::CO0, 1);
    P().DrawContour(12);
    EXPECT_EQ(Upper(), Columns({0, 1, 2, 3, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(Lower(), Columns({0, 1, 2, 6, 7, 8, 9, 10}));
    // Band 0 is never inverted.
    P().DrawContour(-5);
    EXPECT_EQ(Upper(), Columns({}));
}

TEST_F(PainterContourRows, ApfModeLeavesTheContourRowsToTheApf) {
    SetField(Field::CO0, 1);
    P().DrawContour(12);
    SetField(Field::CO0, 2);
    const QImage before = P().Picture();
    P().DrawContour(20);
    EXPECT_EQ(P().Picture(), before);
}

TEST_F(PainterContourRows, ApfPeakSitsInOneOfThreeBands) {
    P().DrawApf(0);
    EXPECT_EQ(Upper(), Columns({0, 1, 2}));
    EXPECT_EQ(Lower(), Columns({1}));
    P().DrawApf(3);
    EXPECT_EQ(Lower(), Columns({1}));
    P().DrawApf(4);
    EXPECT_EQ(Upper(), Columns({1, 2, 3}));
    EXPECT_EQ(Lower(), Columns({2}));
    P().DrawApf(10);
    EXPECT_EQ(Upper(), Columns({2, 3, 4}));
    EXPECT_EQ(Lower(), Columns({3}));
}

// A main window that only answers the reading-running byte.
class ReadingWindow : public MainWindow {
  public:
    bool PostMessage(uint32_t, uint64_t, int64_t) override { return true; }
    int64_t SendMessage(uint32_t, uint64_t, int64_t) override { return 0; }
    void SetTimer(int, int64_t) override {}
    void KillTimer(int) override {}
    uint8_t WindowWaiting() const override { return 0; }
    void SetWindowWaiting(uint8_t) override {}
    uint8_t ReadingRunning() const override { return running; }
    void SetReadingRunning(uint8_t value) override { running = value; }
    uint8_t running = 0;
};

class PainterTuningBar : public PainterTest {
  protected:
    void SetUp() override {
        PainterTest::SetUp();
        SetMainWindow(&window_);
    }
    void TearDown() override {
        SetMainWindow(nullptr);
        PainterTest::TearDown();
    }
    std::vector<int> Segments() { return ShownStates(P(), SkinGroup::TuningBar, 0, 21); }
    static std::vector<int> Lit(std::initializer_list<int> normal, int centre = 0) {
        std::vector<int> row(21, 0);
        for (const int s : normal) {
            row[s] = 1;
        }
        row[10] = centre;
        return row;
    }
    ReadingWindow window_;
};

TEST_F(PainterTuningBar, SingleDotByDefault) {
    SetField(Field::BG1, 5);
    P().DrawTuningBar();
    EXPECT_EQ(Segments(), Lit({4}));
    SetField(Field::BG1, 11);
    P().DrawTuningBar();
    EXPECT_EQ(Segments(), Lit({}, 2));
    SetField(Field::BG1, 0);
    P().DrawTuningBar();
    EXPECT_EQ(Segments(), Lit({}));
}

TEST_F(PainterTuningBar, GrowingBarWhenTheDisplaySettingIsZero) {
    PutMenuSetting(1, 40, 0.0);
    SetField(Field::BG1, 5);
    P().DrawTuningBar();
    EXPECT_EQ(Segments(), Lit({4, 5, 6, 7, 8, 9}, 2));
    SetField(Field::BG1, 21);
    P().DrawTuningBar();
    EXPECT_EQ(Segments(), Lit({11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, 2));
}

TEST_F(PainterTuningBar, PairsFromTheThirdTableWhenSelectorOneIsMinusOne) {
    SetField(Field::BG1, -1);
    SetField(Field::BG2, 6);
    P().DrawTuningBar();
    EXPECT_EQ(Segments(), Lit({9, 11}, 2));
    SetField(Field::BG2, 1);
    P().DrawTuningBar();
    EXPECT_EQ(Segments(), Lit({0, 1}));
    SetField(Field::BG2, -1);
    const QImage before = P().Picture();
    P().DrawTuningBar();
    EXPECT_EQ(P().Picture(), before);
}

TEST_F(PainterTuningBar, NothingIsDrawnWhileAReadingRuns) {
    SetField(Field::BG1, 5);
    window_.running = 1;
    const QImage before = P().Picture();
    P().DrawTuningBar();
    EXPECT_EQ(P().Picture(), before);
    window_.running = 0;
    P().DrawTuningBar();
    EXPECT_EQ(Segments(), Lit({4}));
}

}  // namespace
}  // namespace kestrel
