#include <algorithm>
#include <array>
#include <tuple>
#include <utility>
#include <vector>

#include "app/display_updates.h"
#include "app_window_fixture.h"
#include "platform/timer_numbers.h"
#include "protocol/notifications.h"
#include "window/panel_messages.h"

namespace kestrel::testing {
namespace {

using F = Field;
using G = SkinGroup;

using DisplayNotifications = MainWindowTest;

// Notifications in order, each after the store changes it follows, and the looks of the lamps
// and caps it redraws (an image whose look another image shares is not told apart).
struct Step {
    uint32_t message;
    std::vector<std::pair<Field, int32_t>> set;
    std::vector<std::pair<SkinGroup, int>> shows;
};

TEST_F(DisplayNotifications, LampsAndCapsFollowTheirFields) {
    // clang-format off
    const std::vector<Step> steps{
        {kNotifyRT, {{F::RT, 1}}, {{G::LampRxClar, 1}, {G::LegendClar, 1}}},
        {kNotifyRT, {{F::RT, 0}, {F::XT, 1}}, {{G::LampRxClar, 0}, {G::LegendClar, 1}}},
        {kNotifyXT, {{F::XT, 0}}, {{G::LampTxClar, 0}, {G::LegendClar, 0}}},
        {kNotifyXT, {{F::XT, 1}}, {{G::LampTxClar, 1}}},
        {kNotifyBC, {{F::BC, 1}}, {{G::LampDnf, 1}}},
        {kNotifyNR, {{F::NR0, 1}}, {{G::LampDnr, 1}}},
        {kNotifyLK, {{F::LK, 1}}, {{G::LampLock, 1}}},
        {kNotifyNA, {{F::NA0, 1}}, {{G::LampNar, 1}}},
        {kNotifyPR, {{F::PR, 1}}, {{G::LampProc, 1}}},
        {kNotifyPR, {{F::PR, 2}}, {{G::LampProc, 0}}},
        {kNotifyBY, {{F::BYp2, 1}}, {{G::LampBusy, 1}}},
        {kNotifyTX, {{F::TX, 2}}, {{G::LampTx, 1}}},
        {kNotifyMX, {{F::MX, 1}}, {{G::KeyMox, 2}}},
        {kNotifyMX, {{F::MX, 0}}, {{G::KeyMox, 0}}},
        {kNotifyVX, {{F::VX, 1}}, {{G::KeyVox, 2}}},
        // NB and the tuner take the value as the image.
        {kNotifyNB, {{F::NB0, 2}}, {{G::LegendNb, 2}}},
        {kNotifyNB, {{F::NB0, 0}}, {{G::LegendNb, 0}}},
        {kNotifyNB, {{F::NB0, 1}}, {{G::LegendNb, 1}}},
        {kNotifyAC, {{F::AC, 2}}, {{G::LegendTuner, 2}}},
        {kNotifyAC, {{F::AC, 0}}, {{G::LegendTuner, 0}}},
        {kNotifyFT, {{F::FT, 0}}, {{G::KeyTxA, 2}, {G::KeyTxB, 0}}},
        {kNotifyFT, {{F::FT, 1}}, {{G::KeyTxA, 0}, {G::KeyTxB, 2}}},
        // FR 2 and 3 leave the receive caps as they were.
        {kNotifyFR, {{F::FR, 0}}, {{G::KeyRxA, 2}, {G::KeyRxB, 0}}},
        {kNotifyFR, {{F::FR, 2}}, {{G::KeyRxA, 2}, {G::KeyRxB, 0}}},
        {kNotifyFR, {{F::FR, 4}}, {{G::KeyRxA, 0}, {G::KeyRxB, 2}}},
        {kNotifyFR, {{F::FR, 2}}, {{G::KeyRxA, 0}, {G::KeyRxB, 2}}},
        {kNotifyFR, {{F::FR, 3}}, {{G::KeyRxA, 0}, {G::KeyRxB, 2}}},
        {kNotifyFR, {{F::FR, 0}}, {{G::KeyRxA, 2}, {G::KeyRxB, 0}}},
        {kNotifyFR, {{F::FR, 3}}, {{G::KeyRxA, 2}, {G::KeyRxB, 0}}},
        {kNotifyFR, {{F::FR, 1}}, {{G::KeyRxA, 0}, {G::KeyRxB, 0}}},
        {kNotifyFR, {{F::FR, 4}}, {{G::KeyRxA, 0}, {G::KeyRxB, 2}}},
        {kNotifyFR, {{F::FR, 5}}, {{G::KeyRxA, 0}, {G::KeyRxB, 0}}},
        // The voice filter's two on/off values light µ-TUNE and THRU.
        {kNotifyVF, {{F::VF0p3, 0}, {F::VF1p3, 0}}, {{G::LampMuTune, 0}, {G::LampThru, 1}}},
        {kNotifyVF, {{F::VF0p3, 1}, {F::VF1p3, 0}}, {{G::LampMuTune, 1}, {G::LampThru, 1}}},
        {kNotifyVF, {{F::VF0p3, 1}, {F::VF1p3, 1}}, {{G::LampMuTune, 1}, {G::LampThru, 0}}},
        {kNotifyVF, {{F::VF0p3, 0}, {F::VF1p3, 1}}, {{G::LampMuTune, 0}, {G::LampThru, 1}}},
        // The radio indicators draw five lamps and both receive caps.
        {kNotifyRI, {{F::RI0, 1}, {F::RI1, 0}, {F::RI2, 1}, {F::RI3, 0}, {F::RI4, 1}, {F::RI5, 0}, {F::RI7, 1}},
         {{G::LampHiSwr, 1}, {G::LampMicEq, 0}, {G::LampRec, 1}, {G::LampPlay, 0}, {G::LampTx, 1}, {G::KeyRxA, 0}, {G::KeyRxB, 2}}},
        {kNotifyRI, {{F::RI0, 0}, {F::RI1, 1}, {F::RI2, 0}, {F::RI3, 1}, {F::RI4, 0}, {F::RI5, 1}, {F::RI7, 0}},
         {{G::LampHiSwr, 0}, {G::LampMicEq, 1}, {G::LampRec, 0}, {G::LampPlay, 1}, {G::LampTx, 0}, {G::KeyRxA, 2}, {G::KeyRxB, 0}}},
        // Width columns 3 to 7 for BG 2; shift column 5 for IS 0 (element = 2 x column + lit).
        {kNotifyBG, {{F::BG0, 2}}, {{G::WidthRow, 4}, {G::WidthRow, 7}, {G::WidthRow, 15}, {G::WidthRow, 16}}},
        {kNotifyIS, {{F::MD0, 1}, {F::IS, 0}}, {{G::ShiftRow, 8}, {G::ShiftRow, 11}, {G::ShiftRow, 12}}},
        // Memory lamps by the IF memory value; with VS 1 both are dark.
        {kNotifyIF, {{F::IFp21, 1}, {F::VS, 0}}, {{G::LampMemory1, 1}, {G::LampMemory2, 0}}},
        {kNotifyVS, {{F::VS, 1}}, {{G::LampMemory1, 0}, {G::LampMemory2, 0}}},
        {kNotifyIF, {{F::VS, 0}, {F::IFp21, 2}}, {{G::LampMemory1, 0}, {G::LampMemory2, 1}}},
        {kNotifyIF, {{F::IFp21, 3}}, {{G::LampMemory2, 0}}},
        {kNotifyIF, {{F::IFp21, 4}}, {{G::LampMemory2, 1}}},
        {kNotifyIF, {{F::IFp21, 0}}, {{G::LampMemory1, 0}, {G::LampMemory2, 0}}},
    };
    // clang-format on
    for (size_t i = 0; i < steps.size(); ++i) {
        Notify(steps[i].message, steps[i].set);
        for (const auto& [group, image] : steps[i].shows) {
            EXPECT_TRUE(ShowsOnly(group, image)) << "step " << i << " " << GroupLayout(group).name;
        }
    }
}

// SF lights one of BAND, MHz, GRP and MCH; KC (from 1) one of SHIFT to µ-TUNE.
TEST_F(DisplayNotifications, FunctionCapsTurnOnOnePerValue) {
    using Row = std::tuple<uint32_t, Field, int32_t, int32_t, std::vector<SkinGroup>>;
    const Row rows[] = {
        {kNotifySF, F::SF, 0, 8, {G::KeyFuncBand, G::KeyFuncMhz, G::KeyFuncGrp, G::KeyFuncMch}},
        {kNotifyKC, F::KC, 1, 5, {G::KeyShift, G::KeyWidth, G::KeyCont, G::KeyNotch, G::KeyMuTune}},
    };
    for (const auto& [message, field, first, last, caps] : rows) {
        for (int32_t value = 0; value <= last; ++value) {
            Notify(message, {{field, value}});
            for (size_t i = 0; i < caps.size(); ++i) {
                EXPECT_TRUE(ShowsOnly(caps[i], value == first + int(i) ? 2 : 0))
                    << FieldName(field) << " " << value << " cap " << i;
            }
        }
    }
}

// Legend columns: the value, then which legends (top to bottom) are lit; none listed: the value
// draws nothing.
TEST_F(DisplayNotifications, LegendColumnsLightTheLegendsOfTheValue) {
    using ColumnCase = std::tuple<uint32_t, Field, int32_t, SkinGroup, std::vector<int>>;
    const std::vector<ColumnCase> cases{
        // Roofing filter: AUTO, 3 kHz, 6 kHz, 15 kHz.
        {kNotifyRF, F::RF, 1, G::ColumnRflt, {0, 0, 0, 1}},
        {kNotifyRF, F::RF, 3, G::ColumnRflt, {0, 1, 0, 0}},
        {kNotifyRF, F::RF, 4, G::ColumnRflt, {1, 0, 0, 1}},
        {kNotifyRF, F::RF, 6, G::ColumnRflt, {1, 1, 0, 0}},
        {kNotifyRF, F::RF, 0, G::ColumnRflt, {}},
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
    for (const auto& [message, field, value, column, lit] : cases) {
        const int positions = lit.empty() ? 4 : static_cast<int>(lit.size());
        for (int p = 0; p < positions; ++p) {
            window->Painter().DrawGroup(column, ColumnElement(column, p, p % 2 == 0));
        }
        Notify(message, {{field, value}});
        for (int p = 0; p < positions; ++p) {
            const bool expected = lit.empty() ? p % 2 == 0 : lit[p] == 1;
            EXPECT_TRUE(ShowsOnly(column, ColumnElement(column, p, expected)))
                << FieldName(field) << " " << value << " legend " << p;
        }
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
        Notify(kNotifyMD, {{F::MD0, md}});
        for (int legend = 1; legend <= 7; ++legend) {
            const bool on = std::find(lit[md].begin(), lit[md].end(), legend) != lit[md].end();
            EXPECT_TRUE(ShowsOnly(kLegends[legend - 1], on ? 1 : 0))
                << "MD " << md << " legend " << legend;
        }
    }
    for (const int32_t md : {0, 13}) {
        Notify(kNotifyMD, {{F::MD0, 2}});
        Notify(kNotifyMD, {{F::MD0, md}});
        EXPECT_TRUE(ShowsOnly(G::ModeUsb, 1)) << "MD " << md << " leaves the legends as they were";
    }
}

TEST_F(DisplayNotifications, FrequencyShowsTheVfoThatTheTransceiverUses) {
    SetFields({{F::FA, 7050000}, {F::FB, 14250000}});
    // TX, FT, VS, then whether the B frequency is shown.
    constexpr std::array<std::array<int, 4>, 8> kCases{{{0, 0, 0, 0},
                                                        {0, 0, 1, 1},
                                                        {0, 1, 0, 0},
                                                        {0, 1, 1, 1},
                                                        {1, 0, 0, 0},
                                                        {1, 0, 1, 0},
                                                        {1, 1, 0, 1},
                                                        {1, 1, 1, 1}}};
    for (const auto& [tx, ft, vs, showsB] : kCases) {
        Notify(kNotifyFA, {{F::TX, tx}, {F::FT, ft}, {F::VS, vs}});
        EXPECT_TRUE(ShowsFrequency(showsB ? 14250000 : 7050000)) << tx << ft << vs;
    }
    window->SendMessage(kMsgSelectDigitA, 1, 0);
    EXPECT_TRUE(ShowsFrequency(14250000, 1));
    // Receiving on A, the offset display shows the clarifier offset of the side VS shows.
    ASSERT_TRUE(SetReal(RealField::IFp13, -120.0));
    ASSERT_TRUE(SetReal(RealField::OIp13, 250.0));
    Notify(kNotifyIF, {{F::TX, 0}, {F::FT, 0}, {F::VS, 0}});
    EXPECT_TRUE(ShowsOffset(-120.0));
    Notify(kNotifyVS, {{F::VS, 1}});
    EXPECT_TRUE(ShowsOffset(250.0));
}

TEST_F(DisplayNotifications, FrequencyTimersRedrawFromTheStoreAndRestUntilTheNextMessage) {
    window->InitPanel();
    SetField(F::FA, 3573000);
    window->OnTimer(kTimerFrequencyA);
    EXPECT_TRUE(ShowsFrequency(3573000));
    SetField(F::FA, 3574000);
    window->OnTimer(kTimerFrequencyB);
    EXPECT_TRUE(ShowsFrequency(3574000));
    window->Painter().DrawPanelPicture();
    window->OnTimer(kTimerFrequencyA);
    EXPECT_TRUE(ShowsFrequency(3574000)) << "a display drawn over is drawn again";
    EXPECT_TRUE(window->HasTimer(kTimerFrequencyA));
    window->OnTimer(kTimerFrequencyB);
    EXPECT_FALSE(window->HasTimer(kTimerFrequencyA)) << "nothing new: both rest";
    EXPECT_FALSE(window->HasTimer(kTimerFrequencyB));
    Notify(kNotifyLK);
    EXPECT_FALSE(window->HasTimer(kTimerFrequencyA)) << "a message that changes nothing";
    Notify(kNotifyLK, {{F::FA, 3575000}});
    EXPECT_EQ(window->TimerPeriod(kTimerFrequencyA), 30);
    EXPECT_EQ(window->TimerPeriod(kTimerFrequencyB), 30);
    window->OnTimer(kTimerFrequencyA);
    EXPECT_TRUE(ShowsFrequency(3575000));
}

TEST_F(DisplayNotifications, TransmitEndSwitchesBackToTheReceiveVfoAndResetsHolds) {
    Notify(kNotifyTX,
           {{F::AI, 1}, {F::PS, 1}, {F::FA, 7050000}, {F::FB, 7150000}, {F::FT, 1}, {F::TX, 1}});
    EXPECT_TRUE(ShowsFrequency(7150000));
    EXPECT_TRUE(ShowsOnly(G::UpperTxPlate, 1));
    EXPECT_TRUE(ShowsOnly(G::UpperRxPlate, 0));
    Notify(kNotifyRM, {{F::RM0, 200}});
    Notify(kNotifyRM, {{F::RM0, 20}});
    EXPECT_EQ(window->Painter().HeldValue(MeterBar::Upper), 200) << "a falling reading is held";
    EXPECT_TRUE(window->HasTimer(kTimerUpperPeak));

    Notify(kNotifyTX, {{F::TX, 0}});
    EXPECT_TRUE(ShowsFrequency(7050000));
    EXPECT_TRUE(ShowsOnly(G::LampTx, 0));
    EXPECT_TRUE(ShowsOnly(G::UpperRxPlate, 1));
    EXPECT_EQ(window->Painter().HeldValue(MeterBar::Upper), -1);
    EXPECT_FALSE(window->HasTimer(kTimerUpperPeak));
}

TEST_F(DisplayNotifications, AutoInformationOrPowerOffDarkensBothBars) {
    for (const auto& [message, field, cap] :
         {std::tuple{kNotifyAI, F::AI, G::KeyCom}, std::tuple{kNotifyPS, F::PS, G::KeyOnOff}}) {
        Notify(kNotifyRM, {{F::AI, 1}, {F::PS, 1}, {F::MS, 5}, {F::RM0, 255}, {F::RM1, 255}});
        ASSERT_FALSE(Shows(G::UpperBar, 0)) << "the first segment is lit at 255";
        ASSERT_FALSE(Shows(G::LowerBar, 0));
        Notify(message);
        EXPECT_TRUE(ShowsOnly(cap, 2));

        Notify(message, {{field, 0}});
        EXPECT_TRUE(ShowsOnly(cap, 0));
        for (int segment = 0; segment < kBarSegments; ++segment) {
            EXPECT_TRUE(Shows(G::UpperBar, 3 * segment)) << FieldName(field) << " " << segment;
            EXPECT_TRUE(Shows(G::LowerBar, 2 * segment)) << FieldName(field) << " " << segment;
        }
    }
}

TEST_F(DisplayNotifications, MeterSelectionLightsItsPlateAndDropsTheLowerHold) {
    for (const auto& [selection, plate] :
         {std::pair{0, G::LowerPlate0}, std::pair{1, G::LowerPlate1}, std::pair{3, G::LowerPlate3},
          std::pair{4, G::LowerPlate4}, std::pair{5, G::LowerPlate5}}) {
        // A full-scale ALC reading falling back holds the lower bar's peak.
        Notify(kNotifyRM, {{F::AI, 1}, {F::PS, 1}, {F::TX, 1}, {F::MS, 1}, {F::RM1, 255}});
        Notify(kNotifyRM, {{F::RM1, 0}});
        ASSERT_EQ(window->Painter().HeldValue(MeterBar::Lower), 255);
        Notify(kNotifyMS, {{F::MS, selection}});
        EXPECT_TRUE(ShowsOnly(plate, 1)) << selection;
        EXPECT_EQ(window->Painter().HeldValue(MeterBar::Lower), -1);
        EXPECT_FALSE(window->HasTimer(kTimerLowerPeak));
    }
}

TEST_F(DisplayNotifications, ApfRedrawsOnlyWhileContourModeIsTwo) {
    const QRect rows = GroupsArea({G::ContourRows});
    Notify(kNotifyCO, {{F::CO0, 1}, {F::CO1, 0}});
    const QImage before = Picture().copy(rows);
    Notify(kNotifyKP, {{F::KP, 8}});
    EXPECT_EQ(Picture().copy(rows), before) << "KP with contour mode 1 redraws nothing";
    Notify(kNotifyKP, {{F::CO0, 2}});
    EXPECT_NE(Picture().copy(rows), before);
    EXPECT_TRUE(Shows(G::LegendContour, 1)) << "the legend is not part of the KP redraw";
    Notify(kNotifyCO);
    EXPECT_TRUE(Shows(G::LegendContour, 2));
}

TEST_F(DisplayNotifications, KnobNotificationsRedrawTheirOwnKnob) {
    using Row = std::tuple<uint32_t, Field, int32_t, Knob>;
    // clang-format off
    const Row kRows[] = {
        {kNotifyKS, F::KS,  40,  Knob::Speed},
        {kNotifyMG, F::MG,  200, Knob::MicGain},
        {kNotifySQ, F::SQ0, 200, Knob::Sql},
        {kNotifyAG, F::AG0, 200, Knob::AfGain},
        {kNotifyRG, F::RG0, 200, Knob::RfGain},
        {kNotifyML, F::ML1, 200, Knob::Moni},
    };
    // clang-format on
    PanelPainter& reference = ReferencePainter();
    for (const auto& [message, field, value, knob] : kRows) {
        SCOPED_TRACE(FieldName(field));
        ResetRadioState();
        window->Painter().DrawPanelPicture(PanelPicture::LampsDark);
        reference.DrawPanelPicture(PanelPicture::LampsDark);
        if (knob == Knob::AfGain || knob == Knob::RfGain) {
            reference.DrawAfRfKnob(knob == Knob::AfGain ? value : 0,
                                   knob == Knob::RfGain ? value : 0);
        } else {
            reference.DrawKnobNeedle(knob, value);
        }
        Notify(message, {{field, value}});
        EXPECT_TRUE(Picture() == reference.Picture());
    }
}

}  // namespace
}  // namespace kestrel::testing
