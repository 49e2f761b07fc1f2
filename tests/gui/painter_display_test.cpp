#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

#include "painter_test_support.h"

namespace kestrel::testing {
namespace {

using PainterDrawing = PainterTest;

// Each drawing changes the picture inside its own rectangle only.
TEST_F(PainterDrawing, DrawingsChangeOnlyTheirRectangle) {
    const SkinRect busy = ElementRect(SkinGroup::LampBusy, 1);
    const SkinRect menu = ElementRect(SkinGroup::KeyMenu, 1);
    const struct {
        const char* name;
        std::function<void()> draw;
        QRect area;
    } rows[] = {
        {"element", [&] { P().DrawGroup(SkinGroup::LampBusy, 1); },
         QRect(busy.left, busy.top, busy.width, busy.height)},
        // Key caps have transparent corners: the panel shows around the cap.
        {"cap", [&] { P().DrawGroup(SkinGroup::KeyMenu, 1); },
         QRect(menu.left + 1, menu.top, menu.width - 1, menu.height)},
        {"key lamp", [&] { P().DrawKeyLamp(true, 4); }, QRect(752, 213, 34, 5)},
        // The 20 x 20 select dot is drawn shrunk to 11 x 11, at 180 degrees at (349, 271):
        // 260 + 12 cos, truncated just short of 272.
        {"select dot", [&] { P().DrawDial3(180); },
         QRect(349, 248, 11, 11) | QRect(349, 271, 11, 11)},
    };
    for (const auto& row : rows) {
        P().DrawDial3(0);
        P().DrawPanelPicture();
        const QImage before = P().Picture();
        row.draw();
        const QRect changed = ChangedArea(before, P().Picture());
        EXPECT_FALSE(changed.isEmpty()) << row.name;
        EXPECT_TRUE(row.area.contains(changed)) << row.name;
    }
}

TEST_F(PainterDrawing, FrequencyShowsEveryDigitBlanksLeadingZerosAndHighlightsTheCursor) {
    // Hz, cursor, the seven large digits and the last one, looks 0 to 2 of the points group.
    using Row = std::tuple<int32_t, int, std::vector<int>, std::vector<bool>>;
    // clang-format off
    const Row kRows[] = {
        {14250120, 0, {1, 4, 2, 5, 0, 1, 2, 0},       {true, true, false}},
        {7050000, 0,  {10, 7, 0, 5, 0, 0, 0, 0},      {true, true, false}},
        {475000, 0,   {10, 10, 4, 7, 5, 0, 0, 0},     {false, true, true}},
        {14250123, 1, {1, 4, 2, 5, 0, 1, 2, 3 + 11},  {true, true, false}},
        {14250123, 4, {1, 4, 2, 5, 0 + 11, 1, 2, 3},  {true, true, false}},
        {14250123, 7, {1, 4 + 11, 2, 5, 0, 1, 2, 3},  {true, true, false}},
        {14250123, 0, {1, 4, 2, 5, 0, 1, 2, 3},       {true, true, false}},
        {7050000, 8,  {10, 7, 0, 5, 0, 0, 0, 0},      {true, true, false}},  // a blank stays blank
        {123456789, 0, {9, 9, 9, 9, 9, 9, 9, 9},      {true, true, false}},  // pinned, not overrun
        {-5, 0,       {10, 10, 10, 10, 10, 10, 10, 0}, {false, true, true}},
    };
    // clang-format on
    const QImage before = P().Picture();
    for (const auto& [hz, cursor, images, points] : kRows) {
        SCOPED_TRACE(::testing::Message() << hz << " cursor " << cursor);
        P().DrawFrequency(hz, cursor);
        std::vector<int> shown = ShownStates(P(), SkinGroup::MainDigits, 0, 7);
        shown.push_back(ShownState(P(), SkinGroup::LastDigit, 0));
        EXPECT_EQ(shown, images);
        for (int look = 0; look < 3; ++look) {
            EXPECT_EQ(ShowsElement(P(), SkinGroup::FreqPoints, look), points[look]) << look;
        }
    }
    // Nothing outside the frequency display was touched.
    EXPECT_TRUE(QRect(569, 47, 173, 30).contains(ChangedArea(before, P().Picture())));
}

TEST_F(PainterDrawing, OffsetShowsItsDigitsTruncatedTowardZeroAndTheMarkOfItsSign) {
    using Row = std::tuple<double, std::vector<int>, int, int>;  // hz, digits, minus, plus
    const Row kRows[] = {
        {-120.0, {0, 1, 2, 0}, 1, 0}, {250.0, {0, 2, 5, 0}, 0, 1}, {0.0, {0, 0, 0, 0}, 0, 0},
        {9999.9, {9, 9, 9, 9}, 0, 1}, {-0.7, {0, 0, 0, 0}, 0, 0},
    };
    for (const auto& [hz, digits, minus, plus] : kRows) {
        SCOPED_TRACE(hz);
        P().DrawOffset(hz);
        EXPECT_EQ(ShownStates(P(), SkinGroup::OffsetDigits, 0, 4), digits);
        EXPECT_TRUE(ShowsElement(P(), SkinGroup::OffsetMinus, minus));
        EXPECT_TRUE(ShowsElement(P(), SkinGroup::OffsetPlus, plus));
        EXPECT_TRUE(ShowsElement(P(), SkinGroup::OffsetPoint, 0));
    }
}

// Degrees become radians with pi as 3.141592, so 90 degrees falls a hair short of a quarter turn
// and both coordinates truncate one pixel down.
TEST_F(PainterDrawing, DialMarksCircleTheirFace) {
    // The main dial's dimple or the second dial's dot, the angle, where the mark shows.
    const std::tuple<bool, int, QPoint> rows[] = {
        {true, 0, {553, 161}},   {true, 90, {588, 196}},
        {true, 180, {553, 232}}, {false, 360, {924, 222}},  // at rest: on top
        {false, 90, {945, 242}},
    };
    for (const auto& [main, angle, at] : rows) {
        main ? P().DrawMainDial(angle) : P().DrawDial2(angle);
        const DialImage mark = main ? DialImage::MainDimple : DialImage::Dot;
        EXPECT_TRUE(ShowsImageAt(P().Picture(), P().Skin().Dial(mark), at.x(), at.y())) << angle;
    }
    EXPECT_FALSE(ShowsImageAt(P().Picture(), P().Skin().Dial(DialImage::MainDimple), 553, 161));
}

// Needle ticks by knob and value: MIC GAIN 0 is 207 degrees, from (174, 228) to (172, 232);
// 255 is 150 degrees, from (191, 228) to (193, 232). On the dual knob AF runs inside at radius
// 22 (AF 0 from (784, 284) to (782, 288)), RF outside at 28 (RF 255 from (807, 289) to
// (809, 293)). Each drawing takes the knob's old needle away.
TEST_F(PainterDrawing, KnobNeedlesPointAtTheirValue) {
    const auto red = [&](QPoint at) { return P().Picture().pixel(at) == qRgb(255, 0, 0); };
    const QPoint mic0{173, 230}, mic255{192, 230}, af0{783, 286}, rf255{808, 291};
    // The knob (AF and RF together on the dual knob), its value, the points lit and dark after.
    using Points = std::vector<QPoint>;
    const std::tuple<Knob, int, Points, Points> rows[] = {
        {Knob::MicGain, 0, {mic0}, {mic255}},
        {Knob::MicGain, 255, {mic255}, {mic0}},
        {Knob::RfGain, 255, {af0, rf255}, {}},
        {Knob::AfGain, 255, {rf255}, {af0}},
    };
    for (const auto& [knob, value, lit, dark] : rows) {
        SCOPED_TRACE(value);
        knob == Knob::RfGain ? P().DrawAfRfKnob(0, value) : P().DrawKnobNeedle(knob, value);
        for (const QPoint at : lit) {
            EXPECT_TRUE(red(at)) << at.x() << "," << at.y();
        }
        for (const QPoint at : dark) {
            EXPECT_FALSE(red(at)) << at.x() << "," << at.y();
        }
    }
}

TEST_F(PainterDrawing, KeyLampCopiesItsStripFromTheLitOrDarkPanelAndOthersDrawNothing) {
    const QImage before = P().Picture();
    P().DrawKeyLamp(true, 6);
    P().DrawKeyLamp(true, -1);
    EXPECT_EQ(P().Picture(), before) << "lamps outside the table";
    P().DrawKeyLamp(true, 4);
    P().DrawKeyLamp(false, 4);
    EXPECT_EQ(P().Picture(), before);
}

// Redrawing what is already shown reports no change; a real change reports its area.
TEST_F(PainterDrawing, ChangeCallbackReportsOnlyRealChanges) {
    // RepaintAll puts the second dial at rest.
    const auto drawAll = [&] {
        P().DrawMainDial(45);
        P().DrawDial2(360);
        P().DrawDial3(300);
        P().DrawKnobNeedle(Knob::Sql, 77);
        P().DrawAfRfKnob(10, 200);
        P().DrawFrequency(0, 0);
        P().DrawGroup(SkinGroup::LampLock, 1);
    };
    drawAll();
    P().ShowMeterReading(MeterBar::Upper, 90);
    P().SetStoreRedraw([&] {
        P().DrawKnobNeedle(Knob::Sql, 77);
        P().DrawAfRfKnob(10, 200);
    });
    P().RepaintAll();
    std::vector<QRect> changes;
    P().SetChangeCallback([&](const QRect& area) { changes.push_back(area); });
    drawAll();
    P().RepaintAll();
    EXPECT_TRUE(changes.empty());
    P().DrawKnobNeedle(Knob::Sql, 78);
    P().DrawGroup(SkinGroup::LampLock, 0);
    EXPECT_EQ(changes, (std::vector<QRect>{QRect(233, 259, 47, 47), QRect(536, 69, 28, 11)}));
}

TEST_F(PainterDrawing, RepaintAllRunsTheStoreRedrawAndRestoresDialsBarsAndTheLastLamp) {
    int redraws = 0;
    P().SetStoreRedraw([&] { ++redraws; });
    P().DrawMainDial(90);
    P().DrawKeyLamp(true, 2);
    P().ShowMeterReading(MeterBar::Upper, 130);
    const QImage painted = P().Picture();
    P().DrawPanelPicture();
    P().RepaintAll();
    EXPECT_EQ(redraws, 1);
    EXPECT_TRUE(ShowsImageAt(P().Picture(), P().Skin().Dial(DialImage::MainDimple), 588, 196));
    EXPECT_EQ(ShownState(P(), SkinGroup::UpperBar, 18), 1);
    EXPECT_TRUE(ShowsImageAt(
        P().Picture(), P().Skin().Picture(PanelPicture::LampsLit).copy(172, 248, 21, 5), 172, 248));
}

}  // namespace
}  // namespace kestrel::testing
