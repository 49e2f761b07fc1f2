#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>
#include <tuple>
#include <vector>

#include "equalizer/equalizer_commands.h"
#include "equalizer/equalizer_curves.h"
#include "equalizer/pef_file.h"
#include "menulist/menu_catalogue.h"
#include "protocol/radio_state.h"

namespace kestrel {
namespace {

TEST(EqualizerCommands, SetAndReadTextsOfBothFamilies) {
    // clang-format off
    const std::tuple<int, int32_t, int, int32_t, std::string_view, std::string_view> cases[] = {
        // mode extendedId index value  set          read
        {0,  0,     0,  7,   "EX0917;",   "EX091;"},
        {0,  0,     1,  0,   "EX092+00;", "EX092;"},
        {0,  0,     1, -5,   "EX092-05;", "EX092;"},
        {0,  0,     2,  1,   "EX09301;",  "EX093;"},
        {0,  0,     3,  9,   "EX0949;",   "EX094;"},
        {0,  0,     6, 18,   "EX09718;",  "EX097;"},
        {1,  0,     0,  2,   "EX1002;",   "EX100;"},
        {1,  0,     7, 10,   "EX107+10;", "EX107;"},
        {0,  1,     0,  7,   "PE000007;", "PE000;"},
        {0,  1,     1,  0,   "PE001000;", "PE001;"},
        {0,  1,     1, -20,  "PE001-20;", "PE001;"},
        {1,  65535, 4,  3,   "PE211+03;", "PE211;"},
        {1,  2,     6, 18,   "PE220018;", "PE220;"},
        {1,  2,     8,  1,   "PE222001;", "PE222;"},
        // Nothing to set off the tables; nothing at all for a bad index or mode.
        {0,  0,     0,  8,   "",          "EX091;"},
        {0,  1,     1, 11,   "",          "PE001;"},
        {1,  0,     4, -21,  "",          "EX104;"},
        {0,  1,     2,  0,   "",          "PE002;"},
        {0,  0,     9,  1,   "",          ""},
        {2,  1,     0,  1,   "",          ""},
    };
    // clang-format on
    for (const auto& [mode, extendedId, index, value, set, read] : cases) {
        SCOPED_TRACE(::testing::Message()
                     << mode << " " << extendedId << " " << index << " " << value);
        EXPECT_EQ(EqualizerSetCommand(mode, extendedId, index, value).Text(), set);
        EXPECT_EQ(EqualizerReadCommand(mode, extendedId, index).Text(), read);
    }
}

TEST(EqualizerSteps, ButtonsStopAtEachLimit) {
    const EqualizerValues atLimits = {7, 10, 1, 9, -20, 10, 18, 0, 5};
    const std::optional<EqualizerStep> none;
    // clang-format off
    const std::pair<int, std::optional<EqualizerStep>> cases[] = {  // button, step (value index, new value, band)
        {4, none},  {5, EqualizerStep{0, 6, 1}},   {6, none},  {7, EqualizerStep{3, 8, 2}},
        {8, none},  {9, EqualizerStep{6, 17, 3}},  {10, none}, {11, EqualizerStep{1, 9, 1}},
        {13, none}, {12, EqualizerStep{4, -19, 2}}, {14, EqualizerStep{7, 1, 3}},
        {17, none}, {16, EqualizerStep{2, 2, 1}},  {18, none}, {19, EqualizerStep{5, 9, 2}},
        {21, EqualizerStep{8, 4, 3}}, {3, none}, {22, none},
    };
    // clang-format on
    for (const auto& [code, step] : cases) {
        EXPECT_EQ(StepOfButton(atLimits, code), step) << code;
    }
    // A cleared bandwidth of 0 can only step up onto the table; a wild value goes nowhere.
    const EqualizerValues odd = {std::numeric_limits<int32_t>::max(), 0, 0};
    EXPECT_EQ(StepOfButton(odd, 16), (EqualizerStep{2, 1, 1}));
    EXPECT_FALSE(StepOfButton(odd, 17) || StepOfButton(odd, 4) || StepOfButton(odd, 5));
}

TEST(EqualizerValues, MenuValuesOffTheTableAreRefused) {
    // clang-format off
    const std::tuple<int, double, std::optional<int32_t>> cases[] = {  // value index, menu value, taken
        {0, 7.0, 7}, {0, 8.0, std::nullopt}, {1, 2.9999999, 3}, {1, -20.6, -20},
        {2, 0.0, std::nullopt}, {2, NAN, std::nullopt}, {1, -INFINITY, std::nullopt},
        {2, 1e300, std::nullopt},
    };
    // clang-format on
    for (const auto& [index, menuValue, taken] : cases) {
        EXPECT_EQ(EqualizerValueFromMenu(index, menuValue), taken) << index << " " << menuValue;
    }
}

class EqualizerStore : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetRadioState();
        LoadMenuCatalogue();
    }
    void TearDown() override { ResetRadioState(); }
};

