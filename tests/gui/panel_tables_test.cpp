#include "panel/panel_tables.h"

#include <gtest/gtest.h>

#include <array>

#include "skin/skin_layout.h"

namespace kestrel {
namespace {

TEST(PanelHitTest, SharedEdgeBelongsToFirstRow) {
    // x, y, zone, key (0: no hotspot and no disc)
    const std::array<int, 4> cases[] = {
        {183, 50, 1, 0},    // zones 1 and 2 share x 183
        {183, 113, 1, 0},   // corner of zones 1, 2 and 4
        {748, 113, 2, 0},   // zones 2, 3 and 7 meet
        {290, 200, 4, 0},   // zones 4 and 5 share x 290
        {707, 60, 2, 201},  // digits 201 and 202 share x 707
        {728, 60, 2, 200},  // digits 200 and 201 share x 728; 200 is listed first
        {970, 91, 3, 33},   // RTTY and PKT share y 91
        {1024, 320, 8, 0},  // the far corner still lies in zone 8
        {0, 320, 0, 0},     // zone 4 ends at y 319
        {1025, 10, 0, 0},
    };
    for (const auto& [x, y, zone, key] : cases) {
        const PanelHit hit = HitTest(x, y, false);
        EXPECT_EQ(hit.zone, zone) << x << "," << y;
        EXPECT_EQ(hit.Key(), key) << x << "," << y;
    }
}

TEST(PanelHitTest, DigitHotspotsGiveTheirPositionFromTheLowestDigit) {
    EXPECT_EQ(HitTest(735, 60, false).digitIndex, 1);
    EXPECT_EQ(HitTest(580, 60, false).digitIndex, 8);
    EXPECT_EQ(HitTest(684, 60, false).zone, 2);
    EXPECT_EQ(HitTest(684, 60, false).hotspot, nullptr);  // the gap between 203 and 202
}

TEST(PanelHitTest, DiscsUseTheSampledPointsAndFailWhileAWindowIsOpen) {
    EXPECT_EQ(HitTest(575, 219, false).Key(), 89);       // main dial centre
    EXPECT_EQ(HitTest(575, 219 - 60, false).Key(), 89);  // top of its rim
    // At 90 degrees the sine taken with 3.141592 stays just below 1, so the rim's right-hand
    // pixel is never sampled.
    EXPECT_EQ(HitTest(575 + 59, 219, false).Key(), 89);
    EXPECT_EQ(HitTest(575 + 60, 219, false).Key(), 0);
    EXPECT_EQ(HitTest(575, 219 + 61, false).Key(), 0);
    EXPECT_EQ(HitTest(575 + 43, 219 + 43, false).Key(), 0);  // beyond the rim on the diagonal
    EXPECT_EQ(HitTest(575, 219, true).Key(), 0);
    EXPECT_EQ(HitTest(575, 219, true).zone, 6);
    // The ring of key 107 lies around key 106, which is listed first.
    EXPECT_EQ(HitTest(793, 265, false).Key(), 106);
    EXPECT_EQ(HitTest(793 + 30, 265, false).Key(), 107);
    EXPECT_EQ(HitTest(793 + 36, 265, false).Key(), 0);
}

// Cursor angles start above the centre and grow clockwise; half turns read the other way; wheel
// steps wrap past zero; whole steps of seven degrees drop the remainder.
TEST(PanelAngles, CursorDeltaWheelAndDialSteps) {
    EXPECT_EQ(CursorAngle(100, 150, 100, 100), 180);
    EXPECT_EQ(CursorAngle(50, 100, 100, 100), 270);
    EXPECT_EQ(CursorAngle(150, 50, 100, 100), 45);
    EXPECT_EQ(CursorAngle(99, 50, 100, 100), 358);  // just left of straight up, truncated
    EXPECT_EQ(AngleDelta(350, 10), 20);
    EXPECT_EQ(AngleDelta(10, 350), -20);
    EXPECT_EQ(AngleDelta(0, 180), -180);
    EXPECT_EQ(AngleDelta(180, 0), 180);
    EXPECT_EQ(WheelAngle(3, false), 352);
    EXPECT_EQ(WheelAngle(7, false), 0);
    EXPECT_EQ(WheelAngle(0, true), 7);
    EXPECT_EQ(WheelAngle(355, true), 7);
    EXPECT_EQ(WheelAngle(352, true), 359);
    int32_t rest = 0;
    EXPECT_EQ(TakeDialSteps(rest, 6), 0);
    EXPECT_EQ(rest, 6);
    EXPECT_EQ(TakeDialSteps(rest, 1), 1);
    EXPECT_EQ(rest, 0);
    EXPECT_EQ(TakeDialSteps(rest, -7), -1);
    EXPECT_EQ(TakeDialSteps(rest, -6), 0);
    EXPECT_EQ(TakeDialSteps(rest, 5), 0);
    EXPECT_EQ(rest, -1);
}

TEST(PanelKnobs, StepsStayInsideTheRange) {
    const ValueKnob& mic = *ValueKnobOfKey(99);
    const ValueKnob& speed = *ValueKnobOfKey(95);
    EXPECT_EQ(SteppedKnobValue(mic, 255, 20, false), 255);
    EXPECT_EQ(SteppedKnobValue(mic, 250, 10, false), 255);
    EXPECT_EQ(SteppedKnobValue(mic, 5, 10, true), 0);
    EXPECT_EQ(SteppedKnobValue(speed, 4, 1, true), 4);
    EXPECT_EQ(SteppedKnobValue(speed, 6, 3, true), 4);
    EXPECT_EQ(SteppedKnobValue(speed, 59, 5, false), 60);
}

TEST(PanelDigits, TuningStaysInsideTheBand) {
    EXPECT_EQ(TunedFrequency(55000000, 8, true), 56000000);
    EXPECT_EQ(TunedFrequency(55990000, 8, true), 56000000);
    EXPECT_EQ(TunedFrequency(14250000, 1, true), 14250001);
    EXPECT_EQ(TunedFrequency(14250000, 4, false), 14249000);
    EXPECT_EQ(TunedFrequency(30000, 1, false), std::nullopt);
    EXPECT_EQ(TunedFrequency(30001, 1, false), 30000);
    EXPECT_EQ(TunedFrequency(56000000, 1, false), 55999999);
}

TEST(PanelKnobs, EachKnobIsClickedWhereItIsDrawnAndLightsTheStripAboveIt) {
    const std::pair<int, Knob> knobs[] = {
        {93, Knob::Moni},    {95, Knob::Speed},   {98, Knob::Sql},
        {99, Knob::MicGain}, {106, Knob::AfGain}, {107, Knob::RfGain},
    };
    for (const auto& [key, knob] : knobs) {
        const KnobLayout& place = KnobPlace(knob);
        const PanelHit hit = HitTest(place.cx, place.cy - 15, false);
        EXPECT_EQ(hit.Key(), key == 107 ? 106 : key) << key;  // 107 is the ring around 106
        if (key < 100) {  // the dual knob's two strips flank it instead
            const SkinRect lamp = KeyLampRect(ValueKnobOfKey(key)->lamp);
            EXPECT_LE(lamp.left, place.cx) << key;
            EXPECT_GE(lamp.left + lamp.width, place.cx) << key;
        }
    }
}

}  // namespace
}  // namespace kestrel
