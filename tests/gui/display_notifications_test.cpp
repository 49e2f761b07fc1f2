#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/display_updates.h"
#include "app_window_fixture.h"
#include "panel/panel_messages.h"
#include "platform/timer_numbers.h"
#include "protocol/notifications.h"

namespace kestrel::testing {
namespace {

using F = Field;
using G = SkinGroup;

class DisplayNotifications : public MainWindowTest {};

// Lamps lit when their field is 1: one row per notification and value.
struct LampCase {
    uint32_t message;
    Field field;
    int32_t value;
    SkinGroup lamp;
    int lit;
};

// clang-format off
constexpr std::array kLampCases{
    LampCase{kNotifyRT, F::RT,   1, G::LampRxClar, 1},
    LampCase{kNotifyXT, F::XT,   1, G::LampTxClar, 1},
    LampCase{kNotifyBC, F::BC,   1, G::LampDnf,    1},
    LampCase{kNotifyNR, F::NR0,  1, G::LampDnr,    1},
    LampCase{kNotifyLK, F::LK,   1, G::LampLock,   1},
    LampCase{kNotifyNA, F::NA0,  1, G::LampNar,    1},
    LampCase{kNotifyPR, F::PR,   1, G::LampProc,   1},
    LampCase{kNotifyPR, F::PR,   2, G::LampProc,   0},
    LampCase{kNotifyBY, F::BYp2, 1, G::LampBusy,   1},
    LampCase{kNotifyTX, F::TX,   1, G::LampTx,     1},
    LampCase{kNotifyTX, F::TX,   2, G::LampTx,     1},
};
// clang-format on

TEST_F(DisplayNotifications, LampsFollowTheirField) {
    for (const LampCase& c : kLampCases) {
        window->Painter().DrawGroup(c.lamp, 1 - c.lit);
        Set(c.field, c.value);
        Notify(c.message);
        EXPECT_EQ(Lamp(c.lamp), c.lit) << FieldName(c.field) << " " << c.value;
    }
}

TEST_F(DisplayNotifications, ClarifierLegendLitWhileEitherClarifierIsOn) {
    Set(F::RT, 1);
    Notify(kNotifyRT);
    EXPECT_EQ(Lamp(G::LegendClar), 1);
    Set(F::RT, 0);
    Set(F::XT, 1);
    Notify(kNotifyRT);
    EXPECT_EQ(Lamp(G::LegendClar), 1) << "XT alone keeps the legend lit";
    EXPECT_EQ(Lamp(G::LampRxClar), 0);
    Set(F::XT, 0);
    Notify(kNotifyXT);
    EXPECT_EQ(Lamp(G::LegendClar), 0);
    EXPECT_EQ(Lamp(G::LampTxClar), 0);
}

TEST_F(DisplayNotifications, MoxAndVoxCapsShowTheirOnLook) {
    Set(F::MX, 1);
    Notify(kNotifyMX);
    EXPECT_EQ(Cap(G::KeyMox), 2);
    Set(F::MX, 0);
    Notify(kNotifyMX);
    EXPECT_EQ(Cap(G::KeyMox), 0);
    Set(F::VX, 1);
    Notify(kNotifyVX);
    EXPECT_EQ(Cap(G::KeyVox), 2);
}

TEST_F(DisplayNotifications, NoiseBlankerAndTunerLegendsTakeTheValueAsImage) {
    for (const auto& [message, field, group] : {std::tuple{kNotifyNB, F::NB0, G::LegendNb},
                                                std::tuple{kNotifyAC, F::AC, G::LegendTuner}}) {
        Set(field, 2);
        Notify(message);
        EXPECT_TRUE(Shows(group, 2));
        Set(field, 0);
        Notify(message);
        EXPECT_TRUE(Shows(group, 0));
        EXPECT_FALSE(Shows(group, 1));
        Set(field, 1);
        Notify(message);
        EXPECT_TRUE(Shows(group, 1));
    }
}

// Four caps that share the SF value, in the order BAND (864, 202), MHz (864, 286), GRP
// (986, 202), MCH (986, 286).
TEST_F(DisplayNotifications, FunctionCapsTurnOnOnePerSfValue) {
    constexpr std::array kCaps{G::KeyFuncBand, G::KeyFuncMhz, G::KeyFuncGrp, G::KeyFuncMch};
    for (int32_t sf = 0; sf <= 8; ++sf) {
        Set(F::SF, sf);
        Notify(kNotifySF);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(Cap(kCaps[i]), sf == i ? 2 : 0) << "SF " << sf << " cap " << i;
        }
    }
}

TEST_F(DisplayNotifications, DspCapsTurnOnOnePerKcValue) {
    constexpr std::array kCaps{G::KeyShift, G::KeyWidth, G::KeyCont, G::KeyNotch, G::KeyMuTune};
    for (int32_t kc = 0; kc <= 5; ++kc) {
        Set(F::KC, kc);
        Notify(kNotifyKC);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(Cap(kCaps[i]), kc == i + 1 ? 2 : 0) << "KC " << kc << " cap " << i;
        }
    }
}

