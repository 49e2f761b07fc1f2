#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "protocol/cat_catalogue.h"
#include "protocol/radio_state.h"

namespace kestrel {

// The size of the buffer an answer is analysed in.
inline constexpr size_t kAnswerBufferSize = 512;

// An answer held for analysis. The bytes behind the text are zero, so every fixed position a
// parser reads lies inside the buffer and a short answer reads as NUL bytes; the type, not a
// promise, keeps the parsers within it.
class AnswerBuffer {
  public:
    // Holds the text, cut so that one NUL always ends it.
    explicit AnswerBuffer(std::string_view text) {
        std::memcpy(bytes_.data(), text.data(), std::min(text.size(), bytes_.size() - 1));
    }
    // Returns the held text, NUL-terminated, with zeros to the end of the buffer.
    const char* Text() const { return bytes_.data(); }

  private:
    std::array<char, kAnswerBufferSize> bytes_{};
};
// The answer rows that are analysed: ID through KC. DA and MR are framed but never analysed.
inline constexpr int kAnalysedAnswerRows = 73;

// How the parameter field of an answer code is read.
enum class AnswerParser : uint8_t {
    Fields,          // the fields of kAnswerFieldRules, chosen by the selector where there is one
    Identification,  // ID: "0747" extended number, "0310" accepted, anything else refused
    BandPass,        // BP: on/off or level by position 3
    Contour,         // CO: mode or level by position 3
    Monitor,         // ML: on/off or level by position 2
    Meter,           // RM: read leniently, always succeeds
    Information,     // IF and OI: the fields plus the clarifier offset
    IfShift,         // IS: sign and four digits
    AutoInfo,        // AI: the connection steps on automatic information
    KeyerText,       // KM: channel and 50 characters of text
    Reset,           // RS: 2 starts the menu read
    Mode,            // MD: hexadecimal mode and the filter class
    Power,           // PS: power switching
    RingInfo,        // RI: only while automatic information is on
    BandGroup,       // BG: three fields, one set to -1
    Equalizer,       // PE: eighteen fields by three selectors
    DspControl,      // KC: position 3 when it is a digit
    Nothing,         // PB and LM: store nothing and always notify
};

// The parser of each analysed answer row.
struct AnswerParserRow {
    char code[3];
    AnswerParser parser;
};

// One field of a code read by the general rules: `digits` characters from position `first`
// (decimal, or one hexadecimal digit where `hex` is set), plus `offset`, into `field`. Where
// `selector` is 0 or more, the row applies only to answers whose position 2 holds that digit.
struct AnswerFieldRule {
    char code[3];
    int8_t selector;
    uint8_t first;
    uint8_t digits;
    bool hex;
    int8_t offset;
    Field field;
};

inline constexpr int8_t kNoSelector = -1;

// clang-format off
inline constexpr auto kAnswerParsers = std::to_array<AnswerParserRow>({
    {"ID", AnswerParser::Identification},
    {"RT", AnswerParser::Fields},
    {"XT", AnswerParser::Fields},
    {"SF", AnswerParser::Fields},
    {"BP", AnswerParser::BandPass},
    {"BC", AnswerParser::Fields},
    {"CO", AnswerParser::Contour},
    {"MS", AnswerParser::Fields},
    {"NR", AnswerParser::Fields},
    {"FT", AnswerParser::Fields},
    {"FR", AnswerParser::Fields},
    {"LK", AnswerParser::Fields},
    {"FS", AnswerParser::Fields},
    {"VS", AnswerParser::Fields},
    {"NA", AnswerParser::Fields},
    {"NB", AnswerParser::Fields},
    {"RF", AnswerParser::Fields},
    {"GT", AnswerParser::Fields},
    {"RA", AnswerParser::Fields},
    {"PA", AnswerParser::Fields},
    {"KR", AnswerParser::Fields},
    {"TS", AnswerParser::Fields},
    {"AN", AnswerParser::Fields},
    {"AC", AnswerParser::Fields},
    {"MX", AnswerParser::Fields},
    {"VX", AnswerParser::Fields},
    {"BI", AnswerParser::Fields},
    {"PR", AnswerParser::Fields},
    {"ML", AnswerParser::Monitor},
    {"CS", AnswerParser::Fields},
    {"DP", AnswerParser::Fields},
    {"RM", AnswerParser::Meter},
    {"KP", AnswerParser::Fields},
    {"KS", AnswerParser::Fields},
    {"SD", AnswerParser::Fields},
    {"NL", AnswerParser::Fields},
    {"MG", AnswerParser::Fields},
    {"PL", AnswerParser::Fields},
    {"VG", AnswerParser::Fields},
    {"VD", AnswerParser::Fields},
    {"SQ", AnswerParser::Fields},
    {"AG", AnswerParser::Fields},
    {"RG", AnswerParser::Fields},
    {"IF", AnswerParser::Information},
    {"VF", AnswerParser::Fields},
    {"IS", AnswerParser::IfShift},
    {"SH", AnswerParser::Fields},
    {"RL", AnswerParser::Fields},
    {"BY", AnswerParser::Fields},
    {"FA", AnswerParser::Fields},
    {"FB", AnswerParser::Fields},
    {"RO", AnswerParser::Fields},
    {"SC", AnswerParser::Fields},
    {"SM", AnswerParser::Fields},
    {"TX", AnswerParser::Fields},
    {"UL", AnswerParser::Fields},
    {"AI", AnswerParser::AutoInfo},
    {"CN", AnswerParser::Fields},
    {"CT", AnswerParser::Fields},
    {"KM", AnswerParser::KeyerText},
    {"MC", AnswerParser::Fields},
    {"OI", AnswerParser::Information},
    {"OS", AnswerParser::Fields},
    {"PB", AnswerParser::Nothing},
    {"PC", AnswerParser::Fields},
    {"RS", AnswerParser::Reset},
    {"MD", AnswerParser::Mode},
    {"PS", AnswerParser::Power},
    {"RI", AnswerParser::RingInfo},
    {"BG", AnswerParser::BandGroup},
    {"LM", AnswerParser::Nothing},
    {"PE", AnswerParser::Equalizer},
    {"KC", AnswerParser::DspControl},
});

inline constexpr auto kAnswerFieldRules = std::to_array<AnswerFieldRule>({
    // code  selector     first digits hex    offset field
    {"RT", kNoSelector,  2, 1, false,  0, Field::RT},
    {"XT", kNoSelector,  2, 1, false,  0, Field::XT},
    {"SF", kNoSelector,  2, 1, false,  0, Field::SF},
    {"BC", kNoSelector,  3, 1, false,  0, Field::BC},
    {"NR", 0,            3, 1, false,  0, Field::NR0},
    {"NR", 1,            3, 1, false,  0, Field::NR1},
    {"FT", kNoSelector,  2, 1, false,  0, Field::FT},
    {"FR", kNoSelector,  2, 1, false,  0, Field::FR},
    {"LK", kNoSelector,  2, 1, false,  0, Field::LK},
    {"FS", kNoSelector,  2, 1, false,  0, Field::FS},
    {"VS", kNoSelector,  2, 1, false,  0, Field::VS},
    {"NA", 0,            3, 1, false,  0, Field::NA0},
    {"NA", 1,            3, 1, false,  0, Field::NA1},
    {"NB", 0,            3, 1, false,  0, Field::NB0},
    {"NB", 1,            3, 1, false,  0, Field::NB1},
    {"RF", kNoSelector,  3, 1, false,  0, Field::RF},
    {"GT", 0,            3, 1, false,  0, Field::GT0},
    {"GT", 1,            3, 1, false,  0, Field::GT1},
    {"RA", kNoSelector,  3, 1, false,  0, Field::RA},
    {"PA", kNoSelector,  3, 1, false,  0, Field::PA},
    {"KR", kNoSelector,  2, 1, false,  0, Field::KR},
    {"TS", kNoSelector,  2, 1, false,  0, Field::TS},
    {"AN", kNoSelector,  3, 1, false, -1, Field::ANp3},
    {"AN", kNoSelector,  4, 1, false,  0, Field::ANp4},
    {"AC", kNoSelector,  4, 1, false,  0, Field::AC},
    {"MX", kNoSelector,  2, 1, false,  0, Field::MX},
    {"VX", kNoSelector,  2, 1, false,  0, Field::VX},
    {"BI", kNoSelector,  2, 1, false,  0, Field::BI},
    {"PR", kNoSelector,  2, 1, false,  0, Field::PR},
    {"CS", kNoSelector,  2, 1, false,  0, Field::CS},
    {"DP", kNoSelector,  2, 1, false,  0, Field::DP},
    {"KP", kNoSelector,  2, 2, false,  0, Field::KP},
    {"KS", kNoSelector,  2, 3, false,  0, Field::KS},
    {"SD", kNoSelector,  2, 4, false,  0, Field::SD},
    {"NL", 0,            3, 3, false,  0, Field::NL0},
    {"NL", 1,            3, 3, false,  0, Field::NL1},
    {"MG", kNoSelector,  2, 3, false,  0, Field::MG},
    {"PL", kNoSelector,  2, 3, false,  0, Field::PL},
    {"VG", kNoSelector,  2, 3, false,  0, Field::VG},
    {"VD", kNoSelector,  2, 4, false,  0, Field::VD},
    {"SQ", 0,            3, 3, false,  0, Field::SQ0},
    {"SQ", 1,            3, 3, false,  0, Field::SQ1},
    {"AG", 0,            3, 3, false,  0, Field::AG0},
    {"AG", 1,            3, 3, false,  0, Field::AG1},
    {"RG", 0,            3, 3, false,  0, Field::RG0},
    {"RG", 1,            3, 3, false,  0, Field::RG1},
    {"IF", kNoSelector,  5, 8, false,  0, Field::IFp5},
    {"IF", kNoSelector, 18, 1, false,  0, Field::IFp18},
    {"IF", kNoSelector, 19, 1, false,  0, Field::IFp19},
    {"IF", kNoSelector, 20, 1, true,   0, Field::IFp20},
    {"IF", kNoSelector, 21, 1, false,  0, Field::IFp21},
    {"IF", kNoSelector, 22, 1, false,  0, Field::IFp22},
    {"IF", kNoSelector, 23, 2, false,  0, Field::IFp23},
    {"IF", kNoSelector, 25, 1, false,  0, Field::IFp25},
    {"VF", 0,            3, 1, false,  0, Field::VF0p3},
    {"VF", 0,            4, 3, false,  0, Field::VF0p4},
    {"VF", 0,            7, 1, false,  0, Field::VF0p7},
    {"VF", 1,            3, 1, false,  0, Field::VF1p3},
    {"VF", 1,            4, 3, false,  0, Field::VF1p4},
    {"VF", 1,            7, 1, false,  0, Field::VF1p7},
    {"SH", kNoSelector,  3, 2, false,  0, Field::SH},
    {"RL", kNoSelector,  3, 2, false,  0, Field::RL},
    {"BY", kNoSelector,  2, 1, false,  0, Field::BYp2},
    {"BY", kNoSelector,  3, 1, false,  0, Field::BYp3},
    {"FA", kNoSelector,  2, 8, false,  0, Field::FA},
    {"FB", kNoSelector,  2, 8, false,  0, Field::FB},
    {"RO", kNoSelector,  3, 3, false,  0, Field::ROp3},
    {"RO", kNoSelector,  6, 3, false,  0, Field::ROp6},
    {"SC", kNoSelector,  2, 1, false,  0, Field::SC},
    {"SM", 0,            3, 3, false,  0, Field::SM0},
    {"SM", 1,            3, 3, false,  0, Field::SM1},
    {"TX", kNoSelector,  2, 1, false,  0, Field::TX},
    {"UL", kNoSelector,  2, 1, false,  0, Field::UL},
    {"AI", kNoSelector,  2, 1, false,  0, Field::AI},
    {"CN", 0,            3, 2, false,  0, Field::CN0},
    {"CN", 1,            3, 2, false,  0, Field::CN1},
    {"CT", 0,            3, 1, false,  0, Field::CT0},
    {"CT", 1,            3, 1, false,  0, Field::CT1},
    {"MC", kNoSelector,  2, 3, false,  0, Field::MC},
    {"OI", kNoSelector,  5, 8, false,  0, Field::OIp5},
    {"OI", kNoSelector, 18, 1, false,  0, Field::OIp18},
    {"OI", kNoSelector, 19, 1, false,  0, Field::OIp19},
    {"OI", kNoSelector, 20, 1, true,   0, Field::OIp20},
    {"OI", kNoSelector, 21, 1, false,  0, Field::OIp21},
    {"OI", kNoSelector, 22, 1, false,  0, Field::OIp22},
    {"OI", kNoSelector, 23, 2, false,  0, Field::OIp23},
    {"OI", kNoSelector, 25, 1, false,  0, Field::OIp25},
    {"OS", 0,            3, 1, false,  0, Field::OS0},
    {"OS", 1,            3, 1, false,  0, Field::OS1},
    {"PC", kNoSelector,  2, 3, false,  0, Field::PC},
    {"RS", kNoSelector,  2, 1, false,  0, Field::RS},
    {"MD", 0,            3, 1, true,   0, Field::MD0},
    {"MD", 1,            3, 1, true,   0, Field::MD1},
    {"MS", kNoSelector,  2, 1, false,  0, Field::MS},
    {"PS", kNoSelector,  2, 1, false,  0, Field::PS},
    {"RI", 0,            3, 1, true,   0, Field::RI0},
    {"RI", 1,            3, 1, true,   0, Field::RI1},
    {"RI", 2,            3, 1, true,   0, Field::RI2},
    {"RI", 3,            3, 1, true,   0, Field::RI3},
    {"RI", 4,            3, 1, true,   0, Field::RI4},
    {"RI", 5,            3, 1, true,   0, Field::RI5},
    {"RI", 7,            3, 1, true,   0, Field::RI7},
    {"RI", 8,            3, 1, true,   0, Field::RI8},
});
// clang-format on

// Reports whether two codes have the same two letters.
constexpr bool SameCode(const char* a, const char* b) {
    return a[0] == b[0] && a[1] == b[1];
}

// Reports whether the parser rows name the analysed answer rows in catalogue order.
constexpr bool ParsersFollowAnswerTable() {
    for (int i = 0; i < kAnalysedAnswerRows; ++i) {
        if (!SameCode(CatAnswerTable[i].code, kAnswerParsers[i].code)) {
            return false;
        }
    }
    return true;
}

// Reports whether every field rule belongs to a code read through field rules, lies inside the
// answer (its ";" excluded), and whether the rules of one code stand together.
constexpr bool FieldRulesFitTheirAnswers() {
    for (size_t i = 0; i < kAnswerFieldRules.size(); ++i) {
        const AnswerFieldRule& rule = kAnswerFieldRules[i];
        const int row = FindAnswerRow(rule.code[0], rule.code[1]);
        if (row < 0 || row >= kAnalysedAnswerRows) {
            return false;
        }
        const AnswerParser parser = kAnswerParsers[row].parser;
        if (parser == AnswerParser::Identification || parser == AnswerParser::BandPass ||
            parser == AnswerParser::Contour || parser == AnswerParser::Monitor ||
            parser == AnswerParser::Meter || parser == AnswerParser::IfShift ||
            parser == AnswerParser::KeyerText || parser == AnswerParser::BandGroup ||
            parser == AnswerParser::Equalizer || parser == AnswerParser::DspControl ||
            parser == AnswerParser::Nothing) {
            return false;
        }
        if (rule.digits == 0 || rule.first + rule.digits > CatAnswerTable[row].length - 1 ||
            (rule.hex && rule.digits != 1)) {
            return false;
        }
        for (size_t j = i + 2; j < kAnswerFieldRules.size(); ++j) {
            const AnswerFieldRule& later = kAnswerFieldRules[j];
            const AnswerFieldRule& before = kAnswerFieldRules[j - 1];
            if (SameCode(later.code, rule.code) && !SameCode(before.code, rule.code)) {
                return false;
            }
        }
    }
    return true;
}

static_assert(kAnswerParsers.size() == kAnalysedAnswerRows);
static_assert(ParsersFollowAnswerTable(), "parser rows must follow the answer table");
static_assert(FieldRulesFitTheirAnswers(), "field rules must fit their answers");

// Returns the parser row of an answer code among the analysed rows, or -1 for an uncatalogued
// code, DA or MR.
constexpr int FindAnalysedRow(char c0, char c1) {
    const int row = FindAnswerRow(c0, c1);
    return row < kAnalysedAnswerRows ? row : -1;
}

// Runs the parser of analysed answer row `row` on an answer. Stores what the answer carries and
// posts the connection messages its code calls for; reports whether the row's notification is
// due.
bool ParseAnswer(int row, const AnswerBuffer& buffer);
// Analyses a menu answer ("EX", three-digit number, value). Reports whether it changed the
// item's value; `extraNotification` is then the notification the item's kind adds (the CO, BP,
// SM or RM one), or 0.
bool ParseMenuAnswer(const AnswerBuffer& buffer, uint32_t* extraNotification);
// Analyses a synthetic answer given as text, without its ";", as if it had been framed, and
// posts its notification when it parsed. The link watchdog is left alone.
void AnalyseSyntheticAnswer(const char* text);

}  // namespace kestrel
