#include <gtest/gtest.h>

#include <QPainter>
#include <array>
#include <functional>
#include <vector>

#include "painter_test_support.h"

namespace kestrel {
namespace {

using testing::ChangedArea;
using testing::PainterTest;
using testing::ShownState;
using testing::ShowsElement;
using testing::ShowsImageAt;

using PainterDrawing = PainterTest;

// The images shown by the seven large digits and the small last digit.
std::vector<int> FrequencyImages(const PanelPainter& painter) {
    std::vector<int> images;
    for (int i = 0; i < 7; ++i) {
        images.push_back(ShownState(painter, SkinGroup::MainDigits, i));
    }
    images.push_back(ShownState(painter, SkinGroup::LastDigit, 0));
    return images;
}

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
    P().DrawGroup(SkinGroup::LampBusy, 1);
    EXPECT_TRUE(ShowsElement(P(), SkinGroup::LampBusy, 1));
    P().DrawGroup(SkinGroup::LampBusy, 0);
    EXPECT_TRUE(ShowsElement(P(), SkinGroup::LampBusy, 0));
    EXPECT_FALSE(ShowsElement(P(), SkinGroup::LampBusy, 1));
}

TEST_F(PainterDrawing, FrequencyShowsEveryDigitBlanksLeadingZerosAndHighlightsTheCursor) {
    struct Row {
        int32_t hz;
        int cursor;
        std::vector<int> images;
        std::vector<bool> points;  // looks 0 to 2 of the points group
    };
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
    for (const Row& row : kRows) {
        P().DrawFrequency(row.hz, row.cursor);
        EXPECT_EQ(FrequencyImages(P()), row.images) << row.hz << " cursor " << row.cursor;
        for (int look = 0; look < 3; ++look) {
            EXPECT_EQ(ShowsElement(P(), SkinGroup::FreqPoints, look), row.points[look])
                << row.hz << " point look " << look;
        }
    }
    // Nothing outside the frequency display was touched.
    EXPECT_TRUE(QRect(569, 47, 173, 30).contains(ChangedArea(before, P().Picture())));
}

TEST_F(PainterDrawing, OffsetShowsItsDigitsTruncatedTowardZeroAndTheMarkOfItsSign) {
    struct Row {
        double hz;
        std::vector<int> digits;
        int minus;
        int plus;
    };
    const Row kRows[] = {
        {-120.0, {0, 1, 2, 0}, 1, 0}, {250.0, {0, 2, 5, 0}, 0, 1}, {0.0, {0, 0, 0, 0}, 0, 0},
        {9999.9, {9, 9, 9, 9}, 0, 1}, {-0.7, {0, 0, 0, 0}, 0, 0},
    };
    for (const Row& row : kRows) {
        P().DrawOffset(row.hz);
        EXPECT_EQ(testing::ShownStates(P(), SkinGroup::OffsetDigits, 0, 4), row.digits) << row.hz;
        EXPECT_TRUE(ShowsElement(P(), SkinGroup::OffsetMinus, row.minus)) << row.hz;
        EXPECT_TRUE(ShowsElement(P(), SkinGroup::OffsetPlus, row.plus)) << row.hz;
        EXPECT_TRUE(ShowsElement(P(), SkinGroup::OffsetPoint, 0)) << row.hz;
    }
}

// Degrees become radians with pi as 3.141592, so 90 degrees falls a hair short of a quarter turn
// and both coordinates truncate one pixel down.
TEST_F(PainterDrawing, DialMarksCircleTheirFace) {
    const struct {
        std::function<void(int)> draw;
        DialImage mark;
        int angle;
        QPoint at;
    } rows[] = {
        {[&](int a) { P().DrawMainDial(a); }, DialImage::MainDimple, 0, {553, 161}},
        {[&](int a) { P().DrawMainDial(a); }, DialImage::MainDimple, 90, {588, 196}},
        {[&](int a) { P().DrawMainDial(a); }, DialImage::MainDimple, 180, {553, 232}},
        {[&](int a) { P().DrawDial2(a); }, DialImage::Dot, 360, {924, 222}},  // at rest: on top
        {[&](int a) { P().DrawDial2(a); }, DialImage::Dot, 90, {945, 242}},
    };
    for (const auto& row : rows) {
        row.draw(row.angle);
        EXPECT_TRUE(ShowsImageAt(P().Picture(), P().Skin().Dial(row.mark), row.at.x(), row.at.y()))
            << row.angle;
    }
    EXPECT_EQ(P().MainDialAngle(), 180);
    EXPECT_FALSE(ShowsImageAt(P().Picture(), P().Skin().Dial(DialImage::MainDimple), 553, 161));
}

// Needle ticks by knob and value: MIC GAIN 0 is 207 degrees, from (174, 228) to (172, 232);
// 255 is 150 degrees, from (191, 228) to (193, 232). On the dual knob AF runs inside at radius
// 22 (AF 0 from (784, 284) to (782, 288)), RF outside at 28 (RF 255 from (807, 289) to
// (809, 293)). Each drawing takes the knob's old needle away.
TEST_F(PainterDrawing, KnobNeedlesPointAtTheirValue) {
    const auto red = [&](QPoint at) { return P().Picture().pixel(at) == qRgb(255, 0, 0); };
    const QPoint mic0{173, 230}, mic255{192, 230}, af0{783, 286}, rf255{808, 291};
    const struct {
        std::function<void()> draw;
        std::vector<QPoint> lit;
        std::vector<QPoint> dark;
    } rows[] = {
        {[&] { P().DrawKnobNeedle(Knob::MicGain, 0); }, {mic0}, {mic255}},
        {[&] { P().DrawKnobNeedle(Knob::MicGain, 255); }, {mic255}, {mic0}},
        {[&] { P().DrawAfRfKnob(0, 255); }, {af0, rf255}, {}},
        {[&] { P().DrawKnobNeedle(Knob::AfGain, 255); }, {rf255}, {af0}},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        rows[i].draw();
        for (const QPoint at : rows[i].lit) {
            EXPECT_TRUE(red(at)) << i << " " << at.x() << "," << at.y();
        }
        for (const QPoint at : rows[i].dark) {
            EXPECT_FALSE(red(at)) << i << " " << at.x() << "," << at.y();
        }
    }
}

TEST_F(PainterDrawing, KeyLampCopiesItsStripFromTheLitOrDarkPanelAndOthersDrawNothing) {
    const QImage before = P().Picture();
    P().DrawKeyLamp(true, 6);
    P().DrawKeyLamp(true, -1);
    EXPECT_EQ(P().Picture(), before) << "lamps outside the table";
    P().DrawKeyLamp(true, 4);
    const QImage& lit = P().Skin().Picture(PanelPicture::LampsLit);
    EXPECT_TRUE(ShowsImageAt(P().Picture(), lit.copy(752, 213, 34, 5), 752, 213));
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
}  // namespace kestrel