TEST_F(DisplayNotifications, TransmitVfoCapsFollowFt) {
    Set(F::FT, 0);
    Notify(kNotifyFT);
    EXPECT_EQ(Cap(G::KeyTxA), 2);
    EXPECT_EQ(Cap(G::KeyTxB), 0);
    Set(F::FT, 1);
    Notify(kNotifyFT);
    EXPECT_EQ(Cap(G::KeyTxA), 0);
    EXPECT_EQ(Cap(G::KeyTxB), 2);
}

TEST_F(DisplayNotifications, ReceiveVfoCapsFollowFrAndIgnoreTwoAndThree) {
    // FR value, then the A and B caps' images; -1: the caps keep what they showed.
    constexpr std::array<std::array<int, 3>, 6> kCases{{
        {0, 2, 0},
        {1, 0, 0},
        {4, 0, 2},
        {5, 0, 0},
        {2, -1, -1},
        {3, -1, -1},
    }};
    for (const auto& [fr, a, b] : kCases) {
        window->Painter().DrawGroup(G::KeyRxA, 1);
        window->Painter().DrawGroup(G::KeyRxB, 3);
        Set(F::FR, fr);
        Notify(kNotifyFR);
        EXPECT_EQ(Cap(G::KeyRxA), a == -1 ? 1 : a) << "FR " << fr;
        EXPECT_EQ(Cap(G::KeyRxB), b == -1 ? 3 : b) << "FR " << fr;
    }
}

// Legend columns: the value, then which legends (top to bottom) are lit.
struct ColumnCase {
    uint32_t message;
    Field field;
    int32_t value;
    SkinGroup column;
    std::vector<int> lit;  // empty with drawsNothing
    bool drawsNothing = false;
};

TEST_F(DisplayNotifications, LegendColumnsLightTheLegendsOfTheValue) {
    const std::vector<ColumnCase> cases{
        // Roofing filter: AUTO, 3 kHz, 6 kHz, 15 kHz.
        {kNotifyRF, F::RF, 1, G::ColumnRflt, {0, 0, 0, 1}},
        {kNotifyRF, F::RF, 3, G::ColumnRflt, {0, 1, 0, 0}},
        {kNotifyRF, F::RF, 4, G::ColumnRflt, {1, 0, 0, 1}},
        {kNotifyRF, F::RF, 6, G::ColumnRflt, {1, 1, 0, 0}},
        {kNotifyRF, F::RF, 0, G::ColumnRflt, {}, true},
        // AGC: AUTO, FAST, MID, SLOW.
        {kNotifyGT, F::GT0, 0, G::ColumnAgc, {0, 0, 0, 0}},
        {kNotifyGT, F::GT0, 1, G::ColumnAgc, {0, 1, 0, 0}},
        {kNotifyGT, F::GT0, 3, G::ColumnAgc, {0, 0, 0, 1}},
        {kNotifyGT, F::GT0, 4, G::ColumnAgc, {1, 1, 0, 0}},
        {kNotifyGT, F::GT0, 6, G::ColumnAgc, {1, 0, 0, 1}},
        // Attenuator: OFF, 6 dB, 12 dB, 18 dB.
        {kNotifyRA, F::RA, 0, G::ColumnAtt, {1, 0, 0, 0}},
        {kNotifyRA, F::RA, 3, G::ColumnAtt, {0, 0, 0, 1}},
        // Preamplifier: AMP1, AMP2, IPO.
        {kNotifyPA, F::PA, 0, G::ColumnIpo, {0, 0, 1}},
        {kNotifyPA, F::PA, 1, G::ColumnIpo, {1, 0, 0}},
        // Antenna 1 and 2.
        {kNotifyAN, F::ANp3, 0, G::ColumnAnt, {1, 0}},
        {kNotifyAN, F::ANp3, 1, G::ColumnAnt, {0, 1}},
    };
    for (const ColumnCase& c : cases) {
        const int positions = c.drawsNothing ? 4 : static_cast<int>(c.lit.size());
        for (int p = 0; p < positions; ++p) {
            window->Painter().DrawGroup(c.column, ColumnElement(c.column, p, p % 2 == 0));
        }
        Set(c.field, c.value);
        Notify(c.message);
        for (int p = 0; p < positions; ++p) {
            const int expected = c.drawsNothing ? (p % 2 == 0 ? 1 : 0) : c.lit[p];
            EXPECT_EQ(Legend(c.column, p), expected)
                << FieldName(c.field) << " " << c.value << " legend " << p;
        }
    }
}

