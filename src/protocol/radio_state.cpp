#include "protocol/radio_state.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>

#include "menulist/menu_catalogue.h"

namespace kestrel {

namespace {

struct FieldRow {
    Field field;
    std::string_view name;
    int32_t initial;
    int32_t min;
    int32_t max;
    std::optional<Mirror> mirror;
};

constexpr std::optional<Mirror> kNoMirror = std::nullopt;

// The MD fields carry a mirror too: the MD analysis copies the mode into the main and sub mirror
// values. The PS analysis compares with the PS mirror before it writes it.
// clang-format off
constexpr std::array<FieldRow, kFieldCount> kFieldRows{{
    // field          name     default   min     max        mirror
    {Field::RT,       "RT",    0,        0,      1,         Mirror::RT},
    {Field::XT,       "XT",    0,        0,      1,         Mirror::XT},
    {Field::SF,       "SF",    8,        0,      8,         kNoMirror},
    {Field::BP0,      "BP0",   0,        0,      1,         Mirror::BP0},
    {Field::BP1,      "BP1",   0,        0,      300,       Mirror::BP1},
    {Field::BC,       "BC",    0,        0,      1,         Mirror::BC},
    {Field::CO0,      "CO0",   0,        0,      2,         Mirror::CO0},
    {Field::CO1,      "CO1",   1,        0,      30,        Mirror::CO1},
    {Field::NR0,      "NR0",   0,        0,      1,         Mirror::NR},
    {Field::NR1,      "NR1",   0,        0,      1,         kNoMirror},
    {Field::FT,       "FT",    0,        0,      1,         kNoMirror},
    {Field::FR,       "FR",    0,        0,      5,         Mirror::FR},
    {Field::LK,       "LK",    0,        0,      1,         Mirror::LK},
    {Field::FS,       "FS",    0,        0,      1,         Mirror::FS},
    {Field::VS,       "VS",    0,        0,      1,         Mirror::VS},
    {Field::NA0,      "NA0",   0,        0,      1,         Mirror::NA0},
    {Field::NA1,      "NA1",   0,        0,      1,         Mirror::NA1},
    {Field::NB0,      "NB0",   0,        0,      2,         kNoMirror},
    {Field::NB1,      "NB1",   0,        0,      2,         kNoMirror},
    {Field::RF,       "RF",    5,        0,      6,         kNoMirror},
    {Field::GT0,      "GT0",   6,        0,      6,         kNoMirror},
    {Field::GT1,      "GT1",   6,        0,      6,         kNoMirror},
    {Field::RA,       "RA",    0,        0,      3,         kNoMirror},
    {Field::PA,       "PA",    1,        0,      2,         kNoMirror},
    {Field::KR,       "KR",    0,        0,      1,         Mirror::KR},
    {Field::TS,       "TS",    0,        0,      1,         kNoMirror},
    {Field::ANp3,     "ANp3",  0,        0,      1,         kNoMirror},
    {Field::ANp4,     "ANp4",  0,        0,      0,         kNoMirror},
    {Field::AC,       "AC",    0,        0,      2,         kNoMirror},
    {Field::MX,       "MX",    0,        0,      1,         Mirror::MX},
    {Field::VX,       "VX",    0,        0,      1,         Mirror::VX},
    {Field::BI,       "BI",    0,        0,      1,         Mirror::BI},
    {Field::PR,       "PR",    0,        0,      2,         Mirror::PR},
    {Field::ML0,      "ML0",   0,        0,      1,         Mirror::ML0},
    {Field::ML1,      "ML1",   0,        0,      255,       Mirror::ML1},
    {Field::CS,       "CS",    0,        0,      1,         Mirror::CS},
    {Field::DP,       "DP",    0,        0,      6,         kNoMirror},
    {Field::RM0,      "RM0",   0,        0,      255,       kNoMirror},
    {Field::RM1,      "RM1",   0,        0,      255,       kNoMirror},
    {Field::KP,       "KP",    0,        0,      15,        Mirror::KP},
    {Field::KS,       "KS",    4,        4,      60,        Mirror::KS},
    {Field::SD,       "SD",    30,       30,     3000,      Mirror::SD},
    {Field::NL0,      "NL0",   0,        0,      255,       Mirror::NL},
    {Field::NL1,      "NL1",   0,        0,      255,       Mirror::NL},
    {Field::MG,       "MG",    0,        0,      255,       Mirror::MG},
    {Field::PL,       "PL",    0,        0,      100,       Mirror::PL},
    {Field::VG,       "VG",    0,        0,      100,       Mirror::VG},
    {Field::VD,       "VD",    30,       30,     3000,      kNoMirror},
    {Field::SQ0,      "SQ0",   0,        0,      255,       Mirror::SQ0},
    {Field::SQ1,      "SQ1",   0,        0,      255,       Mirror::SQ1},
    {Field::AG0,      "AG0",   0,        0,      255,       Mirror::AG0},
    {Field::AG1,      "AG1",   0,        0,      255,       Mirror::AG1},
    {Field::RG0,      "RG0",   0,        0,      255,       Mirror::RG0},
    {Field::RG1,      "RG1",   0,        0,      255,       Mirror::RG1},
    {Field::IFp5,     "IFp5",  0,        0,      99999999,  Mirror::FA},
    {Field::IFp18,    "IFp18", 0,        0,      1,         Mirror::RT},
    {Field::IFp19,    "IFp19", 0,        0,      1,         Mirror::XT},
    {Field::IFp20,    "IFp20", 0,        0,      12,        kNoMirror},
    {Field::IFp21,    "IFp21", 0,        0,      4,         kNoMirror},
    {Field::IFp22,    "IFp22", 0,        0,      2,         kNoMirror},
    {Field::IFp23,    "IFp23", 0,        0,      49,        kNoMirror},
    {Field::IFp25,    "IFp25", 0,        0,      2,         kNoMirror},
    {Field::VF0p3,    "VF0p3", 0,        0,      1,         kNoMirror},
    {Field::VF0p4,    "VF0p4", 0,        0,      255,       kNoMirror},
    {Field::VF0p7,    "VF0p7", 0,        0,      1,         kNoMirror},
    {Field::VF1p3,    "VF1p3", 0,        0,      1,         kNoMirror},
    {Field::VF1p4,    "VF1p4", 0,        0,      255,       kNoMirror},
    {Field::VF1p7,    "VF1p7", 0,        0,      1,         kNoMirror},
    {Field::IS,       "IS",    0,        -1000,  1000,      Mirror::IS},
    {Field::SH,       "SH",    0,        0,      20,        Mirror::SH},
    {Field::RL,       "RL",    1,        1,      15,        Mirror::RL},
    {Field::BYp2,     "BYp2",  0,        0,      1,         kNoMirror},
    {Field::BYp3,     "BYp3",  0,        0,      0,         kNoMirror},
    {Field::FA,       "FA",    7000000,  30000,  60000000,  Mirror::FA},
    {Field::FB,       "FB",    7000000,  30000,  60000000,  Mirror::FB},
    {Field::ROp3,     "ROp3",  0,        0,      450,       kNoMirror},
    {Field::ROp6,     "ROp6",  0,        0,      100,       kNoMirror},
    {Field::SC,       "SC",    0,        0,      2,         kNoMirror},
    {Field::SM0,      "SM0",   0,        0,      255,       kNoMirror},
    {Field::SM1,      "SM1",   0,        0,      255,       kNoMirror},
    {Field::TX,       "TX",    0,        0,      3,         kNoMirror},
    {Field::UL,       "UL",    0,        0,      1,         kNoMirror},
    {Field::AI,       "AI",    0,        0,      1,         Mirror::AI},
    {Field::CN0,      "CN0",   0,        0,      49,        kNoMirror},
    {Field::CN1,      "CN1",   0,        0,      49,        kNoMirror},
    {Field::CT0,      "CT0",   0,        0,      2,         kNoMirror},
    {Field::CT1,      "CT1",   0,        0,      2,         kNoMirror},
    {Field::KM,       "KM",    1,        1,      5,         kNoMirror},
    {Field::MC,       "MC",    0,        0,      117,       kNoMirror},
    {Field::OIp5,     "OIp5",  0,        0,      99999999,  Mirror::FB},
    {Field::OIp18,    "OIp18", 0,        0,      1,         kNoMirror},
    {Field::OIp19,    "OIp19", 0,        0,      1,         kNoMirror},
    {Field::OIp20,    "OIp20", 0,        0,      12,        kNoMirror},
    {Field::OIp21,    "OIp21", 0,        0,      3,         kNoMirror},
    {Field::OIp22,    "OIp22", 0,        0,      2,         kNoMirror},
    {Field::OIp23,    "OIp23", 0,        0,      49,        kNoMirror},
    {Field::OIp25,    "OIp25", 0,        0,      2,         kNoMirror},
    {Field::OS0,      "OS0",   0,        0,      2,         kNoMirror},
    {Field::OS1,      "OS1",   0,        0,      2,         kNoMirror},
    {Field::PC,       "PC",    5,        5,      100,       Mirror::PC},
    {Field::RS,       "RS",    0,        0,      2,         kNoMirror},
    {Field::ID,       "ID",    310,      310,    310,       kNoMirror},
    {Field::IDX,      "IDX",   0,        0,      999,       kNoMirror},
    {Field::MD0,      "MD0",   1,        0,      13,        Mirror::MD0},
    {Field::MD1,      "MD1",   0,        0,      13,        Mirror::MD1},
    {Field::MS,       "MS",    1,        0,      5,         Mirror::MS},
    {Field::PS,       "PS",    0,        0,      1,         Mirror::PS},
    {Field::RI0,      "RI0",   0,        0,      1,         kNoMirror},
    {Field::RI1,      "RI1",   0,        0,      1,         kNoMirror},
    {Field::RI2,      "RI2",   0,        0,      1,         kNoMirror},
    {Field::RI3,      "RI3",   0,        0,      1,         kNoMirror},
    {Field::RI4,      "RI4",   0,        0,      1,         kNoMirror},
    {Field::RI5,      "RI5",   0,        0,      1,         kNoMirror},
    {Field::RI7,      "RI7",   0,        0,      1,         kNoMirror},
    {Field::RI8,      "RI8",   0,        0,      1,         kNoMirror},
    {Field::BG0,      "BG0",   3,        -1,     5,         kNoMirror},
    {Field::BG1,      "BG1",   0,        -1,     21,        kNoMirror},
    {Field::BG2,      "BG2",   0,        -1,     11,        kNoMirror},
    {Field::KC,       "KC",    1,        0,      5,         kNoMirror},
}};
// clang-format on

constexpr bool FieldRowsInEnumOrder() {
    for (size_t i = 0; i < kFieldRows.size(); ++i) {
        if (static_cast<size_t>(kFieldRows[i].field) != i) {
            return false;
        }
    }
    return true;
}
static_assert(FieldRowsInEnumOrder(), "field rows follow the Field enum");

constexpr bool FieldDefaultsWithinLimits() {
    for (const auto& row : kFieldRows) {
        if (row.min > row.max || row.initial < row.min || row.initial > row.max) {
            return false;
        }
    }
    return true;
}
static_assert(FieldDefaultsWithinLimits(), "every field starts within ordered limits");

constexpr bool FieldNamesUnique() {
    for (size_t i = 0; i < kFieldRows.size(); ++i) {
        for (size_t j = i + 1; j < kFieldRows.size(); ++j) {
            if (kFieldRows[i].name == kFieldRows[j].name) {
                return false;
            }
        }
    }
    return true;
}
static_assert(FieldNamesUnique(), "field names are unique");

// The frequency index of a PE group goes up to 7, 9 or 18 by its P2 selector.
constexpr std::array<int32_t, 3> kPeFrequencyIndexMax{7, 9, 18};
constexpr int kPeP1Count = 2;
constexpr int kPeP2Count = 3;
constexpr int kPeP3Count = 3;
constexpr double kClarifierLimit = 9999.0;
constexpr int32_t kDefaultMenuItemCount = 118;

// A keyer memory text in its zero-filled 51-byte field. The text is more than one word, so its
// copies are guarded.
class KeyerText {
  public:
    void Clear() {
        std::lock_guard lock(mutex_);
        std::memset(text_, 0, sizeof text_);
    }
    bool Store(uint32_t declaredLength, const char* text) {
        if (declaredLength > kFieldLength || text == nullptr) {
            return false;
        }
        const size_t limit = declaredLength < kTextLength ? declaredLength : kTextLength;
        std::lock_guard lock(mutex_);
        std::memset(text_, 0, sizeof text_);
        for (size_t i = 0; i < limit && text[i] != '\0'; ++i) {
            text_[i] = text[i];
        }
        return true;
    }
    bool Fetch(uint32_t length, char* buffer) const {
        if (length > kFieldLength || buffer == nullptr) {
            return false;
        }
        std::memset(buffer, 0, length);
        if (length == 0) {
            return true;
        }
        std::lock_guard lock(mutex_);
        const size_t n = std::min<size_t>(std::strlen(text_), length - 1);
        std::memcpy(buffer, text_, n);
        return true;
    }

