#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kestrel {

// A row of the set table: a code the program sends as a set command, and that command's length.
struct CatSetRow {
    char code[4];    // two upper-case letters, NUL-padded
    int32_t middle;  // always 0
    int32_t length;  // the whole command, code and ";" included
};

// A row of the read table: a code the polling cycle reads, how it reads it, and the read length.
struct CatReadRow {
    char code[4];
    int32_t kind;  // ReadKind: how the read command's parameter is formed
    int32_t length;
};

// A row of the answer table: a code the transceiver answers with, the notification the analysis
// thread posts once such an answer is stored, and the answer's length.
struct CatAnswerRow {
    char code[4];
    uint32_t notification;
    int32_t length;
};

// The read kinds of the read table.
inline constexpr int32_t kReadPlain = 0;     // "XX;"
inline constexpr int32_t kReadZero = 1;      // "XX0;"
inline constexpr int32_t kReadTwoBanks = 2;  // "XX0;" then "XX1;", 25 ms apart
inline constexpr int32_t kReadOwnParam = 3;  // a parameter of its own, chosen by the reader

// The longest command a ring slot carries, its ";" included.
inline constexpr int32_t kCatMaxCommandLength = 511;

// clang-format off
inline constexpr std::array<CatSetRow, 85> CatSetTable = {{
    // code  middle  length
    {"BS", 0,  5},
    {"RT", 0,  4},
    {"XT", 0,  4},
    {"SF", 0,  4},
    {"BP", 0,  8},
    {"BC", 0,  5},
    {"CO", 0,  7},
    {"MS", 0,  4},
    {"NR", 0,  5},
    {"FT", 0,  4},
    {"FR", 0,  4},
    {"LK", 0,  4},
    {"FS", 0,  4},
    {"VS", 0,  4},
    {"NA", 0,  5},
    {"NB", 0,  5},
    {"RF", 0,  5},
    {"GT", 0,  5},
    {"RA", 0,  5},
    {"PA", 0,  5},
    {"KR", 0,  4},
    {"TS", 0,  4},
    {"AN", 0,  5},
    {"AC", 0,  6},
    {"MX", 0,  4},
    {"VX", 0,  4},
    {"BI", 0,  4},
    {"PR", 0,  4},
    {"ML", 0,  7},
    {"CS", 0,  4},
    {"DP", 0,  4},
    {"KP", 0,  5},
    {"KS", 0,  6},
    {"SD", 0,  7},
    {"NL", 0,  7},
    {"MG", 0,  6},
    {"PL", 0,  6},
    {"VG", 0,  6},
    {"VD", 0,  7},
    {"SQ", 0,  7},
    {"AG", 0,  7},
    {"RG", 0,  7},
    {"VF", 0,  7},
    {"IS", 0,  9},
    {"SH", 0,  6},
    {"RL", 0,  6},
    {"FA", 0, 11},
    {"FB", 0, 11},
    {"RO", 0,  4},
    {"SC", 0,  4},
    {"TX", 0,  4},
    {"AI", 0,  4},
    {"CN", 0,  6},
    {"CT", 0,  5},
    {"KM", 0, 54},
    {"MC", 0,  6},
    {"OS", 0,  5},
    {"PB", 0,  5},
    {"PC", 0,  6},
    {"MD", 0,  5},
    {"PS", 0,  4},
    {"AB", 0,  3},
    {"AM", 0,  3},
    {"BD", 0,  4},
    {"BU", 0,  4},
    {"CH", 0,  4},
    {"ED", 0,  6},
    {"EU", 0,  6},
    {"FK", 0,  4},
    {"KY", 0,  4},
    {"QI", 0,  3},
    {"QR", 0,  3},
    {"QS", 0,  3},
    {"RC", 0,  3},
    {"RD", 0,  7},
    {"RU", 0,  7},
    {"SV", 0,  3},
    {"VM", 0,  3},
    {"MA", 0,  3},
    {"MK", 0,  4},
    {"LM", 0,  5},
    {"IF", 0, 27},
    {"OI", 0, 27},
    {"DS", 0,  4},
    {"KC", 0,  6},
}};