TEST_F(EqualizerStore, ReadsMenuRecordsOrPeValuesAndKeepsWhatIsMissing) {
    // The menu family: the processor set's catalogue defaults (items 100-108).
    EqualizerValues values{};
    EXPECT_TRUE(ReadEqualizerFromStore(1, 0, values));
    EXPECT_EQ(values, (EqualizerValues{2, 0, 2, 2, 0, 1, 7, 0, 1}));
    EXPECT_FALSE(ReadEqualizerFromStore(1, 0, values));

    // A record holding a value off the table keeps the previous value.
    ReplaceMenuItemValue(100, 30);
    ReplaceMenuItemValue(101, -4);
    EXPECT_TRUE(ReadEqualizerFromStore(1, 0, values));
    EXPECT_EQ(values, (EqualizerValues{2, -4, 2, 2, 0, 1, 7, 0, 1}));

    // The extended family reads the stored "PE" values of its set only.
    SetPE(1, 2, 0, 18);
    SetPE(0, 0, 1, -7);
    EXPECT_TRUE(ReadEqualizerFromStore(1, 5, values));
    EXPECT_EQ(values, (EqualizerValues{0, 5, 10, 0, 5, 10, 18, 5, 10}));

    // Without the records nothing is found and nothing changes.
    ASSERT_TRUE(SetMenuItemCount(99));
    MenuItem item;
    EXPECT_TRUE(FindEqualizerItem(0, 8, &item));
    EXPECT_EQ(item.number, 99u);
    EXPECT_FALSE(FindEqualizerItem(1, 0, &item));
    EXPECT_FALSE(ReadEqualizerFromStore(1, 0, values));
    EXPECT_EQ(values, (EqualizerValues{0, 5, 10, 0, 5, 10, 18, 5, 10}));
}

namespace fs = std::filesystem;

// Band 1 OFF, 0 dB, 10; band 2 1000 Hz, -5 dB, 3; band 3 2000 Hz, +7 dB, 1.
constexpr EqualizerValues kSample = {0, 0, 10, 4, -5, 3, 6, 7, 1};
constexpr std::string_view kSampleText = "0,0,10\n1000,-5,3\n2000,7,1\n";
// What a failed load must leave behind.
constexpr EqualizerValues kUntouched = {5, -3, 4, 2, 2, 2, 9, 9, 9};