TEST_F(DisplayNotifications, VoiceFilterLampsFollowBothOnOffValues) {
    // VF selector 0 on/off, selector 1 on/off, then the µ-TUNE and THRU lamps.
    constexpr std::array<std::array<int, 4>, 4> kCases{{
        {0, 0, 0, 1},
        {1, 0, 1, 1},
        {1, 1, 1, 0},
        {0, 1, 0, 1},
    }};
    for (const auto& [vf0, vf1, muTune, thru] : kCases) {
        Set(F::VF0p3, vf0);
        Set(F::VF1p3, vf1);
        Notify(kNotifyVF);
        EXPECT_EQ(Lamp(G::LampMuTune), muTune) << vf0 << vf1;
        EXPECT_EQ(Lamp(G::LampThru), thru) << vf0 << vf1;
    }
}

TEST_F(DisplayNotifications, ModeLegendsLightTheLegendsOfTheModeValue) {
    constexpr std::array kLegends{G::ModeLsb, G::ModeUsb,  G::ModeCw, G::ModeAm,
                                  G::ModeFm,  G::ModeRtty, G::ModePkt};
    // Legends are numbered 1 (LSB) to 7 (PKT).
    const std::vector<std::vector<int>> lit{
        {}, {1}, {2}, {2, 3}, {5}, {4}, {1, 6}, {1, 3}, {1, 7}, {2, 6}, {5, 7}, {5}, {2, 7},
    };
    for (int32_t md = 1; md <= 12; ++md) {
        Set(F::MD0, md);
        Notify(kNotifyMD);
        for (int legend = 1; legend <= 7; ++legend) {
            const bool on = std::find(lit[md].begin(), lit[md].end(), legend) != lit[md].end();
            EXPECT_EQ(Lamp(kLegends[legend - 1]), on ? 1 : 0)
                << "MD " << md << " legend " << legend;
        }
    }
    for (const int32_t md : {0, 13}) {
        Set(F::MD0, 2);
        Notify(kNotifyMD);
        Set(F::MD0, md);
        Notify(kNotifyMD);
        EXPECT_EQ(Lamp(G::ModeUsb), 1) << "MD " << md << " leaves the legends as they were";
    }
}

TEST_F(DisplayNotifications, RadioIndicatorsDrawFiveLampsAndBothReceiveCaps) {
    const std::array fields{F::RI0, F::RI1, F::RI2, F::RI3, F::RI4, F::RI5, F::RI7};
    for (int pattern : {0b1010101, 0b0101010}) {
        for (size_t i = 0; i < fields.size(); ++i) {
            Set(fields[i], pattern >> i & 1);
        }
        Notify(kNotifyRI);
        EXPECT_EQ(Lamp(G::LampHiSwr), pattern & 1);
        EXPECT_EQ(Lamp(G::LampMicEq), pattern >> 1 & 1);
        EXPECT_EQ(Lamp(G::LampRec), pattern >> 2 & 1);
        EXPECT_EQ(Lamp(G::LampPlay), pattern >> 3 & 1);
        EXPECT_EQ(Lamp(G::LampTx), pattern >> 4 & 1);
        EXPECT_EQ(Cap(G::KeyRxA), (pattern >> 5 & 1) * 2);
        EXPECT_EQ(Cap(G::KeyRxB), (pattern >> 6 & 1) * 2);
    }
}

TEST_F(DisplayNotifications, FrequencyShowsTheVfoThatTheTransceiverUses) {
    Set(F::FA, 7050000);
    Set(F::FB, 14250000);
    // TX, FT, VS, then whether the B frequency is shown.
    constexpr std::array<std::array<int, 4>, 8> kCases{{
        {0, 0, 0, 0},
        {0, 0, 1, 1},
        {0, 1, 0, 0},
        {0, 1, 1, 1},
        {1, 0, 0, 0},
        {1, 0, 1, 0},
        {1, 1, 0, 1},
        {1, 1, 1, 1},
    }};
    for (const auto& [tx, ft, vs, showsB] : kCases) {
        Set(F::TX, tx);
        Set(F::FT, ft);
        Set(F::VS, vs);
        Notify(kNotifyFA);
        EXPECT_TRUE(ShowsFrequency(showsB ? 14250000 : 7050000)) << tx << ft << vs;
    }
}

