#include "app/display_updates.h"

#include <algorithm>
#include <array>

#include "app/key_cap_table.h"
#include "app/panel_painter.h"
#include "protocol/notifications.h"

namespace kestrel {

namespace {

using R = Redraw;
using G = SkinGroup;
using F = Field;

// clang-format off
constexpr auto kNotifications = std::to_array<NotificationRow>({
    {kNotifyRT, "RT", R::ReceiveClarifier},
    {kNotifyXT, "XT", R::TransmitClarifier},
    {kNotifySF, "SF", R::FunctionKeys},
    {kNotifyBP, "BP", R::Notch},
    {.message = kNotifyBC, .answer = "BC", .redraw = R::Lamp, .group = G::LampDnf, .field = F::BC},
    {kNotifyCO, "CO", R::Contour},
    {.message = kNotifyNR, .answer = "NR", .redraw = R::Lamp, .group = G::LampDnr, .field = F::NR0},
    {kNotifyFT, "FT", R::TransmitVfo},
    {kNotifyFR, "FR", R::ReceiveVfo},
    {kNotifyEX, "EX", R::None},
    {.message = kNotifyLK, .answer = "LK", .redraw = R::Lamp, .group = G::LampLock, .field = F::LK},
    {.message = kNotifyFS, .answer = "FS", .redraw = R::Lamp, .group = G::LampFast, .field = F::FS},
    {kNotifyVS, "VS", R::VfoSide},
    {.message = kNotifyNA, .answer = "NA", .redraw = R::Lamp, .group = G::LampNar, .field = F::NA0},
    {.message = kNotifyNB, .answer = "NB", .redraw = R::Legend, .group = G::LegendNb, .field = F::NB0},
    {kNotifyRF, "RF", R::RoofingFilter},
    {kNotifyGT, "GT", R::Agc},
    {kNotifyRA, "RA", R::Attenuator},
    {kNotifyPA, "PA", R::Preamp},
    {.message = kNotifyKR, .answer = "KR", .redraw = R::Lamp, .group = G::LampKeyer, .field = F::KR},
    {kNotifyAN, "AN", R::Antenna},
    {.message = kNotifyAC, .answer = "AC", .redraw = R::Legend, .group = G::LegendTuner, .field = F::AC},
    {.message = kNotifyMX, .answer = "MX", .redraw = R::KeyCap, .group = G::KeyMox, .field = F::MX},
    {.message = kNotifyVX, .answer = "VX", .redraw = R::KeyCap, .group = G::KeyVox, .field = F::VX},
    {.message = kNotifyBI, .answer = "BI", .redraw = R::Lamp, .group = G::LampBkIn, .field = F::BI},
    {.message = kNotifyPR, .answer = "PR", .redraw = R::Lamp, .group = G::LampProc, .field = F::PR},
    {kNotifyML, "ML", R::Monitor},
    {kNotifyCS, "CS", R::None},
    {kNotifyRM, "RM", R::Meters},
    {kNotifyKP, "KP", R::Apf},
    {kNotifyKS, "KS", R::KeyerSpeedKnob},
    {kNotifyNL, "NL", R::None},
    {kNotifyMG, "MG", R::MicGainKnob},
    {kNotifyPL, "PL", R::None},
    {kNotifyVG, "VG", R::None},
    {kNotifyVD, "VD", R::None},
    {kNotifySQ, "SQ", R::SquelchKnob},
    {kNotifyAG, "AG", R::AfRfKnob},
    {kNotifyRG, "RG", R::AfRfKnob},
    {kNotifyIF, "IF", R::VfoSide},
    {kNotifyVF, "VF", R::VoiceFilter},
    {kNotifyIS, "IS", R::Shift},
    {kNotifySH, "SH", R::None},
    {kNotifyRL, "RL", R::None},
    {.message = kNotifyBY, .answer = "BY", .redraw = R::Lamp, .group = G::LampBusy, .field = F::BYp2},
    {kNotifyFA, "FA", R::Frequency},
    {kNotifyFB, "FB", R::Frequency},
    {kNotifyRO, "RO", R::None},
    {kNotifySM, "SM", R::None},
    {kNotifyTX, "TX", R::Transmit},
    {kNotifyAI, "AI", R::AutoInfo},
    {kNotifyCN, "CN", R::None},
    {kNotifyCT, "CT", R::None},
    {kNotifyKM, "KM", R::None},
    {kNotifyOI, "OI", R::Clarifier},
    {kNotifyOS, "OS", R::None},
    {kNotifyPC, "PC", R::None},
    {kNotifyID, "ID", R::None},
    {kNotifyMD, "MD", R::Mode},
    {kNotifyMS, "MS", R::MeterSelection},
    {kNotifyPS, "PS", R::Power},
    {kNotifyRI, "RI", R::RadioIndicators},
    {kNotifyBG, "BG", R::Width},
    {kNotifyPE, "PE", R::None},
    {kNotifyKC, "KC", R::DspKeys},
});

// The one-shot full refresh after start-up. Messages 0x8301 and 0x834A of the original sequence
// have no handler and are left out.
constexpr auto kFullRefreshFirst = std::to_array<uint32_t>({
    kNotifyAI, kNotifyFA, kNotifyFB, kNotifyVX, kNotifyNA, kNotifyAN, kNotifyRA, kNotifyRF,
    kNotifyFR, kNotifyGT, kNotifyNB, kNotifyPL, kNotifyPA, kNotifyML, kNotifyKR, kNotifyBI,
    kNotifyAC, kNotifyFT, kNotifyLK, kNotifyFS, kNotifyRL, kNotifyRI, kNotifyBC, kNotifyXT,
    kNotifyRT, kNotifyIF, kNotifyBY, kNotifySF, kNotifyKS, kNotifyKP, kNotifySQ, kNotifyMG,
    kNotifyVG, kNotifyAG, kNotifyIS, kNotifySH, kNotifyBP, kNotifyCO, kNotifyMS, kNotifyVF,
    kNotifyBG, kNotifyRM,
});
constexpr auto kFullRefreshLast = std::to_array<uint32_t>({kNotifyMD, kNotifyVS, kNotifySM});

// Mode legends lit per MD value, bit 0 LSB, 1 USB, 2 CW, 3 AM, 4 FM, 5 RTTY, 6 PKT; -1 draws
// nothing.
constexpr std::array<int, 14> kModeLegends{
    -1,               // 0
    1 << 0,           // 1: LSB
    1 << 1,           // 2: USB
    1 << 1 | 1 << 2,  // 3: USB and CW
    1 << 4,           // 4: FM
    1 << 3,           // 5: AM
    1 << 0 | 1 << 5,  // 6: LSB and RTTY
    1 << 0 | 1 << 2,  // 7: LSB and CW
    1 << 0 | 1 << 6,  // 8: LSB and PKT
    1 << 1 | 1 << 5,  // 9: USB and RTTY
    1 << 4 | 1 << 6,  // 10: FM and PKT
    1 << 4,           // 11: FM
    1 << 1 | 1 << 6,  // 12: USB and PKT
    -1,               // 13
};
constexpr std::array<SkinGroup, 7> kModeGroups{
    G::ModeLsb, G::ModeUsb, G::ModeCw, G::ModeAm, G::ModeFm, G::ModeRtty, G::ModePkt,
};

// The caps that share one value, in drawing order, with the value that turns each on.
struct SharedCap {
    SkinGroup group;
    int32_t onValue;
};
constexpr std::array<SharedCap, 4> kFunctionCaps{{
    {G::KeyFuncBand, 0},  // 864, 202
    {G::KeyFuncMhz, 1},   // 864, 286
    {G::KeyFuncGrp, 2},   // 986, 202
    {G::KeyFuncMch, 3},   // 986, 286
}};
constexpr std::array<SharedCap, 5> kDspCaps{{
    {G::KeyShift, 1}, {G::KeyWidth, 2}, {G::KeyCont, 3}, {G::KeyNotch, 4}, {G::KeyMuTune, 5},
}};

// The indicators of the RI answer, in drawing order: five lamps, then the receive-VFO caps.
struct RiIndicator {
    Field field;
    SkinGroup group;
    bool cap;
};
constexpr std::array<RiIndicator, 7> kRiIndicators{{
    {F::RI0, G::LampHiSwr, false},
    {F::RI1, G::LampMicEq, false},
    {F::RI2, G::LampRec, false},
    {F::RI3, G::LampPlay, false},
    {F::RI4, G::LampTx, false},
    {F::RI5, G::KeyRxA, true},
    {F::RI7, G::KeyRxB, true},
}};

// The lower meter's scale plate per meter selection; selection 2 has none.
constexpr std::array<SkinGroup, 6> kLowerPlates{
    G::LowerPlate0, G::LowerPlate1, G::Count, G::LowerPlate3, G::LowerPlate4, G::LowerPlate5,
};
// clang-format on

constexpr bool MessagesAscend() {
    for (size_t i = 1; i < kNotifications.size(); ++i) {
        if (kNotifications[i - 1].message >= kNotifications[i].message) {
            return false;
        }
    }
    return true;
}
static_assert(MessagesAscend(), "one row per notification, in message order");
static_assert(kNotifications.front().message == 0x8302 && kNotifications.back().message == 0x8353);

bool On(Field field) {
    return GetField(field) == 1;
}

// The frequency of the side that the displays show.
int32_t ShownFrequencyField() {
    return GetField(ShowsSideB() ? F::FB : F::FA);
}

}  // namespace

std::span<const NotificationRow> NotificationTable() {
    return kNotifications;
}

const NotificationRow* FindNotification(uint32_t message) {
    const auto found = std::lower_bound(
        kNotifications.begin(), kNotifications.end(), message,
        [](const NotificationRow& row, uint32_t wanted) { return row.message < wanted; });
    return found != kNotifications.end() && found->message == message ? &*found : nullptr;
}

std::span<const uint32_t> FullRefreshFirstNotifications() {
    return kFullRefreshFirst;
}
std::span<const uint32_t> FullRefreshLastNotifications() {
    return kFullRefreshLast;
}

int ModeLegendMask(int32_t mode) {
    return mode >= 0 && mode < static_cast<int32_t>(kModeLegends.size()) ? kModeLegends[mode] : -1;
}

bool ShowsSideB() {
    return GetField(F::TX) != 0 ? GetField(F::FT) == 1 : GetField(F::VS) == 1;
}

DisplayUpdates::DisplayUpdates(PanelPainter& painter, std::function<int()> digitCursor)
    : painter_(painter), digitCursor_(std::move(digitCursor)) {}

void DisplayUpdates::HandleNotification(uint32_t message) {
    if (const NotificationRow* row = FindNotification(message)) {
        Apply(*row, Purpose::Notification);
    }
}

void DisplayUpdates::RedrawFromStore() {
    ShowFrequency();
    ShowFrequency();
    for (const KeyCap& cap : KeyCapTable) {
        DrawKeyCapMessage(painter_, cap.message, 0);
    }
    for (const NotificationRow& row : kNotifications) {
        Apply(row, Purpose::Repaint);
    }
}

bool DisplayUpdates::ShowFrequency() {
    return painter_.DrawFrequency(ShownFrequencyField(), digitCursor_());
}

bool DisplayUpdates::FrequencyUpToDate() const {
    return painter_.ShowsFrequency(ShownFrequencyField(), digitCursor_());
}

void DisplayUpdates::ShowOffset() {
    painter_.DrawOffset(GetReal(ShowsSideB() ? RealField::OIp13 : RealField::IFp13));
}

void DisplayUpdates::ShowMemoryLamps() {
    const int32_t memory = On(F::VS) ? 0 : GetField(F::IFp21);
    DrawLamp(G::LampMemory1, memory == 1);
    DrawLamp(G::LampMemory2, memory == 2 || memory == 4);
}

void DisplayUpdates::ShowMeters() {
    DrawUpperPlates();
    painter_.ShowMeterReading(MeterBar::Upper, GetField(F::RM0));
    if (DrawLowerPlate()) {
        painter_.ShowMeterReading(MeterBar::Lower, GetField(F::RM1));
    }
}

void DisplayUpdates::ShowModeLegends() {
    const int mask = ModeLegendMask(GetField(F::MD0));
    if (mask < 0) {
        return;
    }
    for (size_t i = 0; i < kModeGroups.size(); ++i) {
        DrawLamp(kModeGroups[i], (mask >> i & 1) != 0);
    }
}

void DisplayUpdates::DrawLamp(SkinGroup group, bool lit) {
    painter_.DrawGroup(group, lit ? 1 : 0);
}

void DisplayUpdates::DrawCap(SkinGroup group, bool on) {
    painter_.DrawGroup(group, on ? 2 : 0);
}

void DisplayUpdates::DrawColumn(SkinGroup group, int positions, int litMask) {
    for (int position = 0; position < positions; ++position) {
        painter_.DrawGroup(group, ColumnElement(group, position, (litMask >> position & 1) != 0));
    }
}

void DisplayUpdates::DrawUpperPlates() {
    const bool transmitting = GetField(F::TX) != 0;
    DrawLamp(G::UpperRxPlate, !transmitting);
    DrawLamp(G::UpperTxPlate, transmitting);
}

// Returns whether the selection has a lower bar.
bool DisplayUpdates::DrawLowerPlate() {
    const int32_t selection = GetField(F::MS);
    if (selection < 0 || selection >= static_cast<int32_t>(kLowerPlates.size()) ||
        kLowerPlates[selection] == G::Count) {
        DrawLamp(G::LowerPlate0, false);
        return false;
    }
    DrawLamp(kLowerPlates[selection], true);
    return true;
}

void DisplayUpdates::DrawLegendColumn(const NotificationRow& row) {
    // Each column's legends are numbered top to bottom; the masks say which are lit.
    switch (row.redraw) {
        case R::RoofingFilter: {
            // AUTO, 3 kHz, 6 kHz, 15 kHz: AUTO for 4 to 6, and one width for each pair.
            constexpr std::array<int, 7> kMasks{-1, 0b1000, 0b0100, 0b0010, 0b1001, 0b0101, 0b0011};
            const int32_t value = GetField(F::RF);
            if (value >= 0 && value < 7 && kMasks[value] >= 0) {
                DrawColumn(G::ColumnRflt, 4, kMasks[value]);
            }
            break;
        }
        case R::Agc: {
            // AUTO, FAST, MID, SLOW: AUTO for 4 to 6, and one speed for each pair; 0 none lit.
            constexpr std::array<int, 7> kMasks{0, 0b0010, 0b0100, 0b1000, 0b0011, 0b0101, 0b1001};
            const int32_t value = GetField(F::GT0);
            if (value >= 0 && value < 7) {
                DrawColumn(G::ColumnAgc, 4, kMasks[value]);
            }
            break;
        }
        case R::Attenuator: {
            const int32_t value = GetField(F::RA);
            if (value >= 0 && value < 4) {
                DrawColumn(G::ColumnAtt, 4, 1 << value);
            }
            break;
        }
        case R::Preamp: {
            // AMP1, AMP2, IPO: no preamplifier lights IPO.
            constexpr std::array<int, 3> kMasks{0b100, 0b001, 0b010};
            const int32_t value = GetField(F::PA);
            if (value >= 0 && value < 3) {
                DrawColumn(G::ColumnIpo, 3, kMasks[value]);
            }
            break;
        }
        case R::Antenna: {
            const int32_t value = GetField(F::ANp3);
            if (value == 0 || value == 1) {
                DrawColumn(G::ColumnAnt, 2, 1 << value);
            }
            break;
        }
        default:
            break;
    }
}

void DisplayUpdates::Apply(const NotificationRow& row, Purpose purpose) {
    const bool repaint = purpose == Purpose::Repaint;
    switch (row.redraw) {
        case R::None:
            break;
        case R::Lamp:
            DrawLamp(row.group, On(row.field));
            break;
        case R::Legend: {
            const int32_t image = GetField(row.field);
            if (image >= 0 && image <= 2) {
                painter_.DrawGroup(row.group, image);
            }
            break;
        }
        case R::KeyCap:
            DrawCap(row.group, On(row.field));
            break;
        case R::ReceiveClarifier:
        case R::TransmitClarifier:
            DrawLamp(row.redraw == R::ReceiveClarifier ? G::LampRxClar : G::LampTxClar,
                     On(row.redraw == R::ReceiveClarifier ? F::RT : F::XT));
            DrawLamp(G::LegendClar, On(F::RT) || On(F::XT));
            ShowFrequency();
            break;
        case R::FunctionKeys: {
            const int32_t value = GetField(F::SF);
            if (value >= 0 && value <= 8) {
                for (const SharedCap& cap : kFunctionCaps) {
                    DrawCap(cap.group, value == cap.onValue);
                }
            }
            break;
        }
        case R::Notch:
            painter_.DrawNotch(GetField(F::BP1));
            break;
        case R::Contour: {
            const int32_t mode = GetField(F::CO0);
            if (mode >= 0 && mode <= 2) {
                painter_.DrawGroup(G::LegendContour, mode);
            }
            if (mode == 2) {
                painter_.DrawApf(GetField(F::KP));
            } else {
                painter_.DrawContour(GetField(F::CO1));
            }
            break;
        }
        case R::TransmitVfo:
            DrawCap(G::KeyTxA, GetField(F::FT) == 0);
            DrawCap(G::KeyTxB, GetField(F::FT) == 1);
            break;
        case R::ReceiveVfo: {
            const int32_t value = GetField(F::FR);
            if (value == 0 || value == 1 || value == 4 || value == 5) {
                DrawCap(G::KeyRxA, value == 0);
                DrawCap(G::KeyRxB, value == 4);
            }
            break;
        }
        case R::VfoSide:
            ShowFrequency();
            ShowOffset();
            ShowMemoryLamps();
            break;
        case R::RoofingFilter:
        case R::Agc:
        case R::Attenuator:
        case R::Preamp:
        case R::Antenna:
            DrawLegendColumn(row);
            break;
        case R::Monitor:
            DrawLamp(G::LampMoni, On(F::ML0));
            painter_.DrawKnobNeedle(Knob::Moni, GetField(F::ML1));
            break;
        case R::Meters:
            if (repaint) {
                DrawUpperPlates();
                DrawLowerPlate();
            } else {
                ShowMeters();
            }
            break;
        case R::Apf:
            if (GetField(F::CO0) == 2) {
                painter_.DrawApf(GetField(F::KP));
            }
            break;
        case R::KeyerSpeedKnob:
            painter_.DrawKnobNeedle(Knob::Speed, GetField(F::KS));
            break;
        case R::MicGainKnob:
            painter_.DrawKnobNeedle(Knob::MicGain, GetField(F::MG));
            break;
        case R::SquelchKnob:
            painter_.DrawKnobNeedle(Knob::Sql, GetField(F::SQ0));
            break;
        case R::AfRfKnob:
            painter_.DrawAfRfKnob(GetField(F::AG0), GetField(F::RG0));
            break;
        case R::VoiceFilter:
            DrawLamp(G::LampMuTune, On(F::VF0p3));
            DrawLamp(G::LampThru, !(On(F::VF0p3) && GetField(F::VF1p3) != 0));
            break;
        case R::Shift:
            painter_.DrawShift(GetField(F::IS));
            break;
        case R::Frequency:
            ShowFrequency();
            break;
        case R::Transmit:
            DrawLamp(G::LampTx, GetField(F::TX) != 0);
            if (!repaint) {
                painter_.ResetHold(MeterBar::Upper);
                painter_.ResetHold(MeterBar::Lower);
            }
            DrawUpperPlates();
            if (!repaint) {
                painter_.RedrawBar(MeterBar::Upper);
            }
            if (DrawLowerPlate() && !repaint) {
                painter_.RedrawBar(MeterBar::Lower);
            }
            ShowFrequency();
            ShowOffset();
            break;
        case R::AutoInfo:
        case R::Power: {
            const bool on = On(row.redraw == R::AutoInfo ? F::AI : F::PS);
            DrawCap(row.redraw == R::AutoInfo ? G::KeyCom : G::KeyOnOff, on);
            if (!on && !repaint) {
                // Both bars go dark: DrawUpperBar and DrawLowerBar light nothing unless AI and
                // PS are both 1.
                painter_.ResetHold(MeterBar::Upper);
                painter_.ResetHold(MeterBar::Lower);
                painter_.RedrawBar(MeterBar::Upper);
                painter_.RedrawBar(MeterBar::Lower);
            }
            break;
        }
        case R::Clarifier:
            ShowFrequency();
            ShowOffset();
            break;
        case R::Mode:
            ShowModeLegends();
            painter_.DrawNotch(GetField(F::BP1));
            painter_.DrawShift(GetField(F::IS));
            break;
        case R::MeterSelection:
            if (!repaint) {
                painter_.ResetHold(MeterBar::Lower);
            }
            if (DrawLowerPlate() && !repaint) {
                painter_.RedrawBar(MeterBar::Lower);
            }
            break;
        case R::RadioIndicators:
            for (const RiIndicator& indicator : kRiIndicators) {
                const bool lit = GetField(indicator.field) != 0;
                if (indicator.cap) {
                    DrawCap(indicator.group, lit);
                } else {
                    DrawLamp(indicator.group, lit);
                }
            }
            break;
        case R::Width:
            painter_.DrawWidth(GetField(F::BG0));
            painter_.DrawTuningBar();
            break;
        case R::DspKeys: {
            const int32_t value = GetField(F::KC);
            if (value >= 0 && value <= 5) {
                for (const SharedCap& cap : kDspCaps) {
                    DrawCap(cap.group, value == cap.onValue);
                }
            }
            break;
        }
    }
}

}  // namespace kestrel