TEST(PefParse, TakesAGoodFileWholeAndRefusesABadOneWhole) {
    // clang-format off
    const std::pair<std::string_view, bool> cases[] = {  // text, taken
        {kSampleText, true},
        {"0,0,10\r\n1000,-5,3\r\n2000,7,1\r\n", true},       // written on another system
        {"0,0,10\n1000,-5,3\n2000,7,1", true},                 // last line feed missing
        {"0,0,10\n1000,-5,3\n2000,+7,1\n\n\r\n", true},        // a sign; empty lines after
        {"", false},
        {"0,0,10\n1000,-5,3\n", false},                         // two lines
        {"0,0,10\n1000,-5,3\n2000,7,1\n100,0,1\n", false},      // a fourth line with values
        {"100abc,0,10\n1000,-5,3\n2000,7,1\n", false},          // trailing letters
        {"0,,10\n1000,-5,3\n2000,7,1\n", false},                // an empty cell
        {"0,0,10,1\n1000,-5,3\n2000,7,1\n", false},             // a fourth column
        {"\xEF\xBB\xBF" "0,0,10\n1000,-5,3\n2000,7,1\n", false},  // a byte-order mark
        {"\x81\x40" "0,0,10\n1000,-5,3\n2000,7,1\n", false},      // a two-byte character
        {"0, 0,10\n1000,-5,3\n2000,7,1\n", false},              // a space
        {"\"0\",0,10\n1000,-5,3\n2000,7,1\n", false},            // quotes
        {"0,0,10\r\r\n1000,-5,3\n2000,7,1\n", false},           // a stray carriage return
        {std::string_view("0,0,10\n1000,-5,3\n2000,7,1\n\0", 27), false},  // a NUL byte
        {"0,0,0000010\n1000,-5,3\n2000,7,1\n", false},          // more digits than any value
        {"0,0,10\n650,-5,3\n2000,7,1\n", false},                // band 2 has no 650 Hz
        {"0,0,10\n1000,-5,3\n3300,7,1\n", false},               // beyond band 3's table
        {"0,11,10\n1000,-5,3\n2000,7,1\n", false},              // level above +10
        {"0,0,0\n1000,-5,3\n2000,7,1\n", false},                // bandwidth 0
        {"0,0,10\n1000,-5,3\n2000,7,11\n", false},              // bandwidth 11
    };
    // clang-format on
    for (const auto& [text, good] : cases) {
        EqualizerValues out = kUntouched;
        EXPECT_EQ(ParsePef(text, out), good) << text;
        EXPECT_EQ(out, good ? kSample : kUntouched) << text;
    }
}

