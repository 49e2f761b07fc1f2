#include "skin/skin_layout.h"

#include <gtest/gtest.h>

#include <tuple>

#include "app/panel_painter.h"

namespace kestrel {
namespace {

TEST(SkinLayout, EveryElementAndKeyLampLiesInsideThePanel) {
    const auto inside = [](const SkinRect& r) {
        return r.width > 0 && r.height > 0 && r.left >= 0 && r.top >= 0 &&
               r.left + r.width <= kPanelWidth && r.top + r.height <= kPanelHeight;
    };
    for (int g = 0; g < kSkinGroupCount; ++g) {
        const auto group = static_cast<SkinGroup>(g);
        ASSERT_GT(ElementCount(group), 0) << GroupLayout(group).name;
        for (int e = 0; e < ElementCount(group); ++e) {
            EXPECT_TRUE(inside(ElementRect(group, e))) << GroupLayout(group).name << " " << e;
        }
    }
    for (int i = 0; i < kKeyLampCount; ++i) {
        EXPECT_TRUE(inside(KeyLampRect(i))) << "key lamp " << i;
    }
}

// The middle rows are checked on the painted bar; these are the ends of each table and past them.
TEST(TuningPatterns, TableEndsAndRowsPastThemLightNothingStray) {
    const auto lit = [](std::initializer_list<int> normal, int centre = 0) {
        TuningPattern row{};
        for (const int s : normal) {
            row[s] = 1;
        }
        row[10] = static_cast<uint8_t>(centre);
        return row;
    };
    EXPECT_EQ(TuningPatternRow(0, 0), lit({}));
    EXPECT_EQ(TuningPatternRow(0, 21), lit({20}));
    EXPECT_EQ(TuningPatternRow(1, 10), lit({9}, 2));
    EXPECT_EQ(TuningPatternRow(2, 11), lit({19, 20}));
    EXPECT_EQ(TuningPatternRow(2, 12), lit({}));
    EXPECT_EQ(TuningPatternRow(2, 22), lit({}));
    EXPECT_EQ(TuningPatternRow(3, 1), lit({}));
}

TEST(KnobAngles, SweepFrom207DegreesThrough303AndClampTheValue) {
    // clang-format off
    const std::tuple<Knob, int32_t, int> kRows[] = {
        {Knob::MicGain, 0, 207},  {Knob::MicGain, 255, 150}, {Knob::AfGain, 129, 360},
        {Knob::AfGain, 130, 1},   {Knob::Sql, -20, 207},     {Knob::Sql, 999, 150},
        {Knob::Speed, 4, 207},    {Knob::Speed, 60, 150},    {Knob::Speed, 30, 347},
        {Knob::Speed, 0, 207},
    };
    // clang-format on
    for (const auto& [knob, value, angle] : kRows) {
        EXPECT_EQ(PanelPainter::KnobAngle(knob, value), angle)
            << static_cast<int>(knob) << " " << value;
    }
}

}  // namespace
}  // namespace kestrel
