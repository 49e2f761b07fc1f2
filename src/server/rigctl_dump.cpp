#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "server/rigctl_session.h"
#include "server/share_caps.h"

namespace kestrel {

namespace {

// Hamlib's VFO, antenna and PTT values used in the capabilities.
constexpr unsigned kVfoAB = 0x3;   // VFO-A and VFO-B
constexpr unsigned kAnt12 = 0x3;   // antennas 1 and 2
constexpr unsigned kPttRig = 0x1;  // the radio keys itself on a command
constexpr int kMilliwattsPerWatt = 1000;

std::string Hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

template <typename Rows, typename Pick>
uint64_t Mask(const Rows& rows, Pick pick) {
    uint64_t mask = 0;
    for (const auto& row : rows) {
        if (pick(row)) {
            mask |= uint64_t{1} << row.bit;
        }
    }
    return mask;
}

template <typename Rows, typename Pick>
std::string Names(const Rows& rows, Pick pick) {
    std::string names;
    for (const auto& row : rows) {
        if (pick(row)) {
            names += std::string(row.name) + " ";
        }
    }
    return names;
}

bool Any(const auto&) {
    return true;
}

// The filters as Hamlib lists them: for each group of modes with the same widths, the normal
// width first and then the narrow one.
std::vector<std::pair<uint64_t, int32_t>> FilterRows() {
    struct Group {
        uint64_t modes;
        int32_t normal;
        int32_t narrow;
    };
    std::vector<Group> groups;
    uint64_t covered = 0;
    for (const ShareMode& mode : kShareModes) {
        if ((covered & mode.hamlibBit) != 0) {
            continue;
        }
        covered |= mode.hamlibBit;
        auto it = std::find_if(groups.begin(), groups.end(), [&](const Group& g) {
            return g.normal == mode.normalPassband && g.narrow == mode.narrowPassband;
        });
        if (it == groups.end()) {
            groups.push_back({mode.hamlibBit, mode.normalPassband, mode.narrowPassband});
        } else {
            it->modes |= mode.hamlibBit;
        }
    }
    std::vector<std::pair<uint64_t, int32_t>> rows;
    for (const Group& g : groups) {
        rows.emplace_back(g.modes, g.normal);
        if (g.narrow != g.normal) {
            rows.emplace_back(g.modes, g.narrow);
        }
    }
    return rows;
}

std::string DbList(const auto& table) {
    std::string list;
    for (const int db : table) {
        if (db != 0) {
            list += std::to_string(db) + " ";
        }
    }
    return list;
}

}  // namespace

std::string RigctlDumpState() {
    const std::string modes = Hex(ShareModeMask());
    std::string s;
    // Protocol version, the model (Hamlib's network rig), the ITU region (unused).
    s += "1\n2\n0\n";
    s += std::to_string(FieldMin(Field::FA)) + ".000000 " + std::to_string(FieldMax(Field::FA)) +
         ".000000 " + modes + " -1 -1 " + Hex(kVfoAB) + " " + Hex(kAnt12) + "\n";
    s += "0 0 0 0 0 0 0\n";
    s += std::to_string(kTxLowHz) + ".000000 " + std::to_string(kTxHighHz) + ".000000 " + modes +
         " " + std::to_string(kMinPowerWatts * kMilliwattsPerWatt) + " " +
         std::to_string(kMaxPowerWatts * kMilliwattsPerWatt) + " " + Hex(kVfoAB) + " " +
         Hex(kAnt12) + "\n";
    s += "0 0 0 0 0 0 0\n";
    // Tuning steps: frequencies are set to the hertz.
    for (const int step : {1, 10, 100}) {
        s += modes + " " + std::to_string(step) + "\n";
    }
    s += "0 0\n";
    for (const auto& [modeMask, width] : FilterRows()) {
        s += Hex(modeMask) + " " + std::to_string(width) + "\n";
    }
    s += "0 0\n";
    s += std::to_string(kMaxClarifierHz) + "\n" + std::to_string(kMaxClarifierHz) + "\n" +
         std::to_string(kMaxIfShiftHz) + "\n";
    s += "0\n";  // announcements
    s += DbList(kPreampDb) + "\n";
    s += DbList(kAttenuatorDb) + "\n";
    const uint64_t functions = Mask(kShareFunctions, Any<ShareFunction>);
    s += Hex(functions) + "\n" + Hex(functions) + "\n";
    s += Hex(Mask(kShareLevels, Any<ShareLevel>)) + "\n";
    s += Hex(Mask(kShareLevels, [](const ShareLevel& l) { return l.set != nullptr; })) + "\n";
    s += "0x0\n0x0\n";  // parameters
    s += "vfo_ops=0x0\n";
    s += "ptt_type=" + Hex(kPttRig) + "\n";
    s += "targetable_vfo=0x0\n";
    s += "has_set_vfo=1\nhas_get_vfo=1\nhas_set_freq=1\nhas_get_freq=1\n";
    s += "has_set_conf=0\nhas_get_conf=0\nhas_power2mW=0\nhas_mW2power=0\n";
    s += "timeout=0\n";
    s += "rig_model=2\n";
    s += "rigctld_version=Kestrel Panel " KESTREL_VERSION "\n";
    s += "done\n";
    return s;
}

std::string RigctlDumpCaps() {
    std::string modes;
    uint64_t seen = 0;
    for (const ShareMode& mode : kShareModes) {
        if ((seen & mode.hamlibBit) == 0) {
            seen |= mode.hamlibBit;
            modes += std::string(mode.hamlib) + " ";
        }
    }
    std::string s;
    s += "Caps dump for model: 2\n";
    s += "Model name:\tKestrel\n";
    s += "Mfg name:\tKestrel Panel\n";
    s += "Backend version:\t" KESTREL_VERSION "\n";
    s += "Backend status:\tStable\n";
    s += "Rig type:\tTransceiver\n";
    s += "PTT type:\tRig capable\n";
    s += "DCD type:\tNone\n";
    s += "Port type:\tNetwork link\n";
    s += "Has targetable VFO: N\n";
    s += "Max RIT: -" + std::to_string(kMaxClarifierHz) + "Hz/+" + std::to_string(kMaxClarifierHz) +
         "Hz\n";
    s += "Max XIT: -" + std::to_string(kMaxClarifierHz) + "Hz/+" + std::to_string(kMaxClarifierHz) +
         "Hz\n";
    s += "Max IF-SHIFT: -" + std::to_string(kMaxIfShiftHz) + "Hz/+" +
         std::to_string(kMaxIfShiftHz) + "Hz\n";
    s += "Preamp: " + DbList(kPreampDb) + "dB\n";
    s += "Attenuator: " + DbList(kAttenuatorDb) + "dB\n";
    s += "Get functions: " + Names(kShareFunctions, Any<ShareFunction>) + "\n";
    s += "Set functions: " + Names(kShareFunctions, Any<ShareFunction>) + "\n";
    s += "Get level: " + Names(kShareLevels, Any<ShareLevel>) + "\n";
    s += "Set level: " + Names(kShareLevels, [](const ShareLevel& l) { return l.set != nullptr; }) +
         "\n";
    s += "Mode list: " + modes + "\n";
    s += "VFO list: VFOA VFOB \n";
    s += "RX ranges: " + std::to_string(FieldMin(Field::FA)) + " Hz - " +
         std::to_string(FieldMax(Field::FA)) + " Hz\n";
    s += "TX ranges: " + std::to_string(kTxLowHz) + " Hz - " + std::to_string(kTxHighHz) + " Hz, " +
         std::to_string(kMinPowerWatts) + " W - " + std::to_string(kMaxPowerWatts) + " W\n";
    s += "Can set Frequency:\tY\nCan get Frequency:\tY\n";
    s += "Can set Mode:\tY\nCan get Mode:\tY\n";
    s += "Can set VFO:\tY\nCan get VFO:\tY\n";
    s += "Can set PTT:\tY\nCan get PTT:\tY\n";
    s += "Can set Split VFO:\tY\nCan get Split VFO:\tY\n";
    s += "Can set Split Freq:\tY\nCan get Split Freq:\tY\n";
    s += "Can set Power Stat:\tY\nCan get Power Stat:\tY\n";
    s += "Can send Morse:\tY\n";
    s += "Can get Info:\tY\n";
    return s;
}

}  // namespace kestrel