TEST_F(DisplayNotifications, DigitCursorMessageHighlightsTheDigit) {
    Set(F::FA, 475000);
    window->SendMessage(kMsgSelectDigitA, 1, 0);
    EXPECT_TRUE(ShowsFrequency(475000, 1));
    EXPECT_EQ(window->DigitCursor(), 1);
    window->SendMessage(kMsgSelectDigitA, 0, 0);
    EXPECT_TRUE(ShowsFrequency(475000, 0));
}

TEST_F(DisplayNotifications, FrequencyTimersRedrawFromTheStoreAndRestUntilTheNextMessage) {
    window->InitPanel();
    Set(F::FA, 3573000);
    window->OnTimer(kTimerFrequencyA);
    EXPECT_TRUE(ShowsFrequency(3573000));
    Set(F::FA, 3574000);
    window->OnTimer(kTimerFrequencyB);
    EXPECT_TRUE(ShowsFrequency(3574000));
    window->Painter().DrawPanelPicture();
    window->OnTimer(kTimerFrequencyA);
    EXPECT_TRUE(ShowsFrequency(3574000)) << "a display drawn over is drawn again";
    EXPECT_TRUE(window->HasTimer(kTimerFrequencyA));
    window->OnTimer(kTimerFrequencyB);
    EXPECT_FALSE(window->HasTimer(kTimerFrequencyA)) << "nothing new: both rest";
    EXPECT_FALSE(window->HasTimer(kTimerFrequencyB));
    Notify(kNotifyTX);
    EXPECT_EQ(window->TimerPeriod(kTimerFrequencyA), 30);
    EXPECT_EQ(window->TimerPeriod(kTimerFrequencyB), 30);
}

TEST_F(DisplayNotifications, OffsetAndMemoryLampsFollowTheShownSide) {
    ASSERT_TRUE(SetReal(RealField::IFp13, -120.0));
    ASSERT_TRUE(SetReal(RealField::OIp13, 0.0));
    Set(F::IFp21, 1);
    Set(F::VS, 0);
    Notify(kNotifyIF);
    EXPECT_TRUE(ShowsOffset(-120.0));
    EXPECT_EQ(Lamp(G::LampMemory1), 1);
    EXPECT_EQ(Lamp(G::LampMemory2), 0);

    Set(F::VS, 1);
    Notify(kNotifyVS);
    EXPECT_TRUE(ShowsOffset(0.0));
    EXPECT_EQ(Lamp(G::LampMemory1), 0) << "with VS 1 both memory lamps are dark";
    EXPECT_EQ(Lamp(G::LampMemory2), 0);

    Set(F::VS, 0);
    for (const auto& [memory, first, second] :
         {std::tuple{0, 0, 0}, std::tuple{2, 0, 1}, std::tuple{3, 0, 0}, std::tuple{4, 0, 1}}) {
        Set(F::IFp21, memory);
        Notify(kNotifyIF);
        EXPECT_EQ(Lamp(G::LampMemory1), first) << memory;
        EXPECT_EQ(Lamp(G::LampMemory2), second) << memory;
    }
}

TEST_F(DisplayNotifications, TransmitEndSwitchesBackToTheReceiveVfoAndResetsHolds) {
    Set(F::AI, 1);
    Set(F::PS, 1);
    Set(F::FA, 7050000);
    Set(F::FB, 7150000);
    Set(F::FT, 1);
    Set(F::TX, 1);
    Notify(kNotifyTX);
    EXPECT_TRUE(ShowsFrequency(7150000));
    EXPECT_EQ(Lamp(G::UpperTxPlate), 1);
    EXPECT_EQ(Lamp(G::UpperRxPlate), 0);
    Set(F::RM0, 200);
    Notify(kNotifyRM);
    Set(F::RM0, 20);
    Notify(kNotifyRM);
    EXPECT_EQ(window->Painter().HeldValue(MeterBar::Upper), 200) << "a falling reading is held";
    EXPECT_TRUE(window->HasTimer(kTimerUpperPeak));

    Set(F::TX, 0);
    Notify(kNotifyTX);
    EXPECT_TRUE(ShowsFrequency(7050000));
    EXPECT_EQ(Lamp(G::LampTx), 0);
    EXPECT_EQ(Lamp(G::UpperRxPlate), 1);
    EXPECT_EQ(window->Painter().HeldValue(MeterBar::Upper), -1);
    EXPECT_FALSE(window->HasTimer(kTimerUpperPeak));
}

