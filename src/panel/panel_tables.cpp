#include "panel/panel_tables.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <vector>

namespace kestrel {

namespace {

using B = RequestBits;
using V = KeyValue;

constexpr int kZoneWidth = 1024;
constexpr int kZoneHeight = 321;  // zones 5 to 8 reach y 320

// clang-format off
constexpr auto kZones = std::to_array<PanelZone>({
    {1, {  0,   0,  183, 113}},
    {2, {183,   0,  748, 113}},
    {3, {748,   0, 1024, 113}},
    {4, {  0, 113,  290, 319}},
    {5, {290, 113,  415, 320}},
    {6, {415, 113,  731, 320}},
    {7, {731, 113,  855, 320}},
    {8, {855, 113, 1024, 320}},
});

constexpr auto kHotspots = std::to_array<Hotspot>({
    // key zone  rectangle                  request  bits      value         display
    {2,   1, { 33,  42,   64,  97}, 0x8502, B::None,  V::Zero,      0x8579},
    {7,   1, {106,  39,  124,  58}, 0x8507, B::Bit20, V::Choice,    0x857E},
    {4,   1, {145,  39,  163,  58}, 0x8504, B::None,  V::Zero,      0x857B},
    {6,   1, {106,  85,  124, 104}, 0x8506, B::Bit20, V::Choice,    0x857D},
    {5,   1, {145,  85,  163, 104}, 0x8505, B::None,  V::Zero,      0x857C},
    {200, 2, {728,  57,  742,  76}, 0x8551, B::Bit20, V::Frequency, 0},
    {201, 2, {707,  47,  728,  76}, 0x8551, B::Bit20, V::Frequency, 0},
    {202, 2, {686,  47,  707,  76}, 0x8551, B::Bit20, V::Frequency, 0},
    {203, 2, {659,  47,  680,  76}, 0x8551, B::Bit20, V::Frequency, 0},
    {204, 2, {638,  47,  659,  76}, 0x8551, B::Bit20, V::Frequency, 0},
    {205, 2, {617,  47,  638,  76}, 0x8551, B::Bit20, V::Frequency, 0},
    {206, 2, {590,  47,  611,  76}, 0x8551, B::Bit20, V::Frequency, 0},
    {207, 2, {569,  47,  590,  76}, 0x8551, B::Bit20, V::Frequency, 0},
    {53,  3, {765,  28,  805,  39}, 0x852B, B::Bit28, V::Zero,      0x85AB},
    {54,  3, {817,  28,  857,  39}, 0x852C, B::Bit28, V::Zero,      0x85AC},
    {55,  3, {869,  28,  909,  39}, 0x852D, B::Bit28, V::Zero,      0x85AD},
    {56,  3, {765,  51,  805,  62}, 0x852E, B::Bit28, V::Zero,      0x85AE},
    {57,  3, {817,  51,  857,  62}, 0x852F, B::Bit28, V::Zero,      0x85AF},
    {58,  3, {869,  51,  909,  62}, 0x8530, B::Bit28, V::Zero,      0x85B0},
    {59,  3, {765,  74,  805,  85}, 0x8531, B::Bit28, V::Zero,      0x85B1},
    {60,  3, {817,  74,  857,  85}, 0x8532, B::Bit28, V::Zero,      0x85B2},
    {61,  3, {869,  74,  909,  85}, 0x8533, B::Bit28, V::Zero,      0x85B3},
    {62,  3, {765,  97,  805, 108}, 0x8534, B::Bit28, V::Zero,      0x85B4},
    {52,  3, {817,  97,  857, 108}, 0x852A, B::Bit28, V::Zero,      0x85AA},
    {63,  3, {869,  97,  909, 108}, 0,      B::None,  V::Zero,      0x85B5},
    {82,  3, {927,  28,  948,  62}, 0x8659, B::None,  V::Zero,      0x85E0},
    {32,  3, {961,  28,  982,  62}, 0x8518, B::None,  V::Zero,      0x8597},
    {31,  3, {927,  74,  948, 108}, 0x8517, B::None,  V::Zero,      0x8596},
    {33,  3, {961,  74,  982,  91}, 0x8519, B::None,  V::Zero,      0x8598},
    {34,  3, {961,  91,  982, 108}, 0x851A, B::None,  V::Zero,      0x8599},
    {9,   4, { 30, 146,   55, 160}, 0x8509, B::None,  V::Zero,      0x8580},
    {10,  4, { 73, 146,   98, 160}, 0x850A, B::Bit20, V::Choice,    0x8581},
    {18,  4, {116, 146,  141, 160}, 0x8512, B::None,  V::Zero,      0x8589},
    {17,  4, {159, 146,  184, 160}, 0x8511, B::None,  V::Zero,      0x8588},
    {11,  4, {202, 146,  227, 160}, 0x850B, B::None,  V::Zero,      0x8582},
    {15,  4, {245, 146,  270, 160}, 0x850F, B::Bit20, V::Choice,    0x8586},
    {1,   4, { 19, 200,   70, 217}, 0x8501, B::None,  V::Zero,      0x8578},
    {88,  4, { 95, 206,  120, 220}, 0x8555, B::Bit20, V::Choice,    0x85E3},
    {19,  4, { 18, 256,   43, 270}, 0x8547, B::None,  V::Zero,      0x858A},
    {20,  4, { 50, 256,   75, 270}, 0x8548, B::None,  V::Zero,      0x858B},
    {21,  4, { 82, 256,  107, 270}, 0x8549, B::None,  V::Zero,      0x858C},
    {22,  4, {114, 256,  139, 270}, 0x854A, B::None,  V::Zero,      0x858D},
    {23,  4, { 18, 289,   43, 303}, 0x854B, B::None,  V::Zero,      0x858E},
    {24,  4, { 50, 289,   75, 303}, 0x854C, B::None,  V::Zero,      0x858F},
    {25,  4, { 82, 289,  107, 303}, 0x854D, B::None,  V::Zero,      0x8590},
    {26,  4, {114, 289,  139, 303}, 0x854E, B::Bit20, V::Choice,    0x8591},
    {84,  5, {303, 147,  328, 164}, 0x8654, B::Bit20, V::One,       0x85DC},
    {83,  5, {342, 147,  367, 164}, 0x8653, B::Bit20, V::One,       0x85DD},
    {70,  5, {381, 147,  406, 164}, 0x853B, B::Bit20, V::Choice,    0x85BC},
    {68,  5, {303, 184,  328, 201}, 0x8539, B::Bit20, V::One,       0x85BA},
    {85,  5, {342, 184,  367, 201}, 0x8655, B::Bit20, V::One,       0x85DE},
    {86,  5, {381, 184,  406, 201}, 0x8656, B::Bit20, V::One,       0x85DF},
    {87,  5, {394, 288,  409, 303}, 0x8657, B::Bit20, V::One,       0x85E2},
    {42,  6, {453, 133,  485, 143}, 0x8520, B::None,  V::Zero,      0x85A0},
    {43,  6, {666, 133,  698, 143}, 0x8521, B::None,  V::Zero,      0x85A1},
    {35,  6, {430, 152,  456, 169}, 0x851B, B::None,  V::Zero,      0x859A},
    {36,  6, {462, 152,  490, 169}, 0x851C, B::None,  V::Zero,      0x859B},
    {37,  6, {440, 181,  477, 198}, 0x851D, B::None,  V::Zero,      0x859C},
    {38,  6, {440, 207,  470, 224}, 0x851E, B::Bit20, V::Choice,    0x859D},
    {39,  6, {440, 233,  471, 250}, 0x851F, B::Bit20, V::One,       0x859E},
    {41,  6, {440, 263,  483, 276}, 0,      B::None,  V::Zero,      0x859F},
    {51,  6, {440, 289,  500, 302}, 0x8529, B::None,  V::Zero,      0x85A9},
    {44,  6, {658, 152,  689, 169}, 0x8522, B::None,  V::Zero,      0x85A2},
    {45,  6, {695, 152,  722, 169}, 0x8523, B::None,  V::Zero,      0x85A3},
    {46,  6, {673, 181,  710, 198}, 0x8524, B::None,  V::Zero,      0x85A4},
    {47,  6, {680, 207,  710, 224}, 0x8525, B::None,  V::Zero,      0x85A5},
    {48,  6, {679, 233,  710, 250}, 0x8526, B::None,  V::Zero,      0x85A6},
    {49,  6, {667, 259,  710, 276}, 0x8527, B::None,  V::Zero,      0x85A7},
    {50,  6, {652, 285,  710, 302}, 0x8528, B::None,  V::Zero,      0x85A8},
    {12,  7, {745, 149,  783, 164}, 0x850C, B::Bit20, V::Choice,    0x8583},
    {13,  7, {804, 149,  842, 164}, 0x850D, B::Bit20, V::Choice,    0x8584},
    {14,  7, {745, 186,  783, 201}, 0x850E, B::Bit20, V::Choice,    0x8585},
    {16,  7, {804, 186,  842, 201}, 0x8510, B::Bit20, V::Choice,    0x8587},
    {64,  8, {869, 149,  900, 164}, 0x8535, B::None,  V::Zero,      0x85B6},
    {65,  8, {920, 149,  951, 164}, 0x8536, B::None,  V::Zero,      0x85B7},
    {66,  8, {970, 149, 1001, 164}, 0x8537, B::None,  V::Zero,      0x85B8},
    {72,  8, {869, 178,  901, 188}, 0x853D, B::None,  V::Zero,      0x85BE},
    {73,  8, {968, 178, 1000, 188}, 0x853E, B::None,  V::Zero,      0x85BF},
    {74,  8, {864, 202,  883, 219}, 0x853F, B::None,  V::Zero,      0x85C0},
    {75,  8, {864, 286,  883, 303}, 0x8540, B::None,  V::Zero,      0x85C1},
    {76,  8, {986, 202, 1005, 219}, 0x8541, B::None,  V::Zero,      0x85C2},
    {77,  8, {986, 286, 1005, 303}, 0x8542, B::None,  V::Zero,      0x85C3},
});

// The upper pair of small knobs takes the keys of the knobs drawn there: MIC GAIN (99, whose lamp
// strip lies above it) on the left and SPEED (95) on the right.
constexpr auto kDiscs = std::to_array<DiscControl>({
    // zone  centre     radius  key
    {4, 182, 212, 20,  99},
    {4, 256, 212, 20,  95},
    {4, 182, 282, 20,  93},
    {4, 256, 282, 20,  98},
    {5, 354, 265, 20, 218},
    {6, 575, 219, 60,  89},
    {7, 793, 265, 26, 106},
    {7, 793, 265, 35, 107},
    {8, 935, 253, 33,  90},
});

constexpr auto kKnobs = std::to_array<ValueKnob>({
    // key request field      min max click held wheel lamp
    {93,  0x8556, Field::ML1, 0, 255, 1, 10, 20, 2},
    {95,  0x8558, Field::KS,  4,  60, 1,  3,  5, 1},
    {98,  0x855B, Field::SQ0, 0, 255, 1, 10, 20, 3},
    {99,  0x855C, Field::MG,  0, 255, 1, 10, 20, 0},
    {106, 0x8562, Field::AG0, 0, 255, 1, 10, 20, 4},
    {107, 0x8563, Field::RG0, 0, 255, 1, 10, 20, 5},
});

constexpr auto kRotaries = std::to_array<RotaryControl>({
    // key request angle   centre
    {89,  0x854F, 0x85C8, 575, 219},
    {90,  0x8550, 0x85CB, 935, 253},
    {218, 0x865A, 0x85E1, 354, 265},
});

constexpr auto kTunerItems = std::to_array<ChoiceItem>({
    {"TUNER OFF", 1}, {"TUNER ON", 2}, {"TUNING", 3},
});
constexpr auto kAntennaItems = std::to_array<ChoiceItem>({
    {"ANTENNA1", 1}, {"ANTENNA2", 2},
});
constexpr auto kProcessorItems = std::to_array<ChoiceItem>({
    {"OFF", 1}, {"MIC-EQ", 3}, {"PROC", 2},
});
constexpr auto kAttenuatorItems = std::to_array<ChoiceItem>({
    {"ATT OFF", 1}, {"6dB(1/2)", 2}, {"12dB(1/4)", 3}, {"18dB(1/8)", 4},
});
constexpr auto kPreampItems = std::to_array<ChoiceItem>({
    {"AMP1", 1}, {"AMP2", 2}, {"IPO", 3},
});
constexpr auto kRoofingItems = std::to_array<ChoiceItem>({
    {"AUTO", 1}, {"3KHz", 4}, {"6KHz", 3}, {"15KHz", 2},
});
constexpr auto kAgcItems = std::to_array<ChoiceItem>({
    {"AGC OFF", 1}, {"AGC AUTO", 2}, {"AGC FAST", 3}, {"AGC MID", 4}, {"AGC SLOW", 5},
});
constexpr auto kNoiseBlankerItems = std::to_array<ChoiceItem>({
    {"NB OFF", 1}, {"NB ON", 2}, {"NB-W ON", 3},
});
constexpr auto kDisplayItems = std::to_array<ChoiceItem>({
    {"WORLD CLOCK DISPLAY", 1},
    {"SPECTRUM SCOPE DISPLAY", 2},
    {"AF SCOPE/OSCILLOSCOPE DISPLAY", 3},
    {"LOG BOOK DISPLAY", 4},
    {"TEMPERATURE/SWR DISPLAY", 5},
    {"ROTATOR DISPLAY", 6},
    {"MEMORY CHANNEL LIST DISPLAY", 7},
});
constexpr auto kSplitItems = std::to_array<ChoiceItem>({
    {"SPLIT", 1}, {"QUICK SPLIT", 3},
});
constexpr auto kContourItems = std::to_array<ChoiceItem>({
    {"CONTOUR ON/OFF", 2}, {"APF ON/OFF", 3},
});
constexpr auto kMeterItems = std::to_array<ChoiceItem>({
    {"COMP", 1}, {"ALC", 2}, {"SWR", 4}, {"ID", 5}, {"VDD", 6},
});

constexpr auto kChoiceMenus = std::to_array<ChoiceMenu>({
    // key offset     items
    {6,  65,  156, kTunerItems},
    {7,  65,  110, kAntennaItems},
    {10, 45,  210, kProcessorItems},
    {12, 720, 215, kAttenuatorItems},
    {13, 790, 215, kPreampItems},
    {14, 730, 252, kRoofingItems},
    {15, 210, 210, kAgcItems},
    {16, 780, 252, kNoiseBlankerItems},
    {26, 15,  353, kDisplayItems},
    {38, 402, 275, kSplitItems},
    {70, 345, 213, kContourItems},
    {88, 73,  270, kMeterItems},
});
// clang-format on

constexpr bool InsidePanel(const PanelRect& r) {
    return r.left >= 0 && r.top >= 0 && r.left <= r.right && r.top <= r.bottom &&
           r.right <= kZoneWidth && r.bottom < kZoneHeight;
}

constexpr bool TablesHold() {
    for (const auto& z : kZones) {
        if (!InsidePanel(z.rect)) {
            return false;
        }
    }
    for (size_t i = 0; i < kHotspots.size(); ++i) {
        const Hotspot& h = kHotspots[i];
        // Each hotspot lies inside the zone it is listed under, and a key has one hotspot.
        if (!InsidePanel(h.rect) || h.zone < 1 || h.zone > 8) {
            return false;
        }
        const PanelRect& z = kZones[h.zone - 1].rect;
        if (h.rect.left < z.left || h.rect.right > z.right || h.rect.top < z.top ||
            h.rect.bottom > z.bottom) {
            return false;
        }
        if (i > 0 && kHotspots[i - 1].zone > h.zone) {
            return false;
        }
        for (size_t j = i + 1; j < kHotspots.size(); ++j) {
            if (kHotspots[j].key == h.key) {
                return false;
            }
        }
    }
    for (const auto& k : kKnobs) {
        if (k.min > k.max || k.clickStep <= 0 || k.heldStep <= 0 || k.wheelStep <= 0) {
            return false;
        }
    }
    for (const auto& menu : kChoiceMenus) {
        for (const auto& item : menu.items) {
            if (item.id < 1 || item.text.size() >= 128) {
                return false;
            }
        }
    }
    return true;
}
static_assert(TablesHold());

// The offsets of a disc's sampled points, as a (2R+1)^2 bitmap: trunc keeps the sampled points
// on the integer grid exactly as the panel's click test always placed them.
const std::vector<bool>& DiscPoints(int radius) {
    static std::mutex mutex;
    static std::map<int, std::vector<bool>> cache;
    std::lock_guard lock(mutex);
    auto [it, added] = cache.try_emplace(radius);
    if (added) {
        constexpr double kPi = 3.141592;
        const int side = 2 * radius + 1;
        it->second.assign(static_cast<size_t>(side * side), false);
        for (int r = radius; r >= 0; --r) {
            for (int a = 0; a < 360; ++a) {
                const double rad = a * kPi / 180.0;
                const int dx = static_cast<int>(std::trunc(r * std::sin(rad)));
                const int dy = -static_cast<int>(std::trunc(r * std::cos(rad)));
                it->second[static_cast<size_t>((dy + radius) * side + dx + radius)] = true;
            }
        }
    }
    return it->second;
}

}  // namespace

const std::array<PanelZone, 8> ZoneTable = kZones;
const std::span<const Hotspot> KeyTable{kHotspots};
const std::span<const DiscControl> DiscTable{kDiscs};
const std::span<const ValueKnob> ValueKnobTable{kKnobs};
const std::span<const RotaryControl> RotaryTable{kRotaries};
const std::span<const ChoiceMenu> ChoiceMenuTable{kChoiceMenus};

int FindZone(int x, int y) {
    for (const auto& z : kZones) {
        if (z.rect.Contains(x, y)) {
            return z.zone;
        }
    }
    return 0;
}

const Hotspot* FindHotspot(int zone, int x, int y) {
    for (const auto& h : kHotspots) {
        if (h.zone == zone && h.rect.Contains(x, y)) {
            return &h;
        }
    }
    return nullptr;
}

bool OnDisc(const DiscControl& disc, int x, int y) {
    const int dx = x - disc.cx;
    const int dy = y - disc.cy;
    if (dx < -disc.radius || dx > disc.radius || dy < -disc.radius || dy > disc.radius) {
        return false;
    }
    const int side = 2 * disc.radius + 1;
    return DiscPoints(
        disc.radius)[static_cast<size_t>((dy + disc.radius) * side + dx + disc.radius)];
}

PanelHit HitTest(int x, int y, bool discsBlocked) {
    PanelHit hit;
    hit.zone = FindZone(x, y);
    if (hit.zone == 0) {
        return hit;
    }
    hit.hotspot = FindHotspot(hit.zone, x, y);
    if (hit.hotspot) {
        if (hit.hotspot->key >= kKeyDigitLowA && hit.hotspot->key <= kKeyDigitHighA) {
            hit.digitIndex = hit.hotspot->key - kKeyDigitLowA + 1;
        }
        return hit;
    }
    if (discsBlocked) {
        return hit;
    }
    for (const auto& d : kDiscs) {
        if (d.zone == hit.zone && OnDisc(d, x, y)) {
            hit.disc = &d;
            break;
        }
    }
    return hit;
}

const Hotspot* HotspotOfKey(int key) {
    auto it = std::ranges::find(kHotspots, key, &Hotspot::key);
    return it == kHotspots.end() ? nullptr : &*it;
}

const ValueKnob* ValueKnobOfKey(int key) {
    auto it = std::ranges::find(kKnobs, key, &ValueKnob::key);
    return it == kKnobs.end() ? nullptr : &*it;
}

const RotaryControl* RotaryOfKey(int key) {
    auto it = std::ranges::find(kRotaries, key, &RotaryControl::key);
    return it == kRotaries.end() ? nullptr : &*it;
}

const ChoiceMenu* ChoiceMenuOfKey(int key) {
    auto it = std::ranges::find(kChoiceMenus, key, &ChoiceMenu::key);
    return it == kChoiceMenus.end() ? nullptr : &*it;
}

uint64_t RequestWParam(RequestBits bits, int vfoB) {
    switch (bits) {
        case RequestBits::Bit20:
            return 0x100000;
        case RequestBits::Bit28:
            return 0x10000000u + (vfoB == 1 ? 1u : 0u);
        case RequestBits::None:
            break;
    }
    return 0;
}

int CursorAngle(int x, int y, int cx, int cy) {
    const double dx = x - cx;
    const double dy = y - cy;
    const int angle =
        180 - static_cast<int>(std::trunc(std::atan2(dx, dy) * 180.0 * 0.3183099524062959));
    // atan2 gives -180..180, so the result is 0..360; straight above (dx 0, dy < 0) is 0.
    return angle >= 360 ? angle - 360 : angle;
}

int AngleDelta(int from, int to) {
    // Both angles lie in 0..359; half a turn either way is read as a turn the other way.
    int delta = to - from;
    if (delta >= 180) {
        delta -= 360;
    } else if (delta <= -180) {
        delta += 360;
    }
    return delta;
}

int WheelAngle(int angle, bool up) {
    int next = angle + (up ? 7 : -7);
    if (next < 0) {
        next = 352;
    } else if (next >= 360) {
        next = 7;
    }
    return next;
}

int TakeDialSteps(int32_t& rest, int degrees) {
    rest += degrees;
    const int steps = rest / 7;
    if (steps != 0) {
        rest = 0;
    }
    return steps;
}

int32_t SteppedKnobValue(const ValueKnob& knob, int32_t current, int32_t step, bool down) {
    const int64_t next = static_cast<int64_t>(current) + (down ? -step : step);
    return static_cast<int32_t>(std::clamp<int64_t>(next, knob.min, knob.max));
}

std::optional<int32_t> TunedFrequency(int32_t base, int digitIndex, bool up) {
    if (digitIndex < 1 || digitIndex > 8) {
        return std::nullopt;
    }
    int64_t unit = 1;
    for (int i = 1; i < digitIndex; ++i) {
        unit *= 10;
    }
    const int64_t next = static_cast<int64_t>(base) + (up ? unit : -unit);
    if (next < 30000) {
        return std::nullopt;
    }
    if (next > 56000000) {
        if (digitIndex < 8) {
            return std::nullopt;
        }
        return 56000000;
    }
    return static_cast<int32_t>(next);
}

}  // namespace kestrel
