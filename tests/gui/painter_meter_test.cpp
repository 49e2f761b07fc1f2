#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "painter_test_support.h"
#include "platform/timer_numbers.h"

namespace kestrel::testing {
namespace {

// A bar of 31 segments with the first `normal` in state 1, the next `second` in state 2 and the
// rest dark; `held` (when not -1) shows state `heldState`.
std::vector<int> Bar(int normal, int second = 0, int held = -1, int heldState = 1) {
    std::vector<int> states(31, 0);
    for (int i = 0; i < normal + second; ++i) {
        states[i] = i < normal ? 1 : 2;
    }
    if (held >= 0) {
        states[held] = heldState;
    }
    return states;
}

constexpr auto U = MeterBar::Upper;
constexpr auto L = MeterBar::Lower;

class PainterBarMeter : public PainterTest {
  protected:
    void SetUp() override {
        PainterTest::SetUp();
        P().SetHoldTimerHooks([this](int id, int ms) { timers_.emplace_back(id, ms); },
                              [this](int id) { stopped_.push_back(id); });
    }
    std::vector<int> Shown(MeterBar bar) {
        return ShownStates(P(), bar == MeterBar::Upper ? SkinGroup::UpperBar : SkinGroup::LowerBar,
                           0, 31);
    }
    std::vector<std::pair<int, int>> timers_;
    std::vector<int> stopped_;
};

// Segments lit by a reading, per bar, transmit state and lower-bar selection (MS).
TEST_F(PainterBarMeter, SegmentsLightFromTheirThresholdsUp) {
    using Row = std::tuple<MeterBar, int, int, int32_t, int, int>;  // TX, MS, value, lit 1, lit 2
    // clang-format off
    const Row kRows[] = {
        {U, 0, 0, 0, 0, 0},    {U, 0, 0, 2, 0, 0},    {U, 0, 0, 3, 1, 0},     {U, 0, 0, 129, 18, 0},
        {U, 0, 0, 130, 19, 0}, {U, 0, 0, 139, 19, 0}, {U, 0, 0, 140, 19, 1},  {U, 0, 0, 255, 19, 12},
        {U, 1, 0, 7, 0, 0},    {U, 1, 0, 157, 19, 0}, {U, 1, 0, 164, 19, 1},  {U, 1, 0, 243, 19, 11},
        {U, 1, 0, 244, 19, 12},
        // The lower bar lights only while transmitting, except the supply voltage (MS 5); ALC
        // (MS 1) never lights its last three segments.
        {L, 0, 0, 255, 0, 0},  {L, 0, 5, 207, 30, 0}, {L, 0, 5, 208, 31, 0},  {L, 1, 1, 252, 27, 0},
        {L, 1, 1, 255, 28, 0},
    };
    // clang-format on
    for (const auto& [bar, tx, ms, value, normal, second] : kRows) {
        SetFields({{Field::TX, tx}, {Field::MS, ms}});
        bar == U ? P().DrawUpperBar(value) : P().DrawLowerBar(value);
        EXPECT_EQ(Shown(bar), Bar(normal, second))
            << (bar == U ? "upper" : "lower") << " TX " << tx << " MS " << ms << " " << value;
    }
}

TEST_F(PainterBarMeter, LowerSelectionTwoIsNotDrawnAtAll) {
    SetFields({{Field::TX, 1}, {Field::MS, 2}});
    const QImage before = P().Picture();
    P().DrawLowerBar(255);
    EXPECT_EQ(P().Picture(), before);
}

// A falling reading holds its peak for the time of the bar's hold setting (menu kinds 15 receive,
// 37 transmit, 39 current, ALC's own); without the setting's item it counts as 1.
TEST_F(PainterBarMeter, AFallingReadingStartsTheHoldOfItsSetting) {
    // Bar, TX, MS, menu settings (kind, value), falling from, to, then the hold (0: none).
    using Row =
        std::tuple<MeterBar, int, int, std::vector<std::pair<uint32_t, double>>, int, int, int>;
    const Row kRows[] = {
        {U, 0, 0, {}, 80, 10, 500},
        {U, 0, 0, {{15, 0.0}}, 200, 10, 0},
        {U, 1, 0, {{15, 0.0}, {37, 2.0}}, 200, 100, 1000},
        {L, 1, 0, {}, 200, 20, 0},
        {L, 1, 4, {{39, 3.0}}, 200, 20, 2000},
        {L, 1, 1, {}, 255, 0, 500},
    };
    for (const auto& [bar, tx, ms, settings, from, to, holdMs] : kRows) {
        SCOPED_TRACE(::testing::Message() << "from " << from << " MS " << ms);
        ResetRadioState();
        SetFields({{Field::AI, 1}, {Field::PS, 1}, {Field::TX, tx}, {Field::MS, ms}});
        for (size_t i = 0; i < settings.size(); ++i) {
            PutMenuSetting(static_cast<int32_t>(i + 1), settings[i].first, settings[i].second);
        }
        P().ResetHold(bar);
        timers_.clear();
        P().ShowMeterReading(bar, from);
        P().ShowMeterReading(bar, to);
        const int timer = bar == U ? kTimerUpperPeak : kTimerLowerPeak;
        using Timers = std::vector<std::pair<int, int>>;
        EXPECT_EQ(timers_, (holdMs == 0 ? Timers{} : Timers{{timer, holdMs}}));
        EXPECT_EQ(P().HeldValue(bar), holdMs == 0 ? -1 : from);
    }
    EXPECT_EQ(PanelPainter::HoldTimeMs(-1.0), 2000);
}

TEST_F(PainterBarMeter, HeldPeakShowsItsSegmentUntilTheTimerOrTheReadingComesBack) {
    P().ShowMeterReading(MeterBar::Upper, 150);
    P().ShowMeterReading(MeterBar::Upper, 100);
    // 100 lights segments 0 to 14; 150 was last reached by segment 20 (threshold 150, red).
    EXPECT_EQ(Shown(MeterBar::Upper), Bar(15, 0, 20, 2));
    P().ShowMeterReading(MeterBar::Upper, 50);
    EXPECT_EQ(timers_.size(), 1u) << "a second fall while holding does not restart the timer";
    SetField(Field::PS, 0);
    P().RedrawBar(MeterBar::Upper);
    EXPECT_EQ(Shown(MeterBar::Upper), Bar(0)) << "nothing is shown while the meters are off";
    SetField(Field::PS, 1);
    P().OnHoldTimer(MeterBar::Upper);
    EXPECT_EQ(stopped_, std::vector<int>{kTimerUpperPeak});
    EXPECT_EQ(P().HeldValue(MeterBar::Upper), -1);
    EXPECT_EQ(Shown(MeterBar::Upper), Bar(8));

    P().ShowMeterReading(MeterBar::Upper, 120);
    P().ShowMeterReading(MeterBar::Upper, 60);
    P().ShowMeterReading(MeterBar::Upper, 119);
    EXPECT_EQ(P().HeldValue(MeterBar::Upper), 120);
    P().ShowMeterReading(MeterBar::Upper, 120);
    EXPECT_EQ(P().HeldValue(MeterBar::Upper), -1) << "reading back at the peak ends the hold";
    EXPECT_EQ(stopped_, (std::vector<int>{kTimerUpperPeak, kTimerUpperPeak}));
}

TEST_F(PainterBarMeter, PeaksAboveEveryThresholdHoldTheLastSegmentOfTheirScale) {
    using Row = std::tuple<MeterBar, int, int, std::vector<int>>;  // bar, TX, MS, shown
    const Row kRows[] = {
        {MeterBar::Upper, 0, 0, Bar(0, 0, 30, 2)},
        {MeterBar::Upper, 1, 0, Bar(0, 0, 30, 1)},
        {MeterBar::Lower, 1, 1, Bar(0, 0, 15, 1)},  // ALC at full scale holds segment 15
        {MeterBar::Lower, 1, 4, Bar(2, 0, 24, 1)},  // 20 lights two; 200 was reached by 24
    };
    PutMenuSetting(1, 39, 3.0);
    for (const auto& [bar, tx, ms, shown] : kRows) {
        SetFields({{Field::TX, tx}, {Field::MS, ms}});
        P().ResetHold(bar);
        P().ShowMeterReading(bar, ms == 4 ? 200 : 255);
        P().ShowMeterReading(bar, ms == 4 ? 20 : 0);
        EXPECT_EQ(Shown(bar), shown) << "TX " << tx << " MS " << ms;
    }
}

TEST_F(PainterBarMeter, ResetHoldForgetsThePeakAndThePreviousReading) {
    P().ShowMeterReading(MeterBar::Upper, 200);
    P().ShowMeterReading(MeterBar::Upper, 100);
    P().ResetHold(MeterBar::Upper);
    EXPECT_EQ(P().HeldValue(MeterBar::Upper), -1);
    EXPECT_EQ(stopped_, std::vector<int>{kTimerUpperPeak});
    P().ShowMeterReading(MeterBar::Upper, 50);
    EXPECT_EQ(timers_.size(), 1u) << "the previous reading is 0 now: no new hold";
    P().RedrawBar(MeterBar::Upper);
    EXPECT_EQ(Shown(MeterBar::Upper), Bar(8));
}

}  // namespace
}  // namespace kestrel::testing
