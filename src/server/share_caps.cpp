#include "server/share_caps.h"

#include <algorithm>
#include <cmath>

#include "protocol/requests.h"

namespace kestrel {

namespace {

// A reading of 0-255 as Hamlib's 0..1.
double Fraction(int32_t raw, int32_t full) {
    return static_cast<double>(raw) / full;
}

// Hamlib's 0..1 as a setting of 0-full; nothing for a value outside 0..1 (or NaN).
std::optional<int32_t> Scaled(double value, int32_t full) {
    if (!(value >= 0.0 && value <= 1.0)) {
        return std::nullopt;
    }
    return static_cast<int32_t>(std::lround(value * full));
}

bool RequestScaled(RadioAccess& radio, int request, double value, int32_t full,
                   int32_t offset = 0) {
    const auto setting = Scaled(value, full);
    return setting && radio.Request(request, 0, *setting + offset);
}

// Finds value in a table of settings indexed by the radio's value; -1 when absent.
template <size_t N>
int IndexOf(const std::array<int, N>& table, double value) {
    for (size_t i = 0; i < N; ++i) {
        if (value == table[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The switch of a function the panel can only toggle: a toggle is made only when the radio's
// last report differs from the wanted state.
bool Toggle(RadioAccess& radio, Field field, int request, bool on) {
    return (radio.Read(field) != 0) == on || radio.Request(request, 0, 0);
}

struct CalibrationPoint {
    int raw;
    double value;
};

double Interpolate(const CalibrationPoint* points, size_t count, int raw) {
    raw = std::clamp(raw, points[0].raw, points[count - 1].raw);
    for (size_t i = 1; i < count; ++i) {
        if (raw <= points[i].raw) {
            const CalibrationPoint& a = points[i - 1];
            const CalibrationPoint& b = points[i];
            return a.value + (b.value - a.value) * (raw - a.raw) / (b.raw - a.raw);
        }
    }
    return points[count - 1].value;
}

// The S-meter scale: S0 at 0, S9 at 130 (the last segment of the lower colour), S9+60 at 255.
constexpr CalibrationPoint kSMeterScale[] = {{0, -54.0}, {130, 0.0}, {255, 60.0}};
// The SWR scale of the lower meter, approximately as its plate is printed.
constexpr CalibrationPoint kSwrScale[] = {{0, 1.0}, {60, 1.5}, {100, 2.0}, {150, 3.0}, {255, 5.0}};

}  // namespace

// clang-format off
const std::array<ShareLevel, 12> kShareLevels = {{
    {"PREAMP", 0, false,
     [](RadioAccess& r) -> std::optional<double> {
         const int32_t pa = r.Read(Field::PA);
         return pa >= 0 && pa < 3 ? std::optional<double>(kPreampDb[static_cast<size_t>(pa)]) : std::nullopt; },
     [](RadioAccess& r, double v) {
         // The request steps: its value 0 selects AMP1, 1 AMP2 and 2 the IPO.
         const int pa = IndexOf(kPreampDb, v);
         return pa >= 0 && r.Request(kReqPreamp, 0, (pa + 2) % 3); }},
    {"ATT", 1, false,
     [](RadioAccess& r) -> std::optional<double> {
         const int32_t ra = r.Read(Field::RA);
         return ra >= 0 && ra < 4 ? std::optional<double>(kAttenuatorDb[static_cast<size_t>(ra)]) : std::nullopt; },
     [](RadioAccess& r, double v) {
         const int ra = IndexOf(kAttenuatorDb, v);
         return ra >= 0 && r.Request(kReqAttenuator, 0, ra); }},
    {"AF", 3, true,
     [](RadioAccess& r) -> std::optional<double> { return Fraction(r.Read(Field::AG0), 255); },
     [](RadioAccess& r, double v) { return RequestScaled(r, kReqAfGainMain, v, 255); }},
    {"SQL", 5, true,
     [](RadioAccess& r) -> std::optional<double> { return Fraction(r.Read(Field::SQ0), 255); },
     [](RadioAccess& r, double v) { return RequestScaled(r, kReqSquelchMain, v, 255); }},
    {"NR", 8, true,
     [](RadioAccess& r) -> std::optional<double> { return Fraction(r.Read(Field::RL) - 1, 14); },
     [](RadioAccess& r, double v) { return RequestScaled(r, kReqNoiseReductionLevel, v, 14, 1); }},
    {"RFPOWER", 12, true,
     [](RadioAccess& r) -> std::optional<double> { return Fraction(r.Read(Field::PC), kMaxPowerWatts); },
     [](RadioAccess& r, double v) {
         const auto watts = Scaled(v, kMaxPowerWatts);
         return watts && r.Request(kReqPowerLevel, 0, std::max(*watts, kMinPowerWatts)); }},
    {"MICGAIN", 13, true,
     [](RadioAccess& r) -> std::optional<double> { return Fraction(r.Read(Field::MG), 255); },
     [](RadioAccess& r, double v) { return RequestScaled(r, kReqMicGain, v, 255); }},
    {"KEYSPD", 14, false,
     [](RadioAccess& r) -> std::optional<double> { return r.Read(Field::KS); },
     [](RadioAccess& r, double v) {
         return v >= FieldMin(Field::KS) && v <= FieldMax(Field::KS) && v == std::floor(v) &&
                r.Request(kReqKeyerSpeed, 0, static_cast<int32_t>(v)); }},
    {"COMP", 16, true,
     [](RadioAccess& r) -> std::optional<double> { return Fraction(r.Read(Field::PL), 100); },
     [](RadioAccess& r, double v) { return RequestScaled(r, kReqProcessorLevel, v, 100); }},
    {"SWR", 28, true,
     [](RadioAccess& r) -> std::optional<double> {
         const auto raw = LowerMeter(r, kMeterSwr);
         return raw ? std::optional<double>(SwrMeterToRatio(*raw)) : std::nullopt; },
     nullptr},
    {"ALC", 29, true,
     [](RadioAccess& r) -> std::optional<double> {
         const auto raw = LowerMeter(r, kMeterAlc);
         return raw ? std::optional<double>(Fraction(*raw, 255)) : std::nullopt; },
     nullptr},
    {"STRENGTH", 30, false,
     [](RadioAccess& r) -> std::optional<double> { return SMeterToDb(r.Read(Field::SM0)); },
     nullptr},
}};

const std::array<ShareFunction, 8> kShareFunctions = {{
    {"NB", 1,
     [](RadioAccess& r) { return r.Read(Field::NB0) != 0; },
     [](RadioAccess& r, bool on) { return r.Request(kReqNoiseBlanker, 0, on ? 1 : 0); }},
    {"COMP", 2,
     [](RadioAccess& r) { return r.Read(Field::PR) == 1; },
     [](RadioAccess& r, bool on) { return r.Request(kReqProcessor, 0, on ? 1 : 0); }},
    {"VOX", 3,
     [](RadioAccess& r) { return r.Read(Field::VX) != 0; },
     [](RadioAccess& r, bool on) { return Toggle(r, Field::VX, kReqVoxToggle, on); }},
    {"ANF", 8,
     [](RadioAccess& r) { return r.Read(Field::BC) != 0; },
     [](RadioAccess& r, bool on) { return Toggle(r, Field::BC, kReqBeatCancel, on); }},
    {"NR", 9,
     [](RadioAccess& r) { return r.Read(Field::NR0) != 0; },
     [](RadioAccess& r, bool on) { return Toggle(r, Field::NR0, kReqNoiseReduction, on); }},
    {"MON", 12,
     [](RadioAccess& r) { return r.Read(Field::ML0) != 0; },
     [](RadioAccess& r, bool on) { return Toggle(r, Field::ML0, kReqMonitorToggle, on); }},
    {"LOCK", 16,
     [](RadioAccess& r) { return r.Read(Field::LK) != 0; },
     [](RadioAccess& r, bool on) { return Toggle(r, Field::LK, kReqLockToggle, on); }},
    {"TUNER", 30,
     [](RadioAccess& r) { return r.Read(Field::AC) != 0; },
     [](RadioAccess& r, bool on) { return r.Request(kReqTuner, 0, on ? 1 : 0); }},
}};
// clang-format on

const ShareMode* ShareModeByCode(int code) {
    const auto it = std::find_if(kShareModes.begin(), kShareModes.end(),
                                 [code](const ShareMode& m) { return m.code == code; });
    return it == kShareModes.end() ? nullptr : &*it;
}

const ShareMode* ShareModeByHamlib(std::string_view name) {
    // Hamlib 4.5's network client writes packet FM as "FM-D".
    if (name == "FM-D") {
        name = "PKTFM";
    }
    const auto it = std::find_if(kShareModes.begin(), kShareModes.end(),
                                 [name](const ShareMode& m) { return m.hamlib == name; });
    return it == kShareModes.end() ? nullptr : &*it;
}

const ShareMode* ShareModeByFlrig(std::string_view name) {
    const auto it = std::find_if(kShareModes.begin(), kShareModes.end(),
                                 [name](const ShareMode& m) { return m.flrig == name; });
    return it == kShareModes.end() ? nullptr : &*it;
}

uint64_t ShareModeMask() {
    uint64_t mask = 0;
    for (const ShareMode& mode : kShareModes) {
        mask |= mode.hamlibBit;
    }
    return mask;
}

Vfo ReceiveVfo(RadioAccess& radio) {
    return radio.Read(Field::VS) != 0 ? Vfo::B : Vfo::A;
}

Vfo TransmitVfo(RadioAccess& radio) {
    return radio.Read(Field::FT) != 0 ? Vfo::B : Vfo::A;
}

bool SplitOn(RadioAccess& radio) {
    return TransmitVfo(radio) != ReceiveVfo(radio);
}

bool SetSplit(RadioAccess& radio, Vfo dial, bool on) {
    const bool transmitOnB = (dial == Vfo::B) != on;
    return radio.Request(transmitOnB ? kReqTxSideB : kReqTxSideA, 0, 0);
}

int32_t FrequencyOf(RadioAccess& radio, Vfo vfo) {
    return radio.Read(vfo == Vfo::A ? Field::FA : Field::FB);
}

const ShareMode* ModeOf(RadioAccess& radio, Vfo vfo) {
    return ShareModeByCode(radio.Read(vfo == Vfo::A ? Field::MD0 : Field::MD1));
}

std::optional<int32_t> CurrentPassband(RadioAccess& radio, Vfo vfo) {
    const ShareMode* mode = ModeOf(radio, vfo);
    if (mode == nullptr) {
        return std::nullopt;
    }
    const bool narrow = radio.Read(vfo == Vfo::A ? Field::NA0 : Field::NA1) != 0;
    return narrow ? mode->narrowPassband : mode->normalPassband;
}

const ShareLevel* ShareLevelByName(std::string_view name) {
    const auto it = std::find_if(kShareLevels.begin(), kShareLevels.end(),
                                 [name](const ShareLevel& l) { return l.name == name; });
    return it == kShareLevels.end() ? nullptr : &*it;
}

const ShareFunction* ShareFunctionByName(std::string_view name) {
    const auto it = std::find_if(kShareFunctions.begin(), kShareFunctions.end(),
                                 [name](const ShareFunction& f) { return f.name == name; });
    return it == kShareFunctions.end() ? nullptr : &*it;
}

int SMeterToDb(int raw) {
    return static_cast<int>(std::lround(Interpolate(kSMeterScale, std::size(kSMeterScale), raw)));
}

double SwrMeterToRatio(int raw) {
    return Interpolate(kSwrScale, std::size(kSwrScale), raw);
}

std::optional<int32_t> LowerMeter(RadioAccess& radio, int selection) {
    if (radio.Read(Field::MS) != selection) {
        return std::nullopt;
    }
    return radio.Read(Field::RM1);
}

}  // namespace kestrel