  private:
    static constexpr uint32_t kFieldLength = kKeyerTextSize;
    static constexpr uint32_t kTextLength = kKeyerTextSize - 1;
    mutable std::mutex mutex_;
    char text_[kKeyerTextSize] = {};
};

// The whole store. The analysis thread is the only writer of the fields; the menu loader, the
// menu list window and the analysis thread write menu records, whole and under menuMutex.
struct RadioState {
    std::array<RangedValue, kFieldCount> fields;
    std::array<RangedReal, static_cast<size_t>(RealField::Count)> reals;
    std::array<std::array<std::array<RangedValue, kPeP3Count>, kPeP2Count>, kPeP1Count> pe;
    std::array<KeyerText, kKeyerChannels> keyerTexts;
    RangedValue menuItemCount;
    std::mutex menuMutex;
    std::array<MenuItem, kMaxMenuItemCount> menuItems{};
};

RadioState radioState;

RangedValue& FieldValue(Field f) {
    return radioState.fields[static_cast<size_t>(f)];
}

bool KnownPE(int p1, int p2, int p3) {
    return p1 >= 0 && p1 < kPeP1Count && p2 >= 0 && p2 < kPeP2Count && p3 >= 0 && p3 < kPeP3Count;
}

// Reports whether `number` names a record; the caller holds menuMutex or reads a count that only
// the loader changes.
bool KnownMenuNumber(int32_t number) {
    return number >= 1 && number <= radioState.menuItemCount.Get() && number <= kMaxMenuItemCount;
}

}  // namespace

void ResetRadioState() {
    StoreReady.store(0, std::memory_order_relaxed);
    PowerOffMarker.store(0, std::memory_order_relaxed);
    SavedAutoInfo.store(0, std::memory_order_relaxed);
    LinkWatchdogArmed.store(0, std::memory_order_relaxed);
    for (const auto& row : kFieldRows) {
        FieldValue(row.field).Reset(row.initial, row.min, row.max);
    }
    for (auto& real : radioState.reals) {
        real.Reset(0.0, -kClarifierLimit, kClarifierLimit);
    }
    for (int p1 = 0; p1 < kPeP1Count; ++p1) {
        for (int p2 = 0; p2 < kPeP2Count; ++p2) {
            auto& group = radioState.pe[p1][p2];
            group[0].Reset(0, 0, kPeFrequencyIndexMax[p2]);
            group[1].Reset(5, -20, 10);
            group[2].Reset(10, 1, 10);
        }
    }
    for (auto& keyerText : radioState.keyerTexts) {
        keyerText.Clear();
    }
    radioState.menuItemCount.Reset(kDefaultMenuItemCount, 1, kMaxMenuItemCount);
    std::lock_guard lock(radioState.menuMutex);
    radioState.menuItems.fill(MenuItem{});
}

void LoadMenuCatalogue() {
    SetMenuItemCount(kMenuCatalogueSize);
    for (int number = 1; number <= kMenuCatalogueSize; ++number) {
        const MenuItem item = CatalogueMenuItem(number);
        PutMenuItem(number, &item);
    }
}

int32_t GetField(Field f) {
    return FieldValue(f).Get();
}

bool SetField(Field f, int32_t v) {
    FieldValue(f).Store(v);
    return true;
}

bool StoreField(Field f, int32_t v) {
    return FieldValue(f).Store(v);
}

bool SetFieldAndMirror(Field f, int32_t v) {
    SetField(f, v);
    // The mirror is written from the store's value, so a value the store refused leaves the
    // mirror holding the field's current value rather than the refused one.
    if (const auto mirror = MirrorOfField(f)) {
        SetMirror(*mirror, GetField(f));
    }
    return true;
}

std::optional<Mirror> MirrorOfField(Field f) {
    return kFieldRows[static_cast<size_t>(f)].mirror;
}

int32_t FieldMin(Field f) {
    return FieldValue(f).Min();
}

int32_t FieldMax(Field f) {
    return FieldValue(f).Max();
}

std::string_view FieldName(Field f) {
    return kFieldRows[static_cast<size_t>(f)].name;
}

double GetReal(RealField f) {
    return radioState.reals[static_cast<size_t>(f)].Get();
}

bool SetReal(RealField f, double v) {
    radioState.reals[static_cast<size_t>(f)].Store(v);
    return true;
}

int32_t GetPE(int p1, int p2, int p3) {
    return KnownPE(p1, p2, p3) ? radioState.pe[p1][p2][p3].Get() : 0;
}

bool SetPE(int p1, int p2, int p3, int32_t v) {
    if (!KnownPE(p1, p2, p3)) {
        return false;
    }
    radioState.pe[p1][p2][p3].Store(v);
    return true;
}

bool StoreKeyerText(int channel, uint32_t declaredLength, const char* text) {
    if (channel < 1 || channel > kKeyerChannels) {
        return false;
    }
    return radioState.keyerTexts[static_cast<size_t>(channel - 1)].Store(declaredLength, text);
}

bool FetchKeyerText(int channel, uint32_t length, char* buffer) {
    if (channel < 1 || channel > kKeyerChannels) {
        return false;
    }
    return radioState.keyerTexts[static_cast<size_t>(channel - 1)].Fetch(length, buffer);
}

int32_t GetMenuItemCount() {
    return radioState.menuItemCount.Get();
}

bool SetMenuItemCount(int32_t count) {
    return radioState.menuItemCount.Store(count);
}

bool GetMenuItem(int32_t number, MenuItem* out) {
    if (out == nullptr) {
        return false;
    }
    std::lock_guard lock(radioState.menuMutex);
    if (!KnownMenuNumber(number)) {
        return false;
    }
    *out = radioState.menuItems[static_cast<size_t>(number - 1)];
    return true;
}

bool PutMenuItem(int32_t number, const MenuItem* in) {
    if (in == nullptr) {
        return false;
    }
    std::lock_guard lock(radioState.menuMutex);
    if (!KnownMenuNumber(number)) {
        return false;
    }
    radioState.menuItems[static_cast<size_t>(number - 1)] = *in;
    return true;
}

bool ReplaceMenuItemValue(int32_t number, int64_t v) {
    std::lock_guard lock(radioState.menuMutex);
    if (!KnownMenuNumber(number)) {
        return false;
    }
    MenuItem& item = radioState.menuItems[static_cast<size_t>(number - 1)];
    if (MenuValueToWhole(item.value) == v) {
        return false;
    }
    item.value = static_cast<double>(v);
    return true;
}

bool ClearMenuItemEdited(int32_t number) {
    std::lock_guard lock(radioState.menuMutex);
    if (!KnownMenuNumber(number)) {
        return false;
    }
    radioState.menuItems[static_cast<size_t>(number - 1)].edited = 0;
    return true;
}

int32_t MenuItemKind(int32_t number) {
    std::lock_guard lock(radioState.menuMutex);
    if (!KnownMenuNumber(number)) {
        return -1;
    }
    return static_cast<int32_t>(radioState.menuItems[static_cast<size_t>(number - 1)].kind);
}

bool MenuWidthCorrectionActive() {
    return GetField(Field::IDX) == 0 && GetField(Field::AI) != 0;
}

int MenuAnswerWidth(int32_t number) {
    uint32_t width = 0;
    uint32_t kind = 0;
    {
        std::lock_guard lock(radioState.menuMutex);
        if (!KnownMenuNumber(number)) {
            return -1;
        }
        const MenuItem& item = radioState.menuItems[static_cast<size_t>(number - 1)];
        width = item.width;
        kind = item.kind;
    }
    // Some equalizer frequency items answer one digit shorter while the transceiver has not
    // given an extended identification and reports automatically.
    if (MenuKindOf(kind).narrowing == MenuNarrowing::AnswerAndWrite && width > 0 &&
        MenuWidthCorrectionActive()) {
        --width;
    }
    return static_cast<int>(width);
}

double MenuValueOfKind(MenuKind kind) {
    std::lock_guard lock(radioState.menuMutex);
    const int32_t count = std::min(radioState.menuItemCount.Get(), kMaxMenuItemCount);
    for (int32_t i = 0; i < count; ++i) {
        if (radioState.menuItems[static_cast<size_t>(i)].kind == static_cast<uint32_t>(kind)) {
            return radioState.menuItems[static_cast<size_t>(i)].value;
        }
    }
    return kind == MenuKind::NotchWidth ? 0.0 : 1.0;
}

}  // namespace kestrel
