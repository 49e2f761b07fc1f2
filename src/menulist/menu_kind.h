#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace kestrel {

// The kinds of menu value, numbered as the `kind` field of MenuItem holds them.
enum class MenuKind : uint32_t {
    Number = 0,              // whole number from minValue to maxValue by step
    Choice = 1,              // index into the choices
    SignedNumber = 4,        // signed whole number
    NegativeNumber = 8,      // magnitude of a negative number (30 means -30)
    Tenths = 9,              // tenths (25 means 2.5)
    Kilohertz = 10,          // kilohertz shown in megahertz (1800 means 1.800)
    ContourLevel = 11,       // signed whole number; the contour display inverts below 0
    NotchWidth = 12,         // the notch display's width; no catalogue item has this kind
    FirstChoiceAt1000 = 13,  // 1000 means the first choice, otherwise a number with the second
    Bits = 14,               // set of bits: choice i is bit 0x1000 shifted right by i
    SMeterHold = 15,         // peak hold of the S meter: index into the choices
    OffOrNumber = 16,        // 0 means the first choice, otherwise a number from the range
    // Equalizer bandwidths, levels (signed) and frequencies (index into the choices): bands 1 to
    // 3 of the normal equalizer, then bands 1 to 3 of the processor equalizer.
    Eq1Bandwidth = 19,
    Eq2Bandwidth = 20,
    Eq3Bandwidth = 21,
    ProcEq1Bandwidth = 22,
    ProcEq2Bandwidth = 23,
    ProcEq3Bandwidth = 24,
    Eq1Level = 25,
    Eq2Level = 26,
    Eq3Level = 27,
    ProcEq1Level = 28,
    ProcEq2Level = 29,
    ProcEq3Level = 30,
    Eq1Frequency = 31,
    Eq2Frequency = 32,
    Eq3Frequency = 33,
    ProcEq1Frequency = 34,
    ProcEq2Frequency = 35,
    ProcEq3Frequency = 36,
    // Peak holds of the PO, ALC and ID meters: index into the choices.
    PoMeterHold = 37,
    AlcMeterHold = 38,
    IdMeterHold = 39,
    BarDisplay = 40,    // what the tuning bar shows: index into the choices
    OffOrSeconds = 41,  // 0 means the first choice; 1-240 seconds, 241-255 stand for 270-690
};

// How the menu list shows a value (setting text, v the value, n v as a whole number) and which
// setting dialog edits it. Every form but Bit is edited in the drop-down dialog, whose entries
// follow the same form; a numeric range is minValue to maxValue by step.
enum class MenuShow : uint8_t {
    Number,             // " %d" of n; entries: each number of the range
    Negated,            // " %d" of -n; entries: -minValue to -maxValue by step
    Tenths,             // " %.1f" of v x 0.1; entries: the range x 0.1
    Thousandths,        // " %.3f" of v x 0.001; entries: the range x 0.001
    FirstChoiceAt1000,  // 1000: the first choice, else "second choice(n)"; entries likewise
    Bit,                // one choice and ON or OFF by its bit; edited with one check box a bit
    OffOrNumber,        // 0: the first choice, else n; entries: the first choice, then the range
    OffOrSeconds,       // as OffOrNumber, n of 241-255 shown as (3n - 696) x 10 seconds
    Choice,             // the choice n indexes, else " ????????????"; entries: the choices
};

// How the value field of an "EX" answer is read.
enum class MenuAnswerField : uint8_t {
    Decimal,  // a decimal number, "+" or "-" allowed in front
    Bits,     // one "1" or "0" a bit, the first weighing 4096
    Seconds,  // a decimal number; above 240 it counts 30-second steps, so 241 means 270
};

// How the value field of an "EX" write is formed from the edited value.
enum class MenuWriteField : uint8_t {
    Digits,  // the whole number right-aligned; a negative value leaves the field all "0"
    Signed,  // "+" or "-", then the magnitude right-aligned (a full-width one covers the sign)
    Bits,    // one "1" or "0" a bit, from bit 12 down
    Zeros,   // the field stays all "0"
};

