#include "protocol/control_mirror.h"

#include <array>
#include <limits>

#include "protocol/ranged_value.h"

namespace kestrel {

namespace {

struct MirrorRow {
    Mirror mirror;
    bool ranged;
    int32_t initial;
    int32_t min;
    int32_t max;
};

constexpr bool kRanged = true;
constexpr bool kPlain = false;

// The plain values keep 0 / 0 limits in the table; they accept any number.
// clang-format off
constexpr std::array<MirrorRow, kMirrorCount> kMirrorRows{{
    // mirror             kind      initial  min      max
    {Mirror::FA,          kRanged,  0,       30000,   60000000},
    {Mirror::FB,          kRanged,  0,       30000,   60000000},
    {Mirror::RT,          kPlain,   0,       0,       0},
    {Mirror::XT,          kPlain,   0,       0,       0},
    {Mirror::BP0,         kRanged,  0,       0,       1},
    {Mirror::BP1,         kRanged,  1,       1,       400},
    {Mirror::CO0,         kRanged,  0,       0,       2},
    {Mirror::CO1,         kRanged,  1,       1,       40},
    {Mirror::ML1,         kRanged,  1,       1,       255},
    {Mirror::PL,          kRanged,  0,       0,       255},
    {Mirror::MG,          kRanged,  0,       0,       255},
    {Mirror::PC,          kRanged,  0,       0,       255},
    {Mirror::VG,          kRanged,  0,       0,       255},
    {Mirror::NL,          kRanged,  0,       0,       255},
    {Mirror::SQ0,         kRanged,  0,       0,       255},
    {Mirror::SQ1,         kRanged,  0,       0,       255},
    {Mirror::AG0,         kRanged,  0,       0,       255},
    {Mirror::AG1,         kRanged,  0,       0,       255},
    {Mirror::RG0,         kRanged,  0,       0,       255},
    {Mirror::RG1,         kRanged,  0,       0,       255},
    {Mirror::KS,          kRanged,  4,       4,       60},
    {Mirror::KP,          kRanged,  0,       0,       15},
    {Mirror::SD,          kRanged,  0,       0,       5000},
    {Mirror::MS,          kRanged,  0,       0,       5},
    {Mirror::IS,          kRanged,  0,       -1000,   1000},
    {Mirror::SH,          kRanged,  0,       0,       31},
    {Mirror::RL,          kRanged,  1,       1,       15},
    {Mirror::MDFilter,    kRanged,  0,       0,       2},
    {Mirror::MD0,         kPlain,   0,       0,       0},
    {Mirror::MD1,         kPlain,   0,       0,       0},
    {Mirror::CS,          kPlain,   0,       0,       0},
    {Mirror::PR,          kPlain,   0,       0,       0},
    {Mirror::ML0,         kPlain,   0,       0,       0},
    {Mirror::KR,          kPlain,   0,       0,       0},
    {Mirror::BI,          kPlain,   0,       0,       0},
    {Mirror::NR,          kPlain,   0,       0,       0},
    {Mirror::BC,          kPlain,   0,       0,       0},
    {Mirror::LK,          kPlain,   0,       0,       0},
    {Mirror::FS,          kPlain,   0,       0,       0},
    {Mirror::NA0,         kPlain,   0,       0,       0},
    {Mirror::NA1,         kPlain,   0,       0,       0},
    {Mirror::MX,          kPlain,   0,       0,       0},
    {Mirror::VX,          kPlain,   0,       0,       0},
    {Mirror::FR,          kPlain,   0,       0,       0},
    {Mirror::VS,          kPlain,   0,       0,       0},
    {Mirror::PS,          kPlain,   0,       0,       0},
    {Mirror::AI,          kPlain,   0,       0,       0},
    {Mirror::DS,          kPlain,   0,       0,       0},
}};
// clang-format on

constexpr bool RowsInEnumOrder() {
    for (size_t i = 0; i < kMirrorRows.size(); ++i) {
        if (static_cast<size_t>(kMirrorRows[i].mirror) != i) {
            return false;
        }
    }
    return true;
}
static_assert(RowsInEnumOrder(), "mirror rows follow the Mirror enum");

constexpr bool RangesOrdered() {
    for (const auto& row : kMirrorRows) {
        if (row.ranged && (row.min > row.max || row.initial < row.min || row.initial > row.max) &&
            row.mirror != Mirror::FA && row.mirror != Mirror::FB) {
            return false;
        }
    }
    return true;
}
// FA and FB start at 0, below their limits, until the first frequency is heard.
static_assert(RangesOrdered(), "ranged mirror values start within ordered limits");

std::array<RangedValue, kMirrorCount> mirrorValues;

const MirrorRow& Row(Mirror m) {
    return kMirrorRows[static_cast<size_t>(m)];
}

}  // namespace

void InitControlMirror() {
    for (const auto& row : kMirrorRows) {
        if (row.ranged) {
            mirrorValues[static_cast<size_t>(row.mirror)].Reset(row.initial, row.min, row.max);
        } else {
            mirrorValues[static_cast<size_t>(row.mirror)].Reset(
                row.initial, std::numeric_limits<int32_t>::min(),
                std::numeric_limits<int32_t>::max());
        }
    }
}

int32_t GetMirror(Mirror m) {
    return mirrorValues[static_cast<size_t>(m)].Get();
}

bool SetMirror(Mirror m, int32_t v) {
    return mirrorValues[static_cast<size_t>(m)].Store(v);
}

bool MirrorIsRanged(Mirror m) {
    return Row(m).ranged;
}

}  // namespace kestrel
