#include "engine/request_table.h"

#include <algorithm>
#include <cstring>

namespace kestrel {

namespace {

using F = RequestForm;
using M = Mirror;
constexpr Mirror kNoToggle = Mirror::Count;

// clang-format off
constexpr std::array<RequestCommand, kRequestCount> kCommands = {{
    // no. form              text     width tail   toggle
    {1,   F::Own,            "AI",    0, "",       kNoToggle},
    {2,   F::Own,            "PS",    0, "",       kNoToggle},
    {3,   F::Toggle,         "DS",    0, "",       M::DS},
    {4,   F::Toggle,         "MX",    0, "",       M::MX},
    {5,   F::Toggle,         "VX",    0, "",       M::VX},
    {6,   F::Field,          "AC00",  1, "",       kNoToggle},
    {7,   F::Choice,         "AN0",   0, "12",     kNoToggle},
    {8,   F::Fixed,          "AN05;", 0, "",       kNoToggle},
    {9,   F::Own,            "ML",    0, "",       kNoToggle},
    {10,  F::Field,          "PR",    1, "",       kNoToggle},
    {11,  F::Toggle,         "KR",    0, "",       M::KR},
    {12,  F::Field,          "RA0",   1, "",       kNoToggle},
    {13,  F::Choice,         "PA0",   0, "120",    kNoToggle},
    {14,  F::Field,          "RF0",   1, "",       kNoToggle},
    {15,  F::SelectorChoice, "GT",    0, "041",    kNoToggle},
    {16,  F::SelectorField,  "NB",    1, "",       kNoToggle},
    {17,  F::Toggle,         "BI",    0, "",       M::BI},
    {18,  F::Toggle,         "CS",    0, "",       M::CS},
    {19,  F::Fixed,          "VS0;",  0, "",       kNoToggle},
    {20,  F::Fixed,          "VS1;",  0, "",       kNoToggle},
    {21,  F::Fixed,          "MK0;",  0, "",       kNoToggle},
    {22,  F::Fixed,          "MK1;",  0, "",       kNoToggle},
    {23,  F::Fixed,          "MK2;",  0, "",       kNoToggle},
    {24,  F::Fixed,          "MK3;",  0, "",       kNoToggle},
    {25,  F::Fixed,          "MK5;",  0, "",       kNoToggle},
    {26,  F::Fixed,          "MK6;",  0, "",       kNoToggle},
    {27,  F::Fixed,          "QI;",   0, "",       kNoToggle},
    {28,  F::Fixed,          "QR;",   0, "",       kNoToggle},
    {29,  F::SelectorToggle, "NA",    0, "",       M::NA0},
    {30,  F::Own,            "FT",    0, "",       kNoToggle},
    {31,  F::Field,          "TS",    1, "",       kNoToggle},
    {32,  F::Own,            "FR",    0, "",       kNoToggle},
    {33,  F::Fixed,          "FT0;",  0, "",       kNoToggle},
    {34,  F::Toggle,         "FS",    0, "",       M::FS},
    {35,  F::Toggle,         "LK",    0, "",       M::LK},
    {36,  F::Fixed,          "AB;",   0, "",       kNoToggle},
    {37,  F::Fixed,          "SV;",   0, "",       kNoToggle},
    {38,  F::Fixed,          "VM;",   0, "",       kNoToggle},
    {39,  F::Fixed,          "MA;",   0, "",       kNoToggle},
    {40,  F::Fixed,          "AM;",   0, "",       kNoToggle},
    {41,  F::Own,            "EX",    0, "",       kNoToggle},
    {42,  F::Fixed,          "BS10;", 0, "",       kNoToggle},
    {43,  F::Fixed,          "BS00;", 0, "",       kNoToggle},
    {44,  F::Fixed,          "BS01;", 0, "",       kNoToggle},
    {45,  F::Fixed,          "BS03;", 0, "",       kNoToggle},
    {46,  F::Fixed,          "BS04;", 0, "",       kNoToggle},
    {47,  F::Fixed,          "BS05;", 0, "",       kNoToggle},
    {48,  F::Fixed,          "BS06;", 0, "",       kNoToggle},
    {49,  F::Fixed,          "BS07;", 0, "",       kNoToggle},
    {50,  F::Fixed,          "BS08;", 0, "",       kNoToggle},
    {51,  F::Fixed,          "BS09;", 0, "",       kNoToggle},
    {52,  F::Fixed,          "BS11;", 0, "",       kNoToggle},
    {53,  F::Toggle,         "RT",    0, "",       M::RT},
    {54,  F::Toggle,         "XT",    0, "",       M::XT},
    {55,  F::Fixed,          "RC;",   0, "",       kNoToggle},
    {56,  F::SelectorField,  "VF",    1, "00",     kNoToggle},
    {57,  F::Field,          "KC04",  1, "",       kNoToggle},
    {58,  F::Toggle,         "BC0",   0, "",       M::BC},
    {59,  F::Field,          "KC03",  1, "",       kNoToggle},
    {60,  F::Toggle,         "NR0",   0, "",       M::NR},
    {61,  F::Own,            "FR",    0, "",       kNoToggle},
    {62,  F::Fixed,          "FT1;",  0, "",       kNoToggle},
    {63,  F::Fixed,          "SF0;",  0, "",       kNoToggle},
    {64,  F::Fixed,          "SF1;",  0, "",       kNoToggle},
    {65,  F::Fixed,          "SF2;",  0, "",       kNoToggle},
    {66,  F::Fixed,          "SF3;",  0, "",       kNoToggle},
    {67,  F::Fixed,          "SF4;",  0, "",       kNoToggle},
    {68,  F::Fixed,          "SF5;",  0, "",       kNoToggle},
    {69,  F::Fixed,          "SF6;",  0, "",       kNoToggle},
    {70,  F::Fixed,          "SF7;",  0, "",       kNoToggle},
    {71,  F::Fixed,          "FK1;",  0, "",       kNoToggle},
    {72,  F::Fixed,          "FK2;",  0, "",       kNoToggle},
    {73,  F::Fixed,          "FK3;",  0, "",       kNoToggle},
    {74,  F::Fixed,          "FK4;",  0, "",       kNoToggle},
    {75,  F::Fixed,          "FK5;",  0, "",       kNoToggle},
    {76,  F::Fixed,          "FK6;",  0, "",       kNoToggle},
    {77,  F::Fixed,          "FK7;",  0, "",       kNoToggle},
    {78,  F::Field,          "DP",    1, "",       kNoToggle},
    {79,  F::Own,            "EU0",   2, "",       kNoToggle},
    {80,  F::Own,            "EU1",   2, "",       kNoToggle},
    {81,  F::Own,            "FA",    8, "",       kNoToggle},
    {82,  F::Own,            "FB",    8, "",       kNoToggle},
    {83,  F::Own,            "RU",    4, "",       kNoToggle},
    {84,  F::Own,            "VF",    1, "",       kNoToggle},
    {85,  F::Field,          "MS",    1, "",       kNoToggle},
    {86,  F::Field,          "ML1",   3, "",       kNoToggle},
    {87,  F::Field,          "PL",    3, "",       kNoToggle},
    {88,  F::Field,          "KS",    3, "",       kNoToggle},
    {89,  F::Field,          "KP",    2, "",       kNoToggle},
    {90,  F::SelectorField,  "NL",    3, "",       kNoToggle},
    {91,  F::Field,          "SQ0",   3, "",       kNoToggle},
    {92,  F::Field,          "MG",    3, "",       kNoToggle},
    {93,  F::Field,          "VG",    3, "",       kNoToggle},
    {94,  F::Own,            "VD",    4, "",       kNoToggle},
    {95,  F::Field,          "SQ1",   3, "",       kNoToggle},
    {96,  F::Field,          "AG1",   3, "",       kNoToggle},
    {97,  F::Field,          "RG1",   3, "",       kNoToggle},
    {98,  F::Field,          "AG0",   3, "",       kNoToggle},
    {99,  F::Field,          "RG0",   3, "",       kNoToggle},
    {100, F::Field,          "BP01",  3, "",       kNoToggle},
    {101, F::Own,            "IS0",   4, "",       kNoToggle},
    {102, F::Field,          "SH0",   2, "",       kNoToggle},
    {103, F::Field,          "CO01",  2, "",       kNoToggle},
    {104, F::Field,          "RL0",   2, "",       kNoToggle},
    {105, F::Own,            "PS",    0, "",       kNoToggle},
    {106, F::Own,            "",      0, "",       kNoToggle},
    {107, F::Field,          "PC",    3, "",       kNoToggle},
    {108, F::Fixed,          "LM01;", 0, "",       kNoToggle},
    {109, F::Fixed,          "LM02;", 0, "",       kNoToggle},
    {110, F::Fixed,          "LM03;", 0, "",       kNoToggle},
    {111, F::Fixed,          "LM04;", 0, "",       kNoToggle},
    {112, F::Fixed,          "LM05;", 0, "",       kNoToggle},
    {113, F::Fixed,          "LM00;", 0, "",       kNoToggle},
    {114, F::Fixed,          "PB01;", 0, "",       kNoToggle},
    {115, F::Fixed,          "PB02;", 0, "",       kNoToggle},
    {116, F::Fixed,          "PB03;", 0, "",       kNoToggle},
    {117, F::Fixed,          "PB04;", 0, "",       kNoToggle},
    {118, F::Fixed,          "PB05;", 0, "",       kNoToggle},
    {119, F::Fixed,          "PB00;", 0, "",       kNoToggle},
    {120, F::Fixed,          "LM11;", 0, "",       kNoToggle},
    {121, F::Fixed,          "LM10;", 0, "",       kNoToggle},
    {122, F::Fixed,          "PB11;", 0, "",       kNoToggle},
    {123, F::Fixed,          "PB10;", 0, "",       kNoToggle},
    {124, F::Own,            "RO",    0, "1",      kNoToggle},
    {125, F::Own,            "RO",    0, "2",      kNoToggle},
    {126, F::Own,            "RO",    0, "3",      kNoToggle},
    {127, F::Own,            "RO",    0, "4",      kNoToggle},
    {128, F::Fixed,          "KY1;",  0, "",       kNoToggle},
    {129, F::Fixed,          "KY2;",  0, "",       kNoToggle},
    {130, F::Fixed,          "KY3;",  0, "",       kNoToggle},
    {131, F::Fixed,          "KY4;",  0, "",       kNoToggle},
    {132, F::Fixed,          "KY5;",  0, "",       kNoToggle},
    {133, F::Fixed,          "KY6;",  0, "",       kNoToggle},
    {134, F::Fixed,          "KY7;",  0, "",       kNoToggle},
    {135, F::Fixed,          "KY8;",  0, "",       kNoToggle},
    {136, F::Fixed,          "KY9;",  0, "",       kNoToggle},
    {137, F::Fixed,          "KYA;",  0, "",       kNoToggle},
    {138, F::SelectorFixed,  "CT",    0, "0",      kNoToggle},
    {139, F::SelectorFixed,  "CT",    0, "2",      kNoToggle},
    {140, F::SelectorFixed,  "CT",    0, "1",      kNoToggle},
    {141, F::SelectorField,  "CN",    2, "",       kNoToggle},
    {142, F::SelectorFixed,  "OS",    0, "0",      kNoToggle},
    {143, F::SelectorFixed,  "OS",    0, "1",      kNoToggle},
    {144, F::SelectorFixed,  "OS",    0, "2",      kNoToggle},
    {145, F::Own,            "IF",    0, "",       kNoToggle},
    {146, F::Own,            "KM",    0, "",       kNoToggle},
    {147, F::Field,          "KC02",  1, "",       kNoToggle},
    {148, F::Field,          "KC01",  1, "",       kNoToggle},
    {149, F::Field,          "KC05",  1, "",       kNoToggle},
    {150, F::Field,          "KC06",  1, "",       kNoToggle},
    {151, F::Field,          "KC07",  1, "",       kNoToggle},
    {152, F::Fixed,          "MK0;",  0, "",       kNoToggle},
    {153, F::Own,            "EU2",   2, "",       kNoToggle},
}};
// clang-format on

// The length a row builds, which must be the catalogued set length of its code.
constexpr int BuiltLength(const RequestCommand& row) {
    switch (row.form) {
        case F::Fixed:
            return static_cast<int>(row.text.size());
        case F::Field:
            return static_cast<int>(row.text.size() + row.width + row.tail.size()) + 1;
        case F::SelectorField:
            return static_cast<int>(row.text.size() + row.width + row.tail.size()) + 2;
        case F::SelectorFixed:
            return static_cast<int>(row.text.size() + row.tail.size()) + 2;
        case F::Choice:
        case F::Toggle:
            return static_cast<int>(row.text.size()) + 2;
        case F::SelectorChoice:
        case F::SelectorToggle:
            return static_cast<int>(row.text.size()) + 3;
        case F::Own:
            return 0;
    }
    return -1;
}

constexpr bool RowsAreSound() {
    for (size_t i = 0; i < kCommands.size(); ++i) {
        const RequestCommand& row = kCommands[i];
        if (row.number != static_cast<int>(i) + 1) {
            return false;
        }
        if (row.form == F::Own) {
            continue;
        }
        const int set = FindSetRow(row.text.substr(0, 2));
        if (set < 0 || CatSetTable[set].length != BuiltLength(row)) {
            return false;
        }
        const bool toggles = row.form == F::Toggle || row.form == F::SelectorToggle;
        if (toggles != (row.toggle != kNoToggle)) {
            return false;
        }
    }
    return true;
}
static_assert(RowsAreSound(), "each request row is numbered in order and fits its set length");
static_assert(static_cast<int>(Mirror::NA1) == static_cast<int>(Mirror::NA0) + 1,
              "the sub receiver's value follows the main receiver's");

}  // namespace

const std::array<RequestCommand, kRequestCount> RequestCommandTable = kCommands;

Mirror ToggledMirror(const RequestCommand& row, bool vfoB) {
    if (row.form == F::SelectorToggle && vfoB) {
        return static_cast<Mirror>(static_cast<int>(row.toggle) + 1);
    }
    return row.toggle;
}

const RequestCommand& RequestCommandOf(int number) {
    return kCommands.at(number - 1);
}

void WriteField(char* field, int width, int64_t value) {
    std::memset(field, '0', width);
    if (value < 0) {
        return;
    }
    int digits = 1;
    for (int64_t limit = 10; value >= limit && digits <= width; limit *= 10) {
        ++digits;
    }
    if (digits > width) {
        return;
    }
    for (int pos = width - 1; pos >= width - digits; --pos) {
        field[pos] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

char ToggledDigit(int32_t mirrorValue) {
    return mirrorValue == 0 ? '1' : mirrorValue == 1 ? '0' : '\0';
}

namespace {

// Fills a command front to back; Finish() puts the ";" behind the last character.
class CommandWriter {
  public:
    CommandWriter& Put(std::string_view text) {
        std::copy(text.begin(), text.end(), &command_.bytes[length_]);
        length_ += text.size();
        return *this;
    }
    CommandWriter& Put(char c) {
        command_.bytes[length_++] = c;
        return *this;
    }
    CommandWriter& Field(int width, int64_t value) {
        WriteField(&command_.bytes[length_], width, value);
        length_ += width;
        return *this;
    }
    CatCommand Finish() {
        command_.bytes[length_++] = ';';
        command_.length = static_cast<int32_t>(length_);
        return command_;
    }

  private:
    CatCommand command_;
    size_t length_ = 0;
};

}  // namespace

CatCommand BuildFieldCommand(std::string_view text, int width, int64_t value,
                             std::string_view tail) {
    return CommandWriter().Put(text).Field(width, value).Put(tail).Finish();
}

CatCommand BuildFixedCommand(std::string_view text) {
    CatCommand command;
    std::copy(text.begin(), text.end(), command.bytes.begin());
    command.length = static_cast<int32_t>(text.size());
    return command;
}

CatCommand BuildRequestCommand(const RequestCommand& row, bool vfoB, int32_t value,
                               int32_t mirrorValue) {
    CommandWriter writer;
    writer.Put(row.text);
    switch (row.form) {
        case F::Fixed:
            return BuildFixedCommand(row.text);
        case F::SelectorField:
            writer.Put(vfoB ? '1' : '0');
            [[fallthrough]];
        case F::Field:
            return writer.Field(row.width, value).Put(row.tail).Finish();
        case F::SelectorFixed:
            return writer.Put(vfoB ? '1' : '0').Put(row.tail).Finish();
        case F::SelectorChoice:
            writer.Put(vfoB ? '1' : '0');
            [[fallthrough]];
        case F::Choice:
            if (value < 0 || value >= static_cast<int32_t>(row.tail.size())) {
                return {};
            }
            return writer.Put(row.tail[value]).Finish();
        case F::SelectorToggle:
            writer.Put(vfoB ? '1' : '0');
            [[fallthrough]];
        case F::Toggle:
            if (ToggledDigit(mirrorValue) == '\0') {
                return {};
            }
            return writer.Put(ToggledDigit(mirrorValue)).Finish();
        case F::Own:
            break;
    }
    return {};
}

}  // namespace kestrel
