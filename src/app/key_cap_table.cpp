#include "app/key_cap_table.h"

#include <algorithm>
#include <array>

#include "app/panel_painter.h"
#include "protocol/radio_state.h"
#include "skin/skin_layout.h"

namespace kestrel {

namespace {

using R = CapOnRule;

// clang-format off
constexpr auto kCaps = std::to_array<KeyCap>({
    // message images on
    {0x8578, 4, R::AiIs1},   // COM
    {0x8579, 4, R::PsIs1},   // ON/OFF
    {0x857B, 4, R::MxIs1},   // MOX
    {0x857C, 4, R::VxIs1},   // VOX
    {0x857D, 2, R::Never},   // TUNE
    {0x857E, 2, R::Never},   // ANT 1-2
    {0x8580, 2, R::Never},   // MONI
    {0x8581, 2, R::Never},   // PROC
    {0x8589, 2, R::Never},   // SPOT
    {0x8588, 2, R::Never},   // BK-IN
    {0x8582, 2, R::Never},   // KEYER
    {0x8586, 2, R::Never},   // AGC
    {0x8583, 2, R::Never},   // ATT
    {0x8584, 2, R::Never},   // IPO
    {0x8585, 2, R::Never},   // R.FLT
    {0x8587, 2, R::Never},   // NB
    {0x858A, 2, R::Never},   // F1
    {0x858B, 2, R::Never},   // F2
    {0x858C, 2, R::Never},   // F3
    {0x858D, 2, R::Never},   // F4
    {0x858E, 2, R::Never},   // F5
    {0x858F, 2, R::Never},   // F6
    {0x8590, 2, R::Never},   // F7
    {0x8591, 2, R::Never},   // DISPLAY
    {0x85E0, 2, R::Never},   // SSB
    {0x8597, 2, R::Never},   // AM/FM
    {0x8596, 2, R::Never},   // CW
    {0x8598, 2, R::Never},   // RTTY
    {0x8599, 2, R::Never},   // PKT
    {0x859A, 2, R::Never},   // STO
    {0x859B, 2, R::Never},   // RCL
    {0x859C, 2, R::Never},   // NAR
    {0x859D, 2, R::Never},   // SPLIT
    {0x859E, 2, R::Never},   // TXW
    {0x859F, 2, R::Never},   // CS
    {0x85A9, 2, R::Never},   // MENU
    {0x85A0, 4, R::FrIs0},   // RX (A side)
    {0x85A1, 4, R::FtIs0},   // TX (A side)
    {0x85A2, 2, R::Never},   // FAST
    {0x85A3, 2, R::Never},   // LOCK
    {0x85A4, 2, R::Never},   // A>B
    {0x85A5, 2, R::Never},   // A<>B
    {0x85A6, 2, R::Never},   // V/M
    {0x85A7, 2, R::Never},   // M>A
    {0x85A8, 2, R::Never},   // A>M
    {0x85AB, 2, R::Never},   // 1.8
    {0x85AC, 2, R::Never},   // 3.5
    {0x85AD, 2, R::Never},   // 7
    {0x85AE, 2, R::Never},   // 10
    {0x85AF, 2, R::Never},   // 14
    {0x85B0, 2, R::Never},   // 18
    {0x85B1, 2, R::Never},   // 21
    {0x85B2, 2, R::Never},   // 24.5
    {0x85B3, 2, R::Never},   // 28
    {0x85B4, 2, R::Never},   // GEN
    {0x85AA, 2, R::Never},   // 50
    {0x85B5, 2, R::Never},   // ENT
    {0x85B6, 2, R::Never},   // RX CLAR
    {0x85B7, 2, R::Never},   // TX CLAR
    {0x85B8, 2, R::Never},   // CLEAR
    {0x85DC, 4, R::KcIs1},   // SHIFT
    {0x85DD, 4, R::KcIs2},   // WIDTH
    {0x85BC, 4, R::KcIs3},   // CONT
    {0x85BA, 4, R::KcIs4},   // NOTCH
    {0x85DE, 4, R::KcIs5},   // µ-TUNE
    {0x85DF, 2, R::Never},   // CLEAR (DSP)
    {0x85E2, 2, R::Never},   // SEL
    {0x85E3, 2, R::Never},   // METER
    {0x85BE, 4, R::FrIs4},   // RX (B side)
    {0x85BF, 4, R::FtIs1},   // TX (B side)
    {0x85C0, 4, R::SfIs0},   // BAND
    {0x85C1, 4, R::SfIs1},   // MHz
    {0x85C2, 4, R::SfIs2},   // GRP
    {0x85C3, 4, R::SfIs3},   // MCH
});

constexpr auto kEmpty = std::to_array<uint32_t>({
    0x857A, 0x857F, 0x8592, 0x8593, 0x8594, 0x8595, 0x85B9, 0x85BB, 0x85BD,
    0x85C4, 0x85C5, 0x85C6, 0x85C7, 0x85CA, 0x85D0, 0x85D4, 0x85D5,
});
// clang-format on

constexpr size_t kCapRows = kCaps.size();
constexpr size_t kEmptyRows = kEmpty.size();

constexpr bool CapsHold() {
    for (size_t i = 0; i < kCapRows; ++i) {
        if (kCaps[i].images != 2 && kCaps[i].images != 4) {
            return false;
        }
        if ((kCaps[i].images == 4) == (kCaps[i].on == R::Never)) {
            return false;
        }
        for (size_t j = i + 1; j < kCapRows; ++j) {
            if (kCaps[j].message == kCaps[i].message) {
                return false;
            }
        }
        for (size_t j = 0; j < kEmptyRows; ++j) {
            if (kEmpty[j] == kCaps[i].message) {
                return false;
            }
        }
    }
    return true;
}
static_assert(CapsHold());

enum class Look : uint8_t { Off, On, Nothing };

Look Evaluate(CapOnRule rule, const CapState& s) {
    auto on = [](bool b) { return b ? Look::On : Look::Off; };
    switch (rule) {
        case R::Never:
            return Look::Off;
        case R::AiIs1:
            return on(s.ai == 1);
        case R::PsIs1:
            return on(s.ps == 1);
        case R::MxIs1:
            return on(s.mx == 1);
        case R::VxIs1:
            return on(s.vx == 1);
        case R::FrIs0:
            return s.fr == 2 || s.fr == 3 ? Look::Nothing : on(s.fr == 0);
        case R::FtIs0:
            return on(s.ft == 0);
        case R::FrIs4:
            return s.fr == 2 || s.fr == 3 ? Look::Nothing : on(s.fr == 4);
        case R::FtIs1:
            return on(s.ft == 1);
        case R::KcIs1:
            return on(s.kc == 1);
        case R::KcIs2:
            return on(s.kc == 2);
        case R::KcIs3:
            return on(s.kc == 3);
        case R::KcIs4:
            return on(s.kc == 4);
        case R::KcIs5:
            return on(s.kc == 5);
        case R::SfIs0:
            return on(s.sf == 0);
        case R::SfIs1:
            return on(s.sf == 1);
        case R::SfIs2:
            return on(s.sf == 2);
        case R::SfIs3:
            return on(s.sf == 3);
    }
    return Look::Off;
}

}  // namespace

const std::span<const KeyCap> KeyCapTable{kCaps};
const std::span<const uint32_t> EmptyKeyCapMessages{kEmpty};

const KeyCap* KeyCapOfMessage(uint32_t message) {
    for (const auto& cap : KeyCapTable) {
        if (cap.message == message) {
            return &cap;
        }
    }
    return nullptr;
}

bool IsKeyCapMessage(uint32_t message) {
    return KeyCapOfMessage(message) != nullptr ||
           std::ranges::find(EmptyKeyCapMessages, message) != EmptyKeyCapMessages.end();
}

std::optional<int> KeyCapImage(uint32_t message, uint64_t wParam, const CapState& state) {
    const KeyCap* cap = KeyCapOfMessage(message);
    if (cap == nullptr) {
        return std::nullopt;
    }
    const int held = wParam == 1 ? 1 : 0;
    switch (Evaluate(cap->on, state)) {
        case Look::Nothing:
            return std::nullopt;
        case Look::On:
            return held + 2;
        case Look::Off:
            break;
    }
    return held;
}

CapState CurrentCapState() {
    CapState s;
    s.ai = GetField(Field::AI);
    s.ps = GetField(Field::PS);
    s.mx = GetField(Field::MX);
    s.vx = GetField(Field::VX);
    s.fr = GetField(Field::FR);
    s.ft = GetField(Field::FT);
    s.kc = GetField(Field::KC);
    s.sf = GetField(Field::SF);
    return s;
}

bool DrawKeyCapMessage(PanelPainter& painter, uint32_t message, uint64_t wParam) {
    const KeyCapRow* row = KeyCapForMessage(message);
    const std::optional<int> image = KeyCapImage(message, wParam, CurrentCapState());
    if (row == nullptr || !image) {
        return false;
    }
    painter.DrawGroup(row->group, *image);
    return true;
}

}  // namespace kestrel
