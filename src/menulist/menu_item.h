#pragma once

#include <cstdint>

namespace kestrel {

inline constexpr int kMenuNameSize = 21;
inline constexpr int kMenuRangeTextSize = 103;
inline constexpr int kMenuUnitSize = 11;
inline constexpr int kMenuMaxChoices = 40;
inline constexpr int kMenuChoiceSize = 21;

// One transceiver menu setting as the store keeps it. The record is always copied whole.
struct MenuItem {
    uint32_t number = 0;                      // menu number, 1 to 118
    char name[kMenuNameSize] = {};            // user name, NUL-terminated
    char rangeText[kMenuRangeTextSize] = {};  // text of the SETTING RANGE column
    double value = 0.0;                       // current setting
    uint32_t width = 0;                       // characters of the value in the "EX" command
    uint8_t hasUnit = 0;                      // 1 when unit is shown after the value
    char unit[kMenuUnitSize] = {};            // unit text
    uint32_t kind = 0;         // value kind (MenuKind): how the value is shown, edited and encoded
    double maxValue = 0.0;     // numeric maximum
    double minValue = 0.0;     // numeric minimum
    double step = 0.0;         // numeric step
    uint32_t choiceCount = 0;  // entries used in choices
    char choices[kMenuMaxChoices][kMenuChoiceSize] = {};  // choice texts, NUL-terminated
    uint8_t edited = 0;        // 1 while an operator's change waits to be sent
    double editedValue = 0.0;  // the value the operator chose
};

// Turns a menu value into a whole number the way every comparison with an integer does: print it
// with six decimals and keep the integer part, so 2.9999999 counts as 3.
int64_t MenuValueToWhole(double value);

}  // namespace kestrel