inline constexpr std::array<CatReadRow, 73> CatReadTable = {{
    // code  kind  length
    {"ID", 3,  3},
    {"RT", 0,  3},
    {"XT", 0,  3},
    {"SF", 0,  3},
    {"BP", 3,  5},
    {"BC", 1,  4},
    {"CO", 3,  5},
    {"MS", 0,  3},
    {"NR", 1,  4},
    {"FT", 0,  3},
    {"FR", 0,  3},
    {"LK", 0,  3},
    {"FS", 0,  3},
    {"VS", 0,  3},
    {"NA", 1,  4},
    {"NB", 1,  4},
    {"RF", 1,  4},
    {"GT", 1,  4},
    {"RA", 1,  4},
    {"PA", 1,  4},
    {"KR", 0,  3},
    {"TS", 0,  3},
    {"AN", 1,  4},
    {"AC", 0,  3},
    {"MX", 0,  3},
    {"VX", 0,  3},
    {"BI", 0,  3},
    {"PR", 0,  3},
    {"ML", 2,  4},
    {"CS", 0,  3},
    {"DP", 0,  3},
    {"RM", 3,  4},
    {"KP", 0,  3},
    {"KS", 0,  3},
    {"SD", 0,  3},
    {"NL", 1,  4},
    {"MG", 0,  3},
    {"PL", 0,  3},
    {"VG", 0,  3},
    {"VD", 0,  3},
    {"SQ", 1,  4},
    {"AG", 1,  4},
    {"RG", 1,  4},
    {"IF", 0,  3},
    {"VF", 1,  4},
    {"IS", 1,  4},
    {"SH", 1,  4},
    {"RL", 1,  4},
    {"BY", 0,  3},
    {"FA", 0,  3},
    {"FB", 0,  3},
    {"RO", 0,  3},
    {"SC", 0,  3},
    {"SM", 1,  4},
    {"TX", 0,  3},
    {"UL", 0,  3},
    {"AI", 0,  3},
    {"CN", 1,  4},
    {"CT", 1,  4},
    {"KM", 3,  4},
    {"MC", 0,  3},
    {"OI", 0,  3},
    {"OS", 1,  4},
    {"PB", 1,  4},
    {"PC", 0,  3},
    {"RS", 0,  3},
    {"MD", 1,  4},
    {"PS", 0,  3},
    {"RI", 3,  4},
    {"BG", 3,  4},
    {"LM", 1,  4},
    {"PE", 3,  6},
    {"KC", 1,  4},
}};

// The range of the notifications: every answer code has its own number within it.
inline constexpr uint32_t kFirstNotification = 0x8302;
inline constexpr uint32_t kLastNotification = 0x8355;

inline constexpr std::array<CatAnswerRow, 75> CatAnswerTable = {{
    // code  notification  length
    {"ID", 0x8344,  7},
    {"RT", 0x8302,  4},
    {"XT", 0x8303,  4},
    {"SF", 0x8304,  4},
    {"BP", 0x8305,  8},
    {"BC", 0x8306,  5},
    {"CO", 0x8307,  7},
    {"MS", 0x8346,  4},
    {"NR", 0x8308,  5},
    {"FT", 0x8309,  4},
    {"FR", 0x830A,  4},
    {"LK", 0x830C,  4},
    {"FS", 0x830D,  4},
    {"VS", 0x830E,  4},
    {"NA", 0x830F,  5},
    {"NB", 0x8310,  5},
    {"RF", 0x8311,  5},
    {"GT", 0x8312,  5},
    {"RA", 0x8313,  5},
    {"PA", 0x8314,  5},
    {"KR", 0x8315,  4},
    {"TS", 0x8316,  4},
    {"AN", 0x8317,  6},
    {"AC", 0x8318,  6},
    {"MX", 0x831A,  4},
    {"VX", 0x831B,  4},
    {"BI", 0x831C,  4},
    {"PR", 0x831D,  4},
    {"ML", 0x831E,  7},
    {"CS", 0x831F,  4},
    {"DP", 0x8320,  4},
    {"RM", 0x8321,  7},
    {"KP", 0x8322,  5},
    {"KS", 0x8323,  6},
    {"SD", 0x8324,  7},
    {"NL", 0x8325,  7},
    {"MG", 0x8326,  6},
    {"PL", 0x8327,  6},
    {"VG", 0x8328,  6},
    {"VD", 0x8329,  7},
    {"SQ", 0x832A,  7},
    {"AG", 0x832B,  7},
    {"RG", 0x832C,  7},
    {"IF", 0x832D, 27},
    {"VF", 0x832E,  9},
    {"IS", 0x832F,  9},
    {"SH", 0x8330,  6},
    {"RL", 0x8331,  6},
    {"BY", 0x8332,  5},
    {"FA", 0x8333, 11},
    {"FB", 0x8334, 11},
    {"RO", 0x8335, 10},
    {"SC", 0x8336,  4},
    {"SM", 0x8337,  7},
    {"TX", 0x8338,  4},
    {"UL", 0x8339,  4},
    {"AI", 0x833A,  4},
    {"CN", 0x833B,  6},
    {"CT", 0x833C,  5},
    {"KM", 0x833D, 54},
    {"MC", 0x833E,  6},
    {"OI", 0x833F, 27},
    {"OS", 0x8340,  5},
    {"PB", 0x8341,  5},
    {"PC", 0x8342,  6},
    {"RS", 0x8343,  4},
    {"MD", 0x8345,  5},
    {"PS", 0x8347,  4},
    {"RI", 0x8348,  5},
    {"BG", 0x834D,  6},
    {"LM", 0x834E,  5},
    {"PE", 0x834F,  9},
    {"KC", 0x8353,  5},
    {"DA", 0x8354,  7},
    {"MR", 0x8355, 27},
}};