TEST_F(DisplayNotifications, AutoInformationOrPowerOffDarkensBothBars) {
    for (const auto& [message, field, cap] :
         {std::tuple{kNotifyAI, F::AI, G::KeyCom}, std::tuple{kNotifyPS, F::PS, G::KeyOnOff}}) {
        Set(F::AI, 1);
        Set(F::PS, 1);
        Set(F::MS, 5);
        Set(F::RM0, 255);
        Set(F::RM1, 255);
        Notify(kNotifyRM);
        ASSERT_FALSE(Shows(G::UpperBar, 0)) << "the first segment is lit at 255";
        ASSERT_FALSE(Shows(G::LowerBar, 0));
        Notify(message);
        EXPECT_EQ(Cap(cap), 2);

        Set(field, 0);
        Notify(message);
        EXPECT_EQ(Cap(cap), 0);
        for (int segment = 0; segment < kBarSegments; ++segment) {
            EXPECT_TRUE(Shows(G::UpperBar, 3 * segment)) << FieldName(field) << " " << segment;
            EXPECT_TRUE(Shows(G::LowerBar, 2 * segment)) << FieldName(field) << " " << segment;
        }
    }
}

TEST_F(DisplayNotifications, MeterReadingWithLowerSelectionTwoLeavesTheLowerBar) {
    Set(F::AI, 1);
    Set(F::PS, 1);
    for (int segment = 0; segment < kBarSegments; ++segment) {
        window->Painter().DrawGroup(G::LowerBar, 2 * segment + segment % 2);
    }
    Set(F::MS, 2);
    Set(F::RM1, 0);
    Notify(kNotifyRM);
    for (int segment = 0; segment < kBarSegments; ++segment) {
        EXPECT_TRUE(Shows(G::LowerBar, 2 * segment + segment % 2)) << segment;
    }
    EXPECT_EQ(Lamp(G::LowerPlate0), 0) << "the selection-0 plate is drawn unlit";
}

TEST_F(DisplayNotifications, MeterSelectionLightsItsPlateAndDropsTheLowerHold) {
    for (const auto& [selection, plate] :
         {std::pair{0, G::LowerPlate0}, std::pair{1, G::LowerPlate1}, std::pair{3, G::LowerPlate3},
          std::pair{4, G::LowerPlate4}, std::pair{5, G::LowerPlate5}}) {
        Set(F::MS, selection);
        Notify(kNotifyMS);
        EXPECT_EQ(Lamp(plate), 1) << selection;
        EXPECT_EQ(window->Painter().HeldValue(MeterBar::Lower), -1);
        EXPECT_FALSE(window->HasTimer(kTimerLowerPeak));
    }
}

TEST_F(DisplayNotifications, ApfRedrawsOnlyWhileContourModeIsTwo) {
    const QRect rows = Area({G::ContourRows});
    Set(F::CO0, 1);
    Set(F::CO1, 0);
    Notify(kNotifyCO);
    const QImage before = Picture().copy(rows);
    Set(F::KP, 8);
    Notify(kNotifyKP);
    EXPECT_EQ(Picture().copy(rows), before) << "KP with contour mode 1 redraws nothing";
    Set(F::CO0, 2);
    Notify(kNotifyKP);
    EXPECT_NE(Picture().copy(rows), before);
    EXPECT_TRUE(Shows(G::LegendContour, 1)) << "the legend is not part of the KP redraw";
    Notify(kNotifyCO);
    EXPECT_TRUE(Shows(G::LegendContour, 2));
}

TEST_F(DisplayNotifications, WidthAndShiftRowsFollowBgAndIs) {
    Set(F::BG0, 2);
    Notify(kNotifyBG);
    for (int column = 0; column < 11; ++column) {
        EXPECT_TRUE(Shows(G::WidthRow, 2 * column + (column >= 3 && column <= 7 ? 1 : 0)))
            << column;
    }
    Set(F::MD0, 1);
    Set(F::IS, 0);
    Notify(kNotifyIS);
    for (int column = 0; column < 11; ++column) {
        EXPECT_TRUE(Shows(G::ShiftRow, 2 * column + (column == 5 ? 1 : 0))) << column;
    }
}

TEST_F(DisplayNotifications, EveryBoundNotificationHasOneRow) {
    EXPECT_EQ(FindNotification(kNotifyTS), nullptr) << "TS has no handler";
    EXPECT_EQ(FindNotification(kNotifyLM), nullptr);
    ASSERT_NE(FindNotification(kNotifyFA), nullptr);
    EXPECT_EQ(FindNotification(kNotifyFA)->answer, "FA");
    EXPECT_EQ(FindNotification(kNotifyKC)->answer, "KC");
}

}  // namespace
}  // namespace kestrel::testing
