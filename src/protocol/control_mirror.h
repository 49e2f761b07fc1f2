#pragma once

#include <cstdint>

namespace kestrel {

// The values of the ControlMirror: the last reported value of every setting that the panel steps
// or toggles. Names follow the answer code, with the selector digit where there are several
// (SQ0, SQ1) and, for BP, CO and ML, "0" for the on/off or mode value and "1" for the level.
// MDFilter is the filter class the MD analysis derives from the mode. No answer writes DS; the
// request side toggles it from here like every other toggle.
// clang-format off
enum class Mirror : uint8_t {
    FA, FB, RT, XT, BP0, BP1, CO0, CO1, ML1, PL, MG, PC, VG, NL, SQ0, SQ1, AG0, AG1, RG0, RG1, KS,
    KP, SD, MS, IS, SH, RL, MDFilter, MD0, MD1, CS, PR, ML0, KR, BI, NR, BC, LK, FS, NA0, NA1, MX,
    VX, FR, VS, PS, AI, DS,
    Count
};
// clang-format on

inline constexpr int kMirrorCount = static_cast<int>(Mirror::Count);

// Sets every mirror value and limit to its start value.
void InitControlMirror();
// Returns a mirror value.
int32_t GetMirror(Mirror m);
// Stores a mirror value: a plain value takes any number, a ranged one only a number within its
// limits. Reports whether it stored.
bool SetMirror(Mirror m, int32_t v);
// Reports whether the mirror value is ranged (true) or plain (false).
bool MirrorIsRanged(Mirror m);

}  // namespace kestrel