// A save replaces the file whole and leaves no temporary; a failed save or load is reported and
// changes nothing.
TEST(PefFile, SavedFileHoldsTheThreeLinesAndLoadsBackAndFailuresChangeNothing) {
    const fs::path dir =
        fs::path(testing::TempDir()) / ("kestrel-pef-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path path = dir / "20081231235959.pef";
    std::ofstream(path) << "an older, longer file that is replaced whole\n";
    const auto contents = [&] {
        return std::string(std::istreambuf_iterator<char>(std::ifstream(path).rdbuf()), {});
    };
    ASSERT_TRUE(WritePefFile(path.string(), kSample));
    EXPECT_EQ(contents(), kSampleText);
    EqualizerValues loaded = kUntouched;
    ASSERT_TRUE(ReadPefFile(path.string(), loaded));
    EXPECT_EQ(loaded, kSample);

    EqualizerValues offTable = kSample;
    offTable[2] = 0;
    EXPECT_FALSE(WritePefFile(path.string(), offTable));
    EXPECT_FALSE(WritePefFile((dir / "missing" / "x.pef").string(), kSample));
    EXPECT_EQ(contents(), kSampleText);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
    loaded = kUntouched;
    EXPECT_FALSE(ReadPefFile((dir / "absent.pef").string(), loaded));
    EXPECT_EQ(loaded, kUntouched);
    fs::remove_all(dir);
}

TEST(PefName, IsTheLocalTimeRunTogether) {
    for (const auto& [time, name] : {std::pair{"2008-12-31 23:59:59", "20081231235959.pef"},
                                     {"2009-01-02 03:04:05", "20090102030405.pef"}}) {
        std::tm local{};
        ASSERT_NE(::strptime(time, "%Y-%m-%d %H:%M:%S", &local), nullptr);
        EXPECT_EQ(SuggestedPefName(local), name);
    }
}

constexpr EqualizerCurve kCurves[] = {EqualizerCurve::Sum, EqualizerCurve::Band1,
                                      EqualizerCurve::Band2, EqualizerCurve::Band3};

std::set<int> Columns(const std::vector<GraphPixel>& pixels) {
    std::set<int> columns;
    for (const GraphPixel& p : pixels) {
        columns.insert(p.x);
    }
    return columns;
}

TEST(EqualizerCurves, BandsOffOrOffTheirTablesLieOnTheZeroLineAcrossTheGraph) {
    // All OFF; a cleared window (bandwidth 0); then values from a damaged store.
    const EqualizerValues flat[] = {
        {0, 0, 10, 0, 0, 10, 0, 0, 10},           {0, 0, 0, 0, 0, 0, 0, 0, 0},
        {8, 10, 1, -1, 10, 1, 19, 10, 1},         {7, 11, 1, 4, -21, 1, 6, INT32_MIN, 1},
        {7, 10, 11, 4, 10, -3, 6, 10, INT32_MAX},
    };
    for (const EqualizerValues& values : flat) {
        for (EqualizerCurve curve : kCurves) {
            const std::vector<GraphPixel> pixels = CurvePixels(values, curve);
            ASSERT_FALSE(pixels.empty());
            EXPECT_TRUE(
                std::all_of(pixels.begin(), pixels.end(), [](GraphPixel p) { return p.y == 176; }));
            // From 51.2 Hz (column 4.63) to the last tenth-pixel step before 5000 Hz (column
            // 900), no column skipped.
            EXPECT_EQ(pixels.front().x, 4);
            EXPECT_EQ(pixels.back().x, 899);
            EXPECT_EQ(Columns(pixels).size(), 896u);
        }
    }
}

TEST(EqualizerCurves, BandExtremeSitsAtItsLevelAndCentreAtTheTableEnds) {
    // values, curve, extreme row (176 - 8 x level), centre column (450 x log10(centre / 50))
    const std::tuple<EqualizerValues, EqualizerCurve, int, int> cases[] = {
        {{1, 10, 1, 0, 0, 1, 0, 0, 1}, EqualizerCurve::Band1, 96, 135},      // 100 Hz, +10 dB
        {{7, -20, 10, 0, 0, 1, 0, 0, 1}, EqualizerCurve::Band1, 336, 515},   // 700 Hz, -20 dB
        {{0, 0, 1, 9, 10, 10, 0, 0, 1}, EqualizerCurve::Band2, 96, 664},     // 1500 Hz, +10 dB
        {{0, 0, 1, 0, 0, 1, 18, -20, 10}, EqualizerCurve::Band3, 336, 812},  // 3200 Hz, -20 dB
    };
    for (const auto& [values, curve, extremeY, centreX] : cases) {
        const std::vector<GraphPixel> pixels = CurvePixels(values, curve);
        ASSERT_FALSE(pixels.empty());
        const bool peak = extremeY < 176;
        const auto extreme = std::min_element(
            pixels.begin(), pixels.end(),
            [peak](GraphPixel a, GraphPixel b) { return peak ? a.y < b.y : a.y > b.y; });
        // The 200 samples miss the exact centre by up to half a sample step, and a wide band
        // stays on its extreme row for many columns around the centre.
        EXPECT_NEAR(extreme->y, extremeY, 2) << centreX;
        const auto onRow = [&](GraphPixel p) { return p.y == extreme->y; };
        const int first = std::find_if(pixels.begin(), pixels.end(), onRow)->x;
        const int last = std::find_if(pixels.rbegin(), pixels.rend(), onRow)->x;
        EXPECT_NEAR((first + last) / 2, centreX, 3) << centreX;
    }
}

TEST(EqualizerCurves, SumOutsideTheGraphIsCutAwayAtBothEdges) {
    for (const int32_t level : {10, -20}) {
        // Three wide bands at 700, 1000 and 2000 Hz add up beyond +22 or -22 dB around 1000 Hz.
        const EqualizerValues values = {7, level, 1, 4, level, 1, 6, level, 1};
        const double y = LevelToY(SumResponseDb(values, 1000.0));
        EXPECT_TRUE(y < 0.0 || y >= kGraphHeight) << y;
        for (EqualizerCurve curve : kCurves) {
            for (const GraphPixel& p : CurvePixels(values, curve)) {
                ASSERT_TRUE(p.x >= 0 && p.x < kGraphWidth && p.y >= 0 && p.y < kGraphHeight)
                    << p.x << "," << p.y;
            }
        }
        const std::set<int> sum = Columns(CurvePixels(values, EqualizerCurve::Sum));
        const int x1000 = static_cast<int>(FrequencyToX(1000.0));
        EXPECT_EQ(sum.count(x1000), 0u) << level;
        EXPECT_EQ(sum.count(4), 1u) << level;
        EXPECT_EQ(Columns(CurvePixels(values, EqualizerCurve::Band2)).count(x1000), 1u) << level;
    }
}

}  // namespace
}  // namespace kestrel