// Where the value field is one character narrower while the width correction applies (no
// extended identification, automatic information on). Writes narrow more kinds than answers do.
enum class MenuNarrowing : uint8_t {
    None,
    WriteOnly,
    AnswerAndWrite,
};

// What each kind of menu value means to the menu list, the analysis of "EX" answers, the "EX"
// writes and the displays.
struct MenuKindProperties {
    MenuKind kind;
    MenuShow show;
    bool unitDroppedWhenOff;  // no unit after the first choice, nor after " ????????????"
    MenuAnswerField answer;
    MenuWriteField write;
    MenuNarrowing narrowing;
    std::string_view alsoNotifies;  // answer code whose notification a changed value also posts
};

namespace menu_kind_rows {
using K = MenuKind;
using S = MenuShow;
using A = MenuAnswerField;
using W = MenuWriteField;
using N = MenuNarrowing;
// clang-format off
inline constexpr std::array<MenuKindProperties, 35> kRows{{
    // kind                  shown as              no unit  answer      write       narrowing          also
    {K::Number,            S::Number,            false,   A::Decimal, W::Digits,  N::None,           ""},
    {K::Choice,            S::Choice,            false,   A::Decimal, W::Digits,  N::None,           ""},
    {K::SignedNumber,      S::Number,            false,   A::Decimal, W::Signed,  N::None,           ""},
    {K::NegativeNumber,    S::Negated,           false,   A::Decimal, W::Digits,  N::None,           ""},
    {K::Tenths,            S::Tenths,            false,   A::Decimal, W::Digits,  N::None,           ""},
    {K::Kilohertz,         S::Thousandths,       false,   A::Decimal, W::Digits,  N::None,           ""},
    {K::ContourLevel,      S::Number,            false,   A::Decimal, W::Signed,  N::None,           "CO"},
    {K::NotchWidth,        S::Choice,            false,   A::Decimal, W::Zeros,   N::None,           "BP"},
    {K::FirstChoiceAt1000, S::FirstChoiceAt1000, false,   A::Decimal, W::Digits,  N::None,           ""},
    {K::Bits,              S::Bit,               false,   A::Bits,    W::Bits,    N::None,           ""},
    {K::SMeterHold,        S::Choice,            false,   A::Decimal, W::Digits,  N::None,           "SM"},
    {K::OffOrNumber,       S::OffOrNumber,       true,    A::Decimal, W::Digits,  N::None,           ""},
    {K::Eq1Bandwidth,      S::Number,            false,   A::Decimal, W::Digits,  N::None,           ""},
    {K::Eq2Bandwidth,      S::Number,            false,   A::Decimal, W::Digits,  N::None,           ""},
    {K::Eq3Bandwidth,      S::Number,            false,   A::Decimal, W::Digits,  N::None,           ""},
    {K::ProcEq1Bandwidth,  S::Number,            false,   A::Decimal, W::Digits,  N::None,           ""},
    {K::ProcEq2Bandwidth,  S::Number,            false,   A::Decimal, W::Digits,  N::None,           ""},
    {K::ProcEq3Bandwidth,  S::Number,            false,   A::Decimal, W::Digits,  N::None,           ""},
    {K::Eq1Level,          S::Number,            false,   A::Decimal, W::Signed,  N::None,           ""},
    {K::Eq2Level,          S::Number,            false,   A::Decimal, W::Signed,  N::None,           ""},
    {K::Eq3Level,          S::Number,            false,   A::Decimal, W::Signed,  N::None,           ""},
    {K::ProcEq1Level,      S::Number,            false,   A::Decimal, W::Signed,  N::None,           ""},
    {K::ProcEq2Level,      S::Number,            false,   A::Decimal, W::Signed,  N::None,           ""},
    {K::ProcEq3Level,      S::Number,            false,   A::Decimal, W::Signed,  N::None,           ""},
    {K::Eq1Frequency,      S::Choice,            true,    A::Decimal, W::Digits,  N::WriteOnly,      ""},
    {K::Eq2Frequency,      S::Choice,            true,    A::Decimal, W::Digits,  N::AnswerAndWrite, ""},
    {K::Eq3Frequency,      S::Choice,            true,    A::Decimal, W::Digits,  N::None,           ""},
    {K::ProcEq1Frequency,  S::Choice,            true,    A::Decimal, W::Digits,  N::WriteOnly,      ""},
    {K::ProcEq2Frequency,  S::Choice,            true,    A::Decimal, W::Digits,  N::AnswerAndWrite, ""},
    {K::ProcEq3Frequency,  S::Choice,            true,    A::Decimal, W::Digits,  N::None,           ""},
    {K::PoMeterHold,       S::Choice,            false,   A::Decimal, W::Digits,  N::None,           "RM"},
    {K::AlcMeterHold,      S::Choice,            false,   A::Decimal, W::Digits,  N::None,           "RM"},
    {K::IdMeterHold,       S::Choice,            false,   A::Decimal, W::Digits,  N::None,           "RM"},
    {K::BarDisplay,        S::Choice,            false,   A::Decimal, W::Digits,  N::None,           ""},
    {K::OffOrSeconds,      S::OffOrSeconds,      true,    A::Seconds, W::Digits,  N::None,           ""},
}};
// clang-format on
}  // namespace menu_kind_rows