// The menu answer row stands apart: its length depends on the menu item it answers for.
inline constexpr CatAnswerRow CatMenuAnswerRow = {"EX", 0x830B, 0};
// clang-format on

// Reports whether a row's code is the two letters c0 c1.
constexpr bool CodeIs(const char (&code)[4], char c0, char c1) {
    return code[0] == c0 && code[1] == c1;
}

// Returns the index of the first answer row with code c0 c1, or -1 when the code has none.
constexpr int FindAnswerRow(char c0, char c1) {
    for (size_t i = 0; i < CatAnswerTable.size(); ++i) {
        if (CodeIs(CatAnswerTable[i].code, c0, c1)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Returns the index of the answer row for a two-letter code, or -1.
constexpr int FindAnswerRow(std::string_view code) {
    return code.size() == 2 ? FindAnswerRow(code[0], code[1]) : -1;
}

// Returns the index of the set row for a two-letter code, or -1.
constexpr int FindSetRow(std::string_view code) {
    for (size_t i = 0; code.size() == 2 && i < CatSetTable.size(); ++i) {
        if (CodeIs(CatSetTable[i].code, code[0], code[1])) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Returns the index of the read row for a two-letter code, or -1.
constexpr int FindReadRow(std::string_view code) {
    for (size_t i = 0; code.size() == 2 && i < CatReadTable.size(); ++i) {
        if (CodeIs(CatReadTable[i].code, code[0], code[1])) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Returns the notification posted after an answer of the code is stored ("EX" included), or 0.
constexpr uint32_t AnswerNotification(std::string_view code) {
    if (code == std::string_view(CatMenuAnswerRow.code)) {
        return CatMenuAnswerRow.notification;
    }
    int row = FindAnswerRow(code);
    return row < 0 ? 0 : CatAnswerTable[row].notification;
}

// A command ready to queue: the built bytes and how many of them are sent.
struct CatCommand {
    std::array<char, kCatMaxCommandLength + 1> bytes{};
    int32_t length = 0;

    // Returns the bytes that are queued.
    std::string_view Text() const { return {bytes.data(), static_cast<size_t>(length)}; }
};

// Builds a command of the given catalogued length: code, parameter, and ";" at length-1. A
// parameter longer than the field is cut to it; a shorter one leaves NUL bytes, as the field
// width is the caller's to fill. Returns length 0 for a length outside 3..511.
CatCommand BuildCommand(std::string_view code, int32_t length, std::string_view parameter);
// Builds the set command of a set row with its parameter.
CatCommand BuildCommand(const CatSetRow& row, std::string_view parameter);
// Builds the read command of a read row with its parameter ("" for kind 0, "0" for kind 1).
CatCommand BuildCommand(const CatReadRow& row, std::string_view parameter);

}  // namespace kestrel
