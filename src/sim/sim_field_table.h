#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "protocol/cat_catalogue.h"
#include "sim/sim_state.h"

namespace kestrel {

// How a simple command lays out its parameter.
enum class SimLayout : uint8_t {
    Plain,     // "XX" value ";"
    Selector,  // "XX" selector value ";"
};

// A command whose read answers one stored value and whose set (if any) writes it, in the same
// layout. Commands with a richer layout are handled one by one in the transceiver.
struct SimFieldRow {
    char code[3];
    SimLayout layout;
    int selectors;  // Selector layout: 1 accepts only "0", 2 accepts "0" and "1"
    int width;      // digits of the value
    int min;
    int max;
    bool hex;                            // the value is one hexadecimal digit
    bool settable;                       // false for values the radio only reports
    int SimState::*single;               // the value (Plain, or Selector with one selector)
    std::array<int, 2> SimState::*pair;  // the two values of a two-selector command
};

// clang-format off
inline constexpr std::array<SimFieldRow, 50> SimFieldTable = {{
    // code  layout               sel width  min       max       hex    settable single              pair
    {"RT", SimLayout::Plain,    0, 1,        0,        1, false, true,  &SimState::rt,      nullptr},
    {"XT", SimLayout::Plain,    0, 1,        0,        1, false, true,  &SimState::xt,      nullptr},
    {"SF", SimLayout::Plain,    0, 1,        0,        8, false, true,  &SimState::sf,      nullptr},
    {"BC", SimLayout::Selector, 1, 1,        0,        1, false, true,  &SimState::bc,      nullptr},
    {"MS", SimLayout::Plain,    0, 1,        0,        5, false, true,  &SimState::ms,      nullptr},
    {"NR", SimLayout::Selector, 2, 1,        0,        1, false, true,  nullptr,            &SimState::nr},
    {"FT", SimLayout::Plain,    0, 1,        0,        1, false, true,  &SimState::ft,      nullptr},
    {"FR", SimLayout::Plain,    0, 1,        0,        5, false, true,  &SimState::fr,      nullptr},
    {"LK", SimLayout::Plain,    0, 1,        0,        1, false, true,  &SimState::lk,      nullptr},
    {"FS", SimLayout::Plain,    0, 1,        0,        1, false, true,  &SimState::fs,      nullptr},
    {"VS", SimLayout::Plain,    0, 1,        0,        1, false, true,  &SimState::vs,      nullptr},
    {"NA", SimLayout::Selector, 2, 1,        0,        1, false, true,  nullptr,            &SimState::na},
    {"NB", SimLayout::Selector, 2, 1,        0,        2, false, true,  nullptr,            &SimState::nb},
    {"RF", SimLayout::Selector, 1, 1,        0,        6, false, true,  &SimState::rf,      nullptr},
    {"GT", SimLayout::Selector, 2, 1,        0,        6, false, true,  nullptr,            &SimState::gt},
    {"RA", SimLayout::Selector, 1, 1,        0,        3, false, true,  &SimState::ra,      nullptr},
    {"PA", SimLayout::Selector, 1, 1,        0,        2, false, true,  &SimState::pa,      nullptr},
    {"KR", SimLayout::Plain,    0, 1,        0,        1, false, true,  &SimState::kr,      nullptr},
    {"TS", SimLayout::Plain,    0, 1,        0,        1, false, true,  &SimState::ts,      nullptr},
    {"MX", SimLayout::Plain,    0, 1,        0,        1, false, true,  &SimState::mx,      nullptr},
    {"VX", SimLayout::Plain,    0, 1,        0,        1, false, true,  &SimState::vx,      nullptr},
    {"BI", SimLayout::Plain,    0, 1,        0,        1, false, true,  &SimState::bi,      nullptr},
    {"PR", SimLayout::Plain,    0, 1,        0,        2, false, true,  &SimState::pr,      nullptr},
    {"CS", SimLayout::Plain,    0, 1,        0,        1, false, true,  &SimState::cs,      nullptr},
    {"DP", SimLayout::Plain,    0, 1,        0,        6, false, true,  &SimState::dp,      nullptr},
    {"KP", SimLayout::Plain,    0, 2,        0,       15, false, true,  &SimState::kp,      nullptr},
    {"KS", SimLayout::Plain,    0, 3,        4,       60, false, true,  &SimState::ks,      nullptr},
    {"SD", SimLayout::Plain,    0, 4,       30,     3000, false, true,  &SimState::sd,      nullptr},
    {"NL", SimLayout::Selector, 2, 3,        0,      255, false, true,  nullptr,            &SimState::nl},
    {"MG", SimLayout::Plain,    0, 3,        0,      255, false, true,  &SimState::mg,      nullptr},
    {"PL", SimLayout::Plain,    0, 3,        0,      100, false, true,  &SimState::pl,      nullptr},
    {"VG", SimLayout::Plain,    0, 3,        0,      100, false, true,  &SimState::vg,      nullptr},
    {"VD", SimLayout::Plain,    0, 4,       30,     3000, false, true,  &SimState::vd,      nullptr},
    {"SQ", SimLayout::Selector, 2, 3,        0,      255, false, true,  nullptr,            &SimState::sq},
    {"AG", SimLayout::Selector, 2, 3,        0,      255, false, true,  nullptr,            &SimState::ag},
    {"RG", SimLayout::Selector, 2, 3,        0,      255, false, true,  nullptr,            &SimState::rg},
    {"SH", SimLayout::Selector, 1, 2,        0,       20, false, true,  &SimState::sh,      nullptr},
    {"RL", SimLayout::Selector, 1, 2,        1,       15, false, true,  &SimState::rl,      nullptr},
    {"FA", SimLayout::Plain,    0, 8,    30000, 60000000, false, true,  &SimState::fa,      nullptr},
    {"FB", SimLayout::Plain,    0, 8,    30000, 60000000, false, true,  &SimState::fb,      nullptr},
    {"SC", SimLayout::Plain,    0, 1,        0,        2, false, true,  &SimState::sc,      nullptr},
    {"UL", SimLayout::Plain,    0, 1,        0,        1, false, false, &SimState::ul,      nullptr},
    {"CN", SimLayout::Selector, 2, 2,        0,       49, false, true,  nullptr,            &SimState::cn},
    {"CT", SimLayout::Selector, 2, 1,        0,        2, false, true,  nullptr,            &SimState::ct},
    {"MC", SimLayout::Plain,    0, 3,        1,      117, false, true,  &SimState::mc,      nullptr},
    {"OS", SimLayout::Selector, 2, 1,        0,        2, false, true,  nullptr,            &SimState::os},
    {"PC", SimLayout::Plain,    0, 3,        5,      100, false, true,  &SimState::pc,      nullptr},
    {"RS", SimLayout::Plain,    0, 1,        0,        2, false, false, &SimState::rs,      nullptr},
    {"MD", SimLayout::Selector, 2, 1,        1,       12, true,  true,  nullptr,            &SimState::md},
    {"DS", SimLayout::Plain,    0, 1,        0,        1, false, true,  &SimState::ds,      nullptr},
}};
// clang-format on

// Returns the length of a simple command's set command and answer, ";" included.
constexpr int SimFieldLength(const SimFieldRow& row) {
    return 2 + (row.layout == SimLayout::Selector ? 1 : 0) + row.width + 1;
}

// Reports whether every row's layout gives the catalogued answer length and, for a settable
// row, the catalogued set length; DS has a set row only.
constexpr bool SimFieldTableMatchesCatalogue() {
    for (const SimFieldRow& row : SimFieldTable) {
        const std::string_view code(row.code, 2);
        const int answer = FindAnswerRow(code);
        const int set = FindSetRow(code);
        if (answer < 0 && set < 0) {
            return false;
        }
        if (answer >= 0 &&
            CatAnswerTable[static_cast<size_t>(answer)].length != SimFieldLength(row)) {
            return false;
        }
        if (row.settable &&
            (set < 0 || CatSetTable[static_cast<size_t>(set)].length != SimFieldLength(row))) {
            return false;
        }
        if ((row.single == nullptr) == (row.pair == nullptr)) {
            return false;
        }
    }
    return true;
}
static_assert(SimFieldTableMatchesCatalogue(), "simple command layouts must match the catalogue");

// Returns the simple command row of a two-letter code, or nullptr.
constexpr const SimFieldRow* FindSimField(std::string_view code) {
    for (const SimFieldRow& row : SimFieldTable) {
        if (code.size() == 2 && row.code[0] == code[0] && row.code[1] == code[1]) {
            return &row;
        }
    }
    return nullptr;
}

}  // namespace kestrel
