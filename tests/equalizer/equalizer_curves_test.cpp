#include "equalizer/equalizer_curves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

namespace kestrel {
namespace {

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
    struct Case {
        EqualizerValues values;
        EqualizerCurve curve;
        int extremeY;  // 176 - 8 x level
        int centreX;   // 450 x log10(centre / 50)
    };
    const Case cases[] = {
        {{1, 10, 1, 0, 0, 1, 0, 0, 1}, EqualizerCurve::Band1, 96, 135},      // 100 Hz, +10 dB
        {{7, -20, 10, 0, 0, 1, 0, 0, 1}, EqualizerCurve::Band1, 336, 515},   // 700 Hz, -20 dB
        {{0, 0, 1, 9, 10, 10, 0, 0, 1}, EqualizerCurve::Band2, 96, 664},     // 1500 Hz, +10 dB
        {{0, 0, 1, 0, 0, 1, 18, -20, 10}, EqualizerCurve::Band3, 336, 812},  // 3200 Hz, -20 dB
    };
    for (const Case& c : cases) {
        const std::vector<GraphPixel> pixels = CurvePixels(c.values, c.curve);
        ASSERT_FALSE(pixels.empty());
        const bool peak = c.extremeY < 176;
        const auto extreme = std::min_element(
            pixels.begin(), pixels.end(),
            [peak](GraphPixel a, GraphPixel b) { return peak ? a.y < b.y : a.y > b.y; });
        // The 200 samples miss the exact centre by up to half a sample step, and a wide band
        // stays on its extreme row for many columns around the centre.
        EXPECT_NEAR(extreme->y, c.extremeY, 2) << c.centreX;
        std::vector<int> onExtreme;
        for (const GraphPixel& p : pixels) {
            if (p.y == extreme->y) {
                onExtreme.push_back(p.x);
            }
        }
        EXPECT_NEAR((onExtreme.front() + onExtreme.back()) / 2, c.centreX, 3) << c.centreX;
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
