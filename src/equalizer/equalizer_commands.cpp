#include "equalizer/equalizer_commands.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/request_table.h"
#include "protocol/radio_state.h"

namespace kestrel {

namespace {

constexpr int kPeReadRow = FindReadRow("PE");
// The "PE" set command carries the same fields as the transceiver's answer, so it has the
// answer's length; the set table has no row for it.
constexpr int kPeAnswerRow = FindAnswerRow("PE");
static_assert(kPeReadRow >= 0 && kPeAnswerRow >= 0);
static_assert(CatReadTable[kPeReadRow].length == 6 && CatAnswerTable[kPeAnswerRow].length == 9,
              "\"PE\", three selector digits, a three-character value and \";\"");

bool Addressable(int mode, int valueIndex) {
    return (mode == 0 || mode == 1) && valueIndex >= 0 && valueIndex < kEqualizerValueCount;
}

// The selector digits of a "PE" command: the set ("0" normal, "2" processor), the band "0"-"2"
// and the parameter "0" frequency, "1" level, "2" bandwidth.
std::string PeSelectors(int mode, int valueIndex) {
    return {mode == 0 ? '0' : '2', static_cast<char>('0' + BandOfValue(valueIndex) - 1),
            static_cast<char>('0' + static_cast<int>(ParamOfValue(valueIndex)))};
}

// Returns a value in decimal, zero-padded to `width` digits (0: as many as it has).
std::string Digits(int32_t value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

std::string SignedMagnitude(int32_t value) {
    return (value < 0 ? "-" : "+") + Digits(std::abs(value), 2);
}

// The value field of the "EX" family. The frequency indexes of bands 1 and 2 never pass 9 and go
// as one digit, band 3's as two.
std::string MenuValueField(int valueIndex, int32_t value) {
    switch (ParamOfValue(valueIndex)) {
        case EqParam::Frequency:
            return Digits(value, BandOfValue(valueIndex) == 3 ? 2 : 0);
        case EqParam::Level:
            return SignedMagnitude(value);
        case EqParam::Bandwidth:
            return Digits(value, 2);
    }
    return {};
}

// The value field of the "PE" family: three digits, and a level of 0 is "000" rather than "+00".
std::string PeValueField(int valueIndex, int32_t value) {
    if (ParamOfValue(valueIndex) == EqParam::Level && value != 0) {
        return SignedMagnitude(value);
    }
    return Digits(value, 3);
}

CatCommand BuildText(std::string_view code, const std::string& parameter) {
    return BuildCommand(code, static_cast<int32_t>(code.size() + parameter.size() + 1), parameter);
}

}  // namespace

CatCommand EqualizerSetCommand(int mode, int32_t extendedId, int valueIndex, int32_t value) {
    if (!Addressable(mode, valueIndex) || !EqualizerValueValid(valueIndex, value)) {
        return {};
    }
    if (extendedId == 0) {
        return BuildText("EX", Digits(EqualizerMenuNumber(mode, valueIndex), 3) +
                                   MenuValueField(valueIndex, value));
    }
    return BuildCommand("PE", CatAnswerTable[kPeAnswerRow].length,
                        PeSelectors(mode, valueIndex) + PeValueField(valueIndex, value));
}

CatCommand EqualizerReadCommand(int mode, int32_t extendedId, int valueIndex) {
    if (!Addressable(mode, valueIndex)) {
        return {};
    }
    if (extendedId == 0) {
        return BuildFieldCommand("EX", 3, EqualizerMenuNumber(mode, valueIndex));
    }
    return BuildCommand(CatReadTable[kPeReadRow], PeSelectors(mode, valueIndex));
}

bool FindEqualizerItem(int mode, int valueIndex, MenuItem* out) {
    const uint32_t kind = EqualizerMenuKind(mode, valueIndex);
    if (kind == 0 || out == nullptr) {
        return false;
    }
    const int32_t count = GetMenuItemCount();
    for (int32_t number = 1; number <= count; ++number) {
        if (MenuItemKind(number) == static_cast<int32_t>(kind)) {
            return GetMenuItem(number, out);
        }
    }
    return false;
}

bool ReadEqualizerFromStore(int mode, int32_t extendedId, EqualizerValues& values) {
    if (mode != 0 && mode != 1) {
        return false;
    }
    bool changed = false;
    for (int i = 0; i < kEqualizerValueCount; ++i) {
        std::optional<int32_t> value;
        if (extendedId != 0) {
            const int32_t stored =
                GetPE(mode, BandOfValue(i) - 1, static_cast<int>(ParamOfValue(i)));
            if (EqualizerValueValid(i, stored)) {
                value = stored;
            }
        } else if (MenuItem item; FindEqualizerItem(mode, i, &item)) {
            value = EqualizerValueFromMenu(i, item.value);
        }
        if (value && *value != values[i]) {
            values[i] = *value;
            changed = true;
        }
    }
    return changed;
}

}  // namespace kestrel
