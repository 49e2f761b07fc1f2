#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kestrel {

// The transmit parametric equalizer: three bands, each with a centre frequency chosen from the
// band's table (index 0 is OFF), a level in dB and a bandwidth. The transceiver keeps two sets
// of the nine values, the normal one (mode 0) and the one used with the speech processor
// (mode 1).

// The number of bands, numbered 1 to 3.
inline constexpr int kEqualizerBands = 3;
// The number of values of a set, three per band.
inline constexpr int kEqualizerValueCount = 9;
// The level range of every band, in dB.
inline constexpr int32_t kEqualizerLevelMin = -20;
inline constexpr int32_t kEqualizerLevelMax = 10;
// The bandwidth range of every band.
inline constexpr int32_t kEqualizerBandwidthMin = 1;
inline constexpr int32_t kEqualizerBandwidthMax = 10;

// What one of a band's three values sets.
enum class EqParam : uint8_t { Frequency = 0, Level = 1, Bandwidth = 2 };

// The nine values of a set by value index i = 3 x (band - 1) + parameter: the frequency index,
// the level (dB) and the bandwidth of band 1, then band 2, then band 3.
using EqualizerValues = std::array<int32_t, kEqualizerValueCount>;

// Returns the centre table (Hz by frequency index, 0 for OFF) of band 1-3; empty for any other.
std::span<const int32_t> BandCentres(int band);

// Returns the value index of a band's parameter, or -1 for a band outside 1-3.
constexpr int ValueIndex(int band, EqParam param) {
    return band >= 1 && band <= kEqualizerBands ? 3 * (band - 1) + static_cast<int>(param) : -1;
}
// Returns the band (1-3) of a value index 0-8.
constexpr int BandOfValue(int valueIndex) {
    return valueIndex / 3 + 1;
}
// Returns the parameter of a value index 0-8.
constexpr EqParam ParamOfValue(int valueIndex) {
    return static_cast<EqParam>(valueIndex % 3);
}

// Reports whether v is a value that value index i can take (index 0-8 only).
bool EqualizerValueValid(int valueIndex, int32_t v);
// Reports whether all nine values are valid.
bool EqualizerValuesValid(const EqualizerValues& values);

// Returns the centre in Hz of a band's frequency index (0 for OFF), or nothing off the table.
std::optional<int32_t> CentreOfIndex(int band, int32_t freqIndex);
// Returns the frequency index of a centre in Hz (0 for OFF), or nothing when the band has no
// such centre.
std::optional<int32_t> IndexOfCentre(int band, int32_t centreHz);

// Converts a menu record's value into value index i's value, dropping the fraction as every
// menu comparison does; nothing for NaN, infinities or a value off the table.
std::optional<int32_t> EqualizerValueFromMenu(int valueIndex, double menuValue);

// Returns the menu item number (91-108) of value index i of the set `mode`, or 0.
int32_t EqualizerMenuNumber(int mode, int valueIndex);
// Returns the menu item kind (19-36) of value index i of the set `mode`, or 0.
uint32_t EqualizerMenuKind(int mode, int valueIndex);

// The first and last codes of the up/down buttons of the equalizer window.
inline constexpr int kEqualizerFirstStepButton = 4;
inline constexpr int kEqualizerLastStepButton = 21;

// The value an up/down button asks for.
struct EqualizerStep {
    int valueIndex;  // which of the nine values
    int32_t value;   // its new value
    int band;        // 1-3, the band that becomes the active one
    bool operator==(const EqualizerStep&) const = default;
};

// Returns what pressing up/down button `code` (4-21) asks for; nothing for another code or when
// the value is already at its limit (or the step would not land on the table).
std::optional<EqualizerStep> StepOfButton(const EqualizerValues& values, int code);

// Returns the text of a frequency value: "OFF" for index 0, "%d Hz" of the centre, or "" off
// the table.
std::string FrequencyText(int band, int32_t freqIndex);
// Returns the text of a level value, "%d dB".
std::string LevelText(int32_t level);
// Returns the text of a bandwidth value, "%d".
std::string BandwidthText(int32_t bandwidth);
// Returns the window title of the set: "Prmtrc" (mode 0) or "P-Prmtrc".
std::string EqualizerTitle(int mode);
// Returns the group title of band 1-3 in the set: "PRMTRC EQ1" or "P-PRMTRC EQ1" and so on.
std::string BandTitle(int mode, int band);

}  // namespace kestrel
