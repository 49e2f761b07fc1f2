#include "equalizer/equalizer_tables.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "menulist/menu_item.h"

namespace kestrel {

namespace {

// The centre tables of bands 1, 2 and 3: Hz by frequency index, index 0 is OFF.
// clang-format off
constexpr std::array<int32_t, 8> kBand1Centres = {
    0, 100, 200, 300, 400, 500, 600, 700};
constexpr std::array<int32_t, 10> kBand2Centres = {
    0, 700, 800, 900, 1000, 1100, 1200, 1300, 1400, 1500};
constexpr std::array<int32_t, 19> kBand3Centres = {
    0, 1500, 1600, 1700, 1800, 1900, 2000, 2100, 2200, 2300, 2400, 2500, 2600, 2700, 2800, 2900,
    3000, 3100, 3200};

// The menu item kinds of the nine values, normal set then processor set.
constexpr std::array<std::array<uint32_t, kEqualizerValueCount>, 2> kMenuKinds = {{
    // band 1     band 2      band 3
    {31, 25, 19,  32, 26, 20,  33, 27, 21},
    {34, 28, 22,  35, 29, 23,  36, 30, 24},
}};

// The first menu item of each set; the nine items follow in value-index order.
constexpr std::array<int32_t, 2> kFirstMenuNumber = {91, 100};

// An up/down button of the window: the value it steps and which way.
struct StepButton {
    int code;
    int band;
    EqParam param;
    int delta;
};

constexpr std::array<StepButton, 18> kStepButtons = {{
    // code band parameter         delta
    {4,  1, EqParam::Frequency, +1},
    {5,  1, EqParam::Frequency, -1},
    {6,  2, EqParam::Frequency, +1},
    {7,  2, EqParam::Frequency, -1},
    {8,  3, EqParam::Frequency, +1},
    {9,  3, EqParam::Frequency, -1},
    {10, 1, EqParam::Level,     +1},
    {11, 1, EqParam::Level,     -1},
    {12, 2, EqParam::Level,     +1},
    {13, 2, EqParam::Level,     -1},
    {14, 3, EqParam::Level,     +1},
    {15, 3, EqParam::Level,     -1},
    {16, 1, EqParam::Bandwidth, +1},
    {17, 1, EqParam::Bandwidth, -1},
    {18, 2, EqParam::Bandwidth, +1},
    {19, 2, EqParam::Bandwidth, -1},
    {20, 3, EqParam::Bandwidth, +1},
    {21, 3, EqParam::Bandwidth, -1},
}};
// clang-format on

constexpr bool StepButtonsInOrder() {
    for (size_t i = 0; i < kStepButtons.size(); ++i) {
        if (kStepButtons[i].code != kEqualizerFirstStepButton + static_cast<int>(i)) {
            return false;
        }
    }
    return kStepButtons.back().code == kEqualizerLastStepButton;
}
static_assert(StepButtonsInOrder(), "one row per button code, in code order");

constexpr bool Ascending(std::span<const int32_t> centres) {
    return std::is_sorted(centres.begin(), centres.end()) &&
           std::adjacent_find(centres.begin(), centres.end()) == centres.end();
}
static_assert(Ascending(kBand1Centres) && Ascending(kBand2Centres) && Ascending(kBand3Centres));

bool ValidMode(int mode) {
    return mode == 0 || mode == 1;
}

bool ValidValueIndex(int valueIndex) {
    return valueIndex >= 0 && valueIndex < kEqualizerValueCount;
}

}  // namespace

std::span<const int32_t> BandCentres(int band) {
    switch (band) {
        case 1:
            return kBand1Centres;
        case 2:
            return kBand2Centres;
        case 3:
            return kBand3Centres;
    }
    return {};
}

bool EqualizerValueValid(int valueIndex, int32_t v) {
    if (!ValidValueIndex(valueIndex)) {
        return false;
    }
    switch (ParamOfValue(valueIndex)) {
        case EqParam::Frequency:
            return v >= 0 && static_cast<size_t>(v) < BandCentres(BandOfValue(valueIndex)).size();
        case EqParam::Level:
            return v >= kEqualizerLevelMin && v <= kEqualizerLevelMax;
        case EqParam::Bandwidth:
            return v >= kEqualizerBandwidthMin && v <= kEqualizerBandwidthMax;
    }
    return false;
}

bool EqualizerValuesValid(const EqualizerValues& values) {
    for (int i = 0; i < kEqualizerValueCount; ++i) {
        if (!EqualizerValueValid(i, values[i])) {
            return false;
        }
    }
    return true;
}

std::optional<int32_t> CentreOfIndex(int band, int32_t freqIndex) {
    const std::span<const int32_t> centres = BandCentres(band);
    if (freqIndex < 0 || static_cast<size_t>(freqIndex) >= centres.size()) {
        return std::nullopt;
    }
    return centres[static_cast<size_t>(freqIndex)];
}

std::optional<int32_t> IndexOfCentre(int band, int32_t centreHz) {
    const std::span<const int32_t> centres = BandCentres(band);
    const auto found = std::find(centres.begin(), centres.end(), centreHz);
    if (found == centres.end()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(found - centres.begin());
}

std::optional<int32_t> EqualizerValueFromMenu(int valueIndex, double menuValue) {
    // MenuValueToWhole clamps NaN and huge values to numbers that may look valid, so those are
    // refused before it sees them.
    if (!std::isfinite(menuValue) || std::fabs(menuValue) > 1.0e6) {
        return std::nullopt;
    }
    const auto whole = static_cast<int32_t>(MenuValueToWhole(menuValue));
    if (!EqualizerValueValid(valueIndex, whole)) {
        return std::nullopt;
    }
    return whole;
}

int32_t EqualizerMenuNumber(int mode, int valueIndex) {
    if (!ValidMode(mode) || !ValidValueIndex(valueIndex)) {
        return 0;
    }
    return kFirstMenuNumber[mode] + valueIndex;
}

uint32_t EqualizerMenuKind(int mode, int valueIndex) {
    if (!ValidMode(mode) || !ValidValueIndex(valueIndex)) {
        return 0;
    }
    return kMenuKinds[mode][valueIndex];
}

std::optional<EqualizerStep> StepOfButton(const EqualizerValues& values, int code) {
    if (code < kEqualizerFirstStepButton || code > kEqualizerLastStepButton) {
        return std::nullopt;
    }
    const StepButton& button = kStepButtons[code - kEqualizerFirstStepButton];
    const int index = ValueIndex(button.band, button.param);
    // A value off its table may sit at an end of int32_t: the sum is checked before it narrows.
    const int64_t next = int64_t{values[index]} + button.delta;
    if (next < INT32_MIN || next > INT32_MAX ||
        !EqualizerValueValid(index, static_cast<int32_t>(next))) {
        return std::nullopt;
    }
    return EqualizerStep{index, static_cast<int32_t>(next), button.band};
}

std::string FrequencyText(int band, int32_t freqIndex) {
    const std::optional<int32_t> centre = CentreOfIndex(band, freqIndex);
    if (!centre) {
        return "";
    }
    return *centre == 0 ? "OFF" : std::to_string(*centre) + " Hz";
}

std::string LevelText(int32_t level) {
    return std::to_string(level) + " dB";
}

std::string BandwidthText(int32_t bandwidth) {
    return std::to_string(bandwidth);
}

std::string EqualizerTitle(int mode) {
    return mode == 1 ? "P-Prmtrc" : "Prmtrc";
}

std::string BandTitle(int mode, int band) {
    return (mode == 1 ? "P-PRMTRC EQ" : "PRMTRC EQ") + std::to_string(band);
}

}  // namespace kestrel