// The properties of every kind the catalogue and the displays use, in the order of their numbers.
inline constexpr const auto& kMenuKinds = menu_kind_rows::kRows;

// Reports whether `kind` is one of the kinds of the table.
constexpr bool IsListedMenuKind(uint32_t kind) {
    for (const MenuKindProperties& row : kMenuKinds) {
        if (static_cast<uint32_t>(row.kind) == kind) {
            return true;
        }
    }
    return false;
}

// Returns the properties of `kind`. A kind outside the table is read as a decimal number, written
// as a field of zeros, shown as a choice list, never narrowed and raises no extra notification.
constexpr MenuKindProperties MenuKindOf(uint32_t kind) {
    for (const MenuKindProperties& row : kMenuKinds) {
        if (static_cast<uint32_t>(row.kind) == kind) {
            return row;
        }
    }
    return {.kind = static_cast<MenuKind>(kind),
            .show = MenuShow::Choice,
            .unitDroppedWhenOff = false,
            .answer = MenuAnswerField::Decimal,
            .write = MenuWriteField::Zeros,
            .narrowing = MenuNarrowing::None,
            .alsoNotifies = {}};
}

// Checks the rows against each other: kinds in rising order, the three bit-set columns together,
// the seconds reading only with the seconds display, signs only on numbers, narrowing only on
// choice lists, and the unit dropped only where the setting can show a first choice.
constexpr bool MenuKindRowsAgree() {
    for (size_t i = 0; i < kMenuKinds.size(); ++i) {
        const MenuKindProperties& row = kMenuKinds[i];
        if (i > 0 &&
            static_cast<uint32_t>(kMenuKinds[i - 1].kind) >= static_cast<uint32_t>(row.kind)) {
            return false;
        }
        const bool bitShow = row.show == MenuShow::Bit;
        if (bitShow != (row.answer == MenuAnswerField::Bits) ||
            bitShow != (row.write == MenuWriteField::Bits)) {
            return false;
        }
        if ((row.answer == MenuAnswerField::Seconds) != (row.show == MenuShow::OffOrSeconds)) {
            return false;
        }
        if (row.write == MenuWriteField::Signed && row.show != MenuShow::Number) {
            return false;
        }
        if (row.narrowing != MenuNarrowing::None && row.show != MenuShow::Choice) {
            return false;
        }
        if (row.unitDroppedWhenOff && row.show != MenuShow::OffOrNumber &&
            row.show != MenuShow::OffOrSeconds && row.show != MenuShow::Choice) {
            return false;
        }
    }
    return true;
}
static_assert(MenuKindRowsAgree(), "menu kind rows must agree with each other");

}  // namespace kestrel
