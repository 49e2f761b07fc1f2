#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "server/radio_access.h"

namespace kestrel {

// One mode of the radio (the MD code) as the sharing protocols name it. Hamlib has no narrow FM
// of its own: the radio's FM-N reads as FM with the narrow passband, and FM sets plain FM.
struct ShareMode {
    int code;                 // MD value
    std::string_view hamlib;  // rigctld mode name
    uint64_t hamlibBit;       // the mode's bit in Hamlib's mode masks
    std::string_view flrig;   // XML-RPC mode name
    int32_t normalPassband;   // Hz, the filter in use with NAR off
    int32_t narrowPassband;   // Hz, with NAR on
};

// clang-format off
inline constexpr std::array<ShareMode, 12> kShareModes = {{
    // code hamlib    bit     flrig     normal narrow
    {1,  "LSB",    0x8,    "LSB",    2400,  1800},
    {2,  "USB",    0x4,    "USB",    2400,  1800},
    {3,  "CW",     0x2,    "CW",     500,   300},
    {4,  "FM",     0x20,   "FM",     12000, 9000},
    {5,  "AM",     0x1,    "AM",     6000,  3000},
    {6,  "RTTY",   0x10,   "RTTY-L", 500,   300},
    {7,  "CWR",    0x80,   "CW-R",   500,   300},
    {8,  "PKTLSB", 0x400,  "PKT-L",  2400,  1800},
    {9,  "RTTYR",  0x100,  "RTTY-U", 500,   300},
    {10, "PKTFM",  0x1000, "PKT-FM", 12000, 9000},
    {11, "FM",     0x20,   "FM-N",   9000,  9000},
    {12, "PKTUSB", 0x800,  "PKT-U",  2400,  1800},
}};
// clang-format on

// Returns the row of an MD code, or nullptr for a code the protocols have no name for.
const ShareMode* ShareModeByCode(int code);
// Returns the first row with the Hamlib name (or Hamlib's other name for it), or nullptr.
const ShareMode* ShareModeByHamlib(std::string_view name);
// Returns the row with the XML-RPC name, or nullptr.
const ShareMode* ShareModeByFlrig(std::string_view name);
// Returns the mask of every mode's Hamlib bit.
uint64_t ShareModeMask();
// Returns the VFO on the main dial, which receives.
Vfo ReceiveVfo(RadioAccess& radio);
// Returns the VFO that transmits (FT 1: VFO-B).
Vfo TransmitVfo(RadioAccess& radio);
// Reports whether split is on: the transmitting VFO is not the receiving one.
bool SplitOn(RadioAccess& radio);
// Switches split on (transmit on the VFO not on the dial) or off (transmit on the dial's VFO).
bool SetSplit(RadioAccess& radio, Vfo dial, bool on);
// Returns the frequency of a VFO as the radio last reported it.
int32_t FrequencyOf(RadioAccess& radio, Vfo vfo);

// Returns the mode of a VFO's receiver (VFO-A the main one, VFO-B the sub), or nullptr when the
// radio reports none the protocols name.
const ShareMode* ModeOf(RadioAccess& radio, Vfo vfo);
// Returns the passband of a VFO's current filter in Hz, or nothing without a mode.
std::optional<int32_t> CurrentPassband(RadioAccess& radio, Vfo vfo);

// A level of Hamlib's get_level/set_level. Values are Hamlib's: floats 0..1 unless stated, dB
// for PREAMP, ATT and STRENGTH, words per minute for KEYSPD, the ratio for SWR.
struct ShareLevel {
    std::string_view name;
    int bit;       // the level's bit in Hamlib's level masks
    bool isFloat;  // printed as "%f", otherwise as a whole number
    // Reads the level; nothing when the radio does not report it at the moment.
    std::optional<double> (*get)(RadioAccess&);
    // Sets the level; false for a value the radio cannot take. nullptr: read only.
    bool (*set)(RadioAccess&, double);
};

// A function of Hamlib's get_func/set_func (on or off).
struct ShareFunction {
    std::string_view name;
    int bit;  // the function's bit in Hamlib's function masks
    bool (*get)(RadioAccess&);
    // Switches the function; false when the request could not be made.
    bool (*set)(RadioAccess&, bool);
};

extern const std::array<ShareLevel, 12> kShareLevels;
extern const std::array<ShareFunction, 8> kShareFunctions;

// Returns the level row by its Hamlib name, or nullptr.
const ShareLevel* ShareLevelByName(std::string_view name);
// Returns the function row by its Hamlib name, or nullptr.
const ShareFunction* ShareFunctionByName(std::string_view name);

// Converts an S-meter reading (0-255) to dB over S9 (S9 at 130, S9+60 at 255).
int SMeterToDb(int raw);
// Converts an SWR meter reading (0-255) to the standing-wave ratio.
double SwrMeterToRatio(int raw);
// Returns the lower meter reading of the quantity that meter selection `selection` shows, or
// nothing when the radio's lower meter shows something else.
std::optional<int32_t> LowerMeter(RadioAccess& radio, int selection);

// The lower meter selections (MS) of the quantities the protocols report.
inline constexpr int kMeterComp = 0;
inline constexpr int kMeterAlc = 1;
inline constexpr int kMeterSwr = 3;

// The preamplifier settings in dB, by PA value (0 is the IPO, no preamplifier).
inline constexpr std::array<int, 3> kPreampDb = {0, 10, 20};
// The attenuator settings in dB, by RA value.
inline constexpr std::array<int, 4> kAttenuatorDb = {0, 6, 12, 18};
// The transmitter's frequency range in Hz: the amateur bands from 160 m to 6 m.
inline constexpr int64_t kTxLowHz = 1800000;
inline constexpr int64_t kTxHighHz = 54000000;
// The clarifier's and the IF shift's reach in Hz.
inline constexpr int kMaxClarifierHz = 9999;
inline constexpr int kMaxIfShiftHz = 1000;

// The transmitter's power range in watts (the PC setting).
inline constexpr int32_t kMinPowerWatts = 5;
inline constexpr int32_t kMaxPowerWatts = 100;

}  // namespace kestrel
