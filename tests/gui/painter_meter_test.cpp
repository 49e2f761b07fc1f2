#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "painter_test_support.h"
#include "platform/timer_numbers.h"

namespace kestrel {
namespace {

using testing::PainterTest;
using testing::PutMenuSetting;
using testing::ShownStates;

// A bar of `segments` with the first `normal` in state 1, the next `second` in state 2 and the
// rest dark.
std::vector<int> Bar(int segments, int normal, int second = 0) {
    std::vector<int> states(segments, 0);
    for (int i = 0; i < normal; ++i) {
        states[i] = 1;
    }
    for (int i = normal; i < normal + second; ++i) {
        states[i] = 2;
    }
    return states;
}

std::vector<int> Upper(const PanelPainter& painter) {
    return ShownStates(painter, SkinGroup::UpperBar, 0, 31);
}

std::vector<int> Lower(const PanelPainter& painter) {
    return ShownStates(painter, SkinGroup::LowerBar, 0, 31);
}

class PainterBarMeter : public PainterTest {
  protected:
    void SetUp() override {
        PainterTest::SetUp();
        P().SetHoldTimerHooks(
            [this](int id, int ms) {
                timers_.push_back({id, ms});
            },
            [this](int id) { stopped_.push_back(id); });
    }
    std::vector<std::pair<int, int>> timers_;
    std::vector<int> stopped_;
};

TEST_F(PainterBarMeter, SMeterLightsSegmentsFromTheirThresholdsUp) {
    P().DrawUpperBar(0);
    EXPECT_EQ(Upper(P()), Bar(31, 0));
    P().DrawUpperBar(2);
    EXPECT_EQ(Upper(P()), Bar(31, 0));
    P().DrawUpperBar(3);
    EXPECT_EQ(Upper(P()), Bar(31, 1));
    P().DrawUpperBar(129);
    EXPECT_EQ(Upper(P()), Bar(31, 18));
    P().DrawUpperBar(130);
    EXPECT_EQ(Upper(P()), Bar(31, 19));
    P().DrawUpperBar(139);
    EXPECT_EQ(Upper(P()), Bar(31, 19));
    P().DrawUpperBar(140);
    EXPECT_EQ(Upper(P()), Bar(31, 19, 1));
    P().DrawUpperBar(255);
    EXPECT_EQ(Upper(P()), Bar(31, 19, 12));
}

TEST_F(PainterBarMeter, PowerScaleWhileTransmitting) {
    SetField(Field::TX, 1);
    P().DrawUpperBar(7);
    EXPECT_EQ(Upper(P()), Bar(31, 0));
    P().DrawUpperBar(157);
    EXPECT_EQ(Upper(P()), Bar(31, 19));
    P().DrawUpperBar(164);
    EXPECT_EQ(Upper(P()), Bar(31, 19, 1));
    P().DrawUpperBar(243);
    EXPECT_EQ(Upper(P()), Bar(31, 19, 11));
    P().DrawUpperBar(244);
    EXPECT_EQ(Upper(P()), Bar(31, 19, 12));
}

TEST_F(PainterBarMeter, BothBarsStayDarkWithTheTransceiverOffOrAutoInformationOff) {
    SetField(Field::TX, 1);
    SetField(Field::MS, 0);
    SetField(Field::PS, 0);
    P().DrawUpperBar(255);
    P().DrawLowerBar(255);
    EXPECT_EQ(Upper(P()), Bar(31, 0));
    EXPECT_EQ(Lower(P()), Bar(31, 0));
    SetField(Field::PS, 1);
    SetField(Field::AI, 0);
    P().DrawUpperBar(255);
    P().DrawLowerBar(255);
    EXPECT_EQ(Upper(P()), Bar(31, 0));
    EXPECT_EQ(Lower(P()), Bar(31, 0));
}

TEST_F(PainterBarMeter, LowerBarSelectionTwoIsNotDrawnAtAll) {
    SetField(Field::TX, 1);
    SetField(Field::MS, 2);
    const QImage before = P().Picture();
    P().DrawLowerBar(255);
    EXPECT_EQ(P().Picture(), before);
}

TEST_F(PainterBarMeter, LowerBarLightsOnlyWhileTransmittingExceptTheSupplyVoltage) {
    SetField(Field::MS, 0);
    P().DrawLowerBar(255);
    EXPECT_EQ(Lower(P()), Bar(31, 0));
    SetField(Field::MS, 5);
    P().DrawLowerBar(207);
    EXPECT_EQ(Lower(P()), Bar(31, 30));
    P().DrawLowerBar(208);
    EXPECT_EQ(Lower(P()), Bar(31, 31));
}

TEST_F(PainterBarMeter, AlcSelectionNeverLightsItsLastThreeSegments) {
    SetField(Field::TX, 1);
    SetField(Field::MS, 1);
    P().DrawLowerBar(252);
    EXPECT_EQ(Lower(P()), Bar(31, 27));
    P().DrawLowerBar(255);
    EXPECT_EQ(Lower(P()), Bar(31, 28));
}

TEST_F(PainterBarMeter, FallingSMeterHoldsThePeakSegmentForFiveHundredMilliseconds) {
    PutMenuSetting(1, 15, 1.0);
    P().ShowMeterReading(MeterBar::Upper, 150);
    EXPECT_TRUE(timers_.empty());
    P().ShowMeterReading(MeterBar::Upper, 100);
    ASSERT_EQ(timers_.size(), 1u);
    EXPECT_EQ(timers_[0], std::make_pair(kTimerUpperPeak, 500));
    EXPECT_EQ(P().HeldValue(MeterBar::Upper), 150);
    // 100 lights segments 0 to 14; 150 was last reached by segment 20 (threshold 150, red).
    std::vector<int> expected = Bar(31, 15);
    expected[20] = 2;
    EXPECT_EQ(Upper(P()), expected);
    // A second fall while holding does not restart the timer.
    P().ShowMeterReading(MeterBar::Upper, 50);
    EXPECT_EQ(timers_.size(), 1u);
    P().OnHoldTimer(MeterBar::Upper);
    EXPECT_EQ(stopped_, std::vector<int>{kTimerUpperPeak});
    EXPECT_EQ(P().HeldValue(MeterBar::Upper), -1);
    EXPECT_EQ(Upper(P()), Bar(31, 8));
}

TEST_F(PainterBarMeter, HoldTimeFollowsTheMenuSetting) {
    EXPECT_EQ(PanelPainter::HoldTimeMs(0.0), 0);
    EXPECT_EQ(PanelPainter::HoldTimeMs(1.0), 500);
    EXPECT_EQ(PanelPainter::HoldTimeMs(2.0), 1000);
    EXPECT_EQ(PanelPainter::HoldTimeMs(3.0), 2000);
    EXPECT_EQ(PanelPainter::HoldTimeMs(-1.0), 2000);
    // Without a hold-time item the setting counts as 1: half a second.
    P().ShowMeterReading(MeterBar::Upper, 80);
    P().ShowMeterReading(MeterBar::Upper, 10);
    ASSERT_EQ(timers_.size(), 1u);
    EXPECT_EQ(timers_[0].second, 500);
}

TEST_F(PainterBarMeter, HoldSettingZeroHoldsNothing) {
    PutMenuSetting(1, 15, 0.0);
    P().ShowMeterReading(MeterBar::Upper, 200);
    P().ShowMeterReading(MeterBar::Upper, 10);
    EXPECT_TRUE(timers_.empty());
    EXPECT_EQ(P().HeldValue(MeterBar::Upper), -1);
    EXPECT_EQ(Upper(P()), Bar(31, 3));
}

TEST_F(PainterBarMeter, TransmitHoldUsesItsOwnSetting) {
    SetField(Field::TX, 1);
    PutMenuSetting(1, 15, 0.0);
    PutMenuSetting(2, 37, 2.0);
    P().ShowMeterReading(MeterBar::Upper, 200);
    P().ShowMeterReading(MeterBar::Upper, 100);
    ASSERT_EQ(timers_.size(), 1u);
    EXPECT_EQ(timers_[0], std::make_pair(kTimerUpperPeak, 1000));
}

TEST_F(PainterBarMeter, ReadingBackAtThePeakEndsTheHold) {
    P().ShowMeterReading(MeterBar::Upper, 120);
    P().ShowMeterReading(MeterBar::Upper, 60);
    ASSERT_EQ(P().HeldValue(MeterBar::Upper), 120);
    P().ShowMeterReading(MeterBar::Upper, 119);
    EXPECT_EQ(P().HeldValue(MeterBar::Upper), 120);
    P().ShowMeterReading(MeterBar::Upper, 120);
    EXPECT_EQ(P().HeldValue(MeterBar::Upper), -1);
    EXPECT_EQ(stopped_, std::vector<int>{kTimerUpperPeak});
}

TEST_F(PainterBarMeter, PeakAboveEveryThresholdHoldsTheLastSegment) {
    P().ShowMeterReading(MeterBar::Upper, 255);
    P().ShowMeterReading(MeterBar::Upper, 0);
    EXPECT_EQ(Upper(P())[30], 2);
    SetField(Field::TX, 1);
    P().ResetHold(MeterBar::Upper);
    P().ShowMeterReading(MeterBar::Upper, 250);
    P().ShowMeterReading(MeterBar::Upper, 0);
    std::vector<int> expected = Bar(31, 0);
    expected[30] = 1;
    EXPECT_EQ(Upper(P()), expected);
}

TEST_F(PainterBarMeter, AlcPeakAtFullScaleHoldsSegmentFifteen) {
    SetField(Field::TX, 1);
    SetField(Field::MS, 1);
    P().ShowMeterReading(MeterBar::Lower, 255);
    P().ShowMeterReading(MeterBar::Lower, 0);
    ASSERT_EQ(timers_.size(), 1u);
    EXPECT_EQ(timers_[0].first, kTimerLowerPeak);
    std::vector<int> expected = Bar(31, 0);
    expected[15] = 1;
    EXPECT_EQ(Lower(P()), expected);
}

TEST_F(PainterBarMeter, LowerBarHoldsOnlyForAlcAndCurrent) {
    SetField(Field::TX, 1);
    SetField(Field::MS, 0);
    P().ShowMeterReading(MeterBar::Lower, 200);
    P().ShowMeterReading(MeterBar::Lower, 20);
    EXPECT_TRUE(timers_.empty());
    SetField(Field::MS, 4);
    PutMenuSetting(1, 39, 3.0);
    P().ShowMeterReading(MeterBar::Lower, 200);
    P().ShowMeterReading(MeterBar::Lower, 20);
    ASSERT_EQ(timers_.size(), 1u);
    EXPECT_EQ(timers_[0], std::make_pair(kTimerLowerPeak, 2000));
    // 20 lights two segments (8, 16); 200 was last reached by segment 24 (threshold 200).
    std::vector<int> expected = Bar(31, 2);
    expected[24] = 1;
    EXPECT_EQ(Lower(P()), expected);
}

TEST_F(PainterBarMeter, ResetHoldForgetsThePeakAndThePreviousReading) {
    P().ShowMeterReading(MeterBar::Upper, 200);
    P().ShowMeterReading(MeterBar::Upper, 100);
    P().ResetHold(MeterBar::Upper);
    EXPECT_EQ(P().HeldValue(MeterBar::Upper), -1);
    EXPECT_EQ(stopped_, std::vector<int>{kTimerUpperPeak});
    // The previous reading is 0 now, so the next lower reading starts no hold.
    P().ShowMeterReading(MeterBar::Upper, 50);
    EXPECT_EQ(timers_.size(), 1u);
    P().RedrawBar(MeterBar::Upper);
    EXPECT_EQ(Upper(P()), Bar(31, 8));
}

TEST_F(PainterBarMeter, HeldSegmentIsNotShownWhileTheMetersAreOff) {
    P().ShowMeterReading(MeterBar::Upper, 200);
    P().ShowMeterReading(MeterBar::Upper, 100);
    SetField(Field::PS, 0);
    P().RedrawBar(MeterBar::Upper);
    EXPECT_EQ(Upper(P()), Bar(31, 0));
}

}  // namespace
}  // namespace kestrel
