#include "menulist/menu_catalogue.h"

#include <array>
#include <cstring>
#include <string_view>

#include "menulist/menu_kind.h"

namespace kestrel {

namespace {

// Where a record's choices come from: none, the range text cut at each "/", or the list given in
// the row with "|" between the entries.
enum class Choices : uint8_t { None, Split, Listed };

struct CatalogueRow {
    uint32_t number;
    std::string_view name;
    std::string_view rangeText;
    uint32_t kind;
    uint32_t width;
    std::string_view unit;
    double value;
    double minValue;
    double maxValue;
    double step;
    Choices choices;
    std::string_view listed;
};

constexpr Choices kNone = Choices::None;
constexpr Choices kSplit = Choices::Split;
constexpr Choices kListed = Choices::Listed;

// clang-format off
constexpr std::array<CatalogueRow, kMenuCatalogueSize> kCatalogue{{
    // no   name                    range text                                            kind width unit    default  min     max     step   choices
    {1,   "FAST DELAY",           "20-4000 (20msec Steps)",                                0,  4,  "msec", 300,   20,    4000,  20,    kNone,   ""},
    {2,   "MID DELAY",            "20-4000 (20msec Steps)",                                0,  4,  "msec", 700,   20,    4000,  20,    kNone,   ""},
    {3,   "SLOW DELAY",           "20-4000 (20msec Steps)",                                0,  4,  "msec", 3000,  20,    4000,  20,    kNone,   ""},
    {4,   "TFT COLOR",            "COOL BLUE/CONTRAST BLUE/FLASH WHITE/CONTRAST UMBER/UMBER", 1, 1, "",   0,     0,     0,     0,     kSplit,  ""},
    {5,   "DIMMER VFD",           "0-15",                                                  0,  2,  "",     8,     0,     15,    1,     kNone,   ""},
    {6,   "BAR DISPLAY SELECT",   "CLAR/CW TUNE/uTune",                                    40, 1,  "",     1,     0,     0,     0,     kSplit,  ""},
    {7,   "PEAK HOLD S MTR",      "OFF/0.5/1.0/2.0 (sec)",                                 15, 1,  "",     0,     0,     0,     0,     kListed, "OFF|0.5sec|1.0sec|2.0sec"},
    {8,   "PEAK HOLD PO MTR",     "OFF/0.5/1.0/2.0 (sec)",                                 37, 1,  "",     0,     0,     0,     0,     kListed, "OFF|0.5sec|1.0sec|2.0sec"},
    {9,   "PEAK HOLD ALC MTR",    "OFF/0.5/1.0/2.0 (sec)",                                 38, 1,  "",     0,     0,     0,     0,     kListed, "OFF|0.5sec|1.0sec|2.0sec"},
    {10,  "PEAK HOLD ID MTR",     "OFF/0.5/1.0/2.0 (sec)",                                 39, 1,  "",     0,     0,     0,     0,     kListed, "OFF|0.5sec|1.0sec|2.0sec"},
    {11,  "ROTATOR START UP",     "0/90/180/270",                                          1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
    {12,  "ROTATOR OFFSET ADJ",   "-30-0 (2 Steps)",                                       8,  2,  "",     0,     30,    0,     2,     kNone,   ""},
    {13,  "QMB MARKER",           "DISABLE/ENABLE",                                        1,  1,  "",     1,     0,     0,     0,     kSplit,  ""},
    {14,  "RX OUT LEVEL",         "0-100",                                                 0,  3,  "",     50,    0,     100,   1,     kNone,   ""},
    {15,  "TX OUT LEVEL",         "0-100",                                                 0,  3,  "",     50,    0,     100,   1,     kNone,   ""},
    {16,  "BEACON TIME",          "OFF/1-690 (sec)",                                       41, 3,  "sec",  0,     1,     690,   1,     kListed, "OFF"},
    {17,  "NUMBER STYLE",         "1290/AUNO/AUNT/A2NO/A2NT/12NO/12NT",                    1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
    {18,  "CONTEST NUMBER",       "0-9999",                                                0,  4,  "",     1,     0,     9999,  1,     kNone,   ""},
    {19,  "CW MEMORY 1",          "TEXT/MESSAGE",                                          1,  1,  "",     1,     0,     0,     0,     kSplit,  ""},
    {20,  "CW MEMORY 2",          "TEXT/MESSAGE",                                          1,  1,  "",     1,     0,     0,     0,     kSplit,  ""},
    {21,  "CW MEMORY 3",          "TEXT/MESSAGE",                                          1,  1,  "",     1,     0,     0,     0,     kSplit,  ""},
    {22,  "CW MEMORY 4",          "TEXT/MESSAGE",                                          1,  1,  "",     1,     0,     0,     0,     kSplit,  ""},
    {23,  "CW MEMORY 5 ",         "TEXT/MESSAGE",                                          1,  1,  "",     1,     0,     0,     0,     kSplit,  ""},
    {24,  "ANT SELECT",           "BAND/STACK",                                            1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
    {25,  "BEEP LEVEL",           "0-100",                                                 0,  3,  "",     50,    0,     100,   1,     kNone,   ""},
    {26,  "CAT RATE",             "4800/9600/19200/38400 (bps)",                           1,  1,  "bps",  0,     0,     0,     0,     kListed, "4800|9600|19200|38400"},
    {27,  "CAT TIME OUT TIMER",   "10/100/1000/3000 (msec)",                               1,  1,  "msec", 0,     0,     0,     0,     kListed, "10|100|1000|3000"},
    {28,  "CAT RTS",              "DISABLE/ENABLE",                                        1,  1,  "",     1,     0,     0,     0,     kSplit,  ""},
    {29,  "MEM GROUP",            "DISABLE/ENABLE",                                        1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
    {30,  "QUICK SPLIT FREQ",     "-20 - +20 (kHz)",                                       4,  3,  "kHz",  5,     -20,   20,    1,     kNone,   ""},
    {31,  "TX TIME OUT TIMER",    "OFF/1 - 30 (min)",                                      16, 2,  "min",  0,     1,     30,    1,     kListed, "OFF"},
    {32,  "uTUNE DIAL STEP",      "DIAL STEP-2/DIAL STEP-1",                               1,  1,  "",     1,     0,     0,     0,     kSplit,  ""},
    {33,  "MIC SCAN",             "DISABLE/ENABLE",                                        1,  1,  "",     1,     0,     0,     0,     kSplit,  ""},
    {34,  "MIC SCAN RESUME",      "PAUSE/TIME",                                            1,  1,  "",     1,     0,     0,     0,     kSplit,  ""},
    {35,  "FREQ ADJ",             "-25-0-+25",                                             4,  3,  "",     0,     -25,   25,    1,     kNone,   ""},
    {36,  "AM MIC GAIN",          "MCVR/FIX(0-100)",                                       13, 4,  "",     1000,  0,     100,   1,     kListed, "MCVR|FIX"},
    {37,  "F-KEYER TYPE",         "OFF/BUG/ELEKEY/ACS",                                    1,  1,  "",     2,     0,     0,     0,     kSplit,  ""},
    {38,  "F-CW KEYER",           "NOR/REV",                                               1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
    {39,  "R-KEYER TYPE",         "OFF/BUG/ELEKEY/ACS",                                    1,  1,  "",     2,     0,     0,     0,     kSplit,  ""},
    {40,  "R-CW KEYER",           "NOR/REV",                                               1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
    {41,  "CW AUTO MODE ",        "OFF/50M/ON",                                            1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
    {42,  "CW BFO ",              "USB/LSB/AUTO",                                          1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
    {43,  "CW BK-IN ",            "SEMI/FULL",                                             1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
    {44,  "CW BK-IN DELAY",       "30-300-3000msec (10msec Steps)",                        0,  4,  "msec", 200,   30,    3000,  10,    kNone,   ""},
    {45,  "CW PITCH",             "300-700-1050Hz (50Hz Steps)",                           1,  2,  "Hz",   8,     0,     0,     0,     kListed, "300|350|400|450|500|550|600|650|700|750|800|850|900|950|1000|1050"},
    {46,  "CW WEIGHT",            "2.5-3.0-4.5",                                           9,  2,  "",     30,    25,    45,    0.1,   kNone,   ""},
    {47,  "CW FREQ DISPLAY",      "DIRECT FREQ/PITCH OFFSET",                              1,  1,  "",     1,     0,     0,     0,     kSplit,  ""},
    {48,  "PC KEYING",            "DISABLE/ENABLE",                                        1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
    {49,  "QSK",                  "15/20/25/30 (msec)",                                    1,  1,  "msec", 0,     0,     0,     0,     kListed, "15|20|25|30"},
    {50,  "DATA TX GAIN",         "0-100",                                                 0,  3,  "",     50,    0,     100,   1,     kNone,   ""},
    {51,  "DATA OUT LEVEL",       "0-100",                                                 0,  3,  "",     50,    0,     100,   1,     kNone,   ""},
    {52,  "DATA VOX DELAY",       "30-300-3000msec (10msec Steps)",                        0,  4,  "msec", 300,   30,    3000,  10,    kNone,   ""},
    {53,  "DATA VOX GAIN",        "0-100",                                                 0,  3,  "",     50,    0,     100,   1,     kNone,   ""},
    {54,  "PKT DISP (SSB)",       "-3000-0-+3000Hz (10Hz Steps)",                          4,  5,  "Hz",   0,     -3000, 3000,  10,    kNone,   ""},
    {55,  "PKT SHIFT (SSB)",      "-3000-0-+3000Hz (10Hz Steps)",                          4,  5,  "Hz",   1000,  -3000, 3000,  10,    kNone,   ""},
    {56,  "FM MIC GAIN",          "MCVR/FIX(0-100)",                                       13, 4,  "",     50,    0,     100,   1,     kListed, "MCVR|FIX"},
    {57,  "RPT SHIFT(28MHz)",     "0-100-1000kHz (10kHz Steps)",                           0,  4,  "kHz",  100,   0,     1000,  10,    kNone,   ""},
    {58,  "RPT SHIFT(50MHz)",     "0-1000-4000kHz (10kHz Steps)",                          0,  4,  "kHz",  1000,  0,     4000,  10,    kNone,   ""},
    {59,  "POLARITY-R",           "NOR/REV",                                               1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
    {60,  "POLARITY-T",           "NOR/REV",                                               1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
    {61,  "RTTY OUT LEVEL",       "0-100",                                                 0,  3,  "",     50,    0,     100,   1,     kNone,   ""},
    {62,  "RTTY SHIFT",           "170/200/425/850 (Hz)",                                  1,  1,  "Hz",   0,     0,     0,     0,     kListed, "170|200|425|850"},
    {63,  "RTTY TONE",            "1275/2125 (Hz)",                                        1,  1,  "Hz",   1,     0,     0,     0,     kListed, "1275|2125"},
    {64,  "SSB TX BPF",           "100-3000/100-2900/200-2800/300-2700/400-2600 (Hz)",     1,  1,  "Hz",   3,     0,     0,     0,     kListed, "100-3000|100-2900|200-2800|300-2700|400-2600"},
    {65,  "LSB RX CARRIER",       "-200Hz-0-+200Hz (10Hz Steps)",                          4,  4,  "Hz",   0,     -200,  200,   10,    kNone,   ""},
    {66,  "USB RX CARRIER",       "-200Hz-0-+200Hz (10Hz Steps)",                          4,  4,  "Hz",   0,     -200,  200,   10,    kNone,   ""},
    {67,  "NB 1 LEVEL",           "0-255",                                                 0,  3,  "",     128,   0,     255,   1,     kNone,   ""},
    {68,  "NB 2 LEVEL",           "0-255",                                                 0,  3,  "",     128,   0,     255,   1,     kNone,   ""},
    {69,  "CONTOUR LEVEL",        "-40-0-20",                                              11, 3,  "",     -15,   -40,   20,    1,     kNone,   ""},
    {70,  "CONTOUR WIDTH",        "1-11",                                                  0,  2,  "",     10,    1,     11,    1,     kNone,   ""},
    {71,  "DNF",                  "OFF/ON",                                                1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
    {72,  "DNR",                  "OFF/1-15",                                              16, 2,  "",     0,     1,     15,    1,     kListed, "OFF"},
    {73,  "FIX 1.8MHz",           "1.800MHz - 1.999MHz (1kHz  Steps)",                     10, 5,  "MHz",  1800,  1800,  1999,  0.001, kNone,   ""},
    {74,  "FIX 3.5MHz",           "3.500MHz - 3.999MHz (1kHz  Steps)",                     10, 5,  "MHz",  3500,  3500,  3999,  0.001, kNone,   ""},
    {75,  "FIX 5.0MHz",           "5.250MHz - 5.499MHz (1kHz  Steps)",                     10, 5,  "MHz",  5250,  5250,  5499,  0.001, kNone,   ""},
    {76,  "FIX 7.0MHz",           "7.000MHz - 7.299MHz (1kHz  Steps)",                     10, 5,  "MHz",  7000,  7000,  7299,  0.001, kNone,   ""},
    {77,  "FIX 10MHz",            "10.100MHz - 10.149MHz (1kHz  Steps)",                   10, 5,  "MHz",  10100, 10100, 10149, 0.001, kNone,   ""},
    {78,  "FIX 14MHz",            "14.000MHz - 14.349MHz (1kHz  Steps)",                   10, 5,  "MHz",  14000, 14000, 14349, 0.001, kNone,   ""},
    {79,  "FIX 18MHz",            "18.000MHz - 18.199MHz (1kHz  Steps)",                   10, 5,  "MHz",  18068, 18000, 18199, 0.001, kNone,   ""},
    {80,  "FIX 21MHz",            "21.000MHz - 21.449MHz (1kHz  Steps)",                   10, 5,  "MHz",  21000, 21000, 21449, 0.001, kNone,   ""},
    {81,  "FIX 24MHz",            "24.800MHz - 24.989MHz (1kHz  Steps)",                   10, 5,  "MHz",  24890, 24800, 24989, 0.001, kNone,   ""},
    {82,  "FIX 28MHz",            "28.000MHz - 29.699MHz (1kHz  Steps)",                   10, 5,  "MHz",  28000, 28000, 29699, 0.001, kNone,   ""},
    {83,  "FIX 50MHz",            "50.000MHz - 53.999MHz (1kHz  Steps)",                   10, 5,  "MHz",  50000, 50000, 53999, 0.001, kNone,   ""},
    {84,  "DIAL STEP",            "1/5/10Hz",                                              1,  1,  "",     2,     0,     0,     0,     kListed, "1Hz|5Hz|10Hz"},
    {85,  "DIAL CW FINE",         "DISABLE/ENABLE",                                        1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
    {86,  "1MHz/100kHz SELECT",   "1MHz/100kHz",                                           1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
    {87,  "AM CH STEP",           "2.5/5/9/10/12.5 (kHz)",                                 1,  1,  "kHz",  1,     0,     0,     0,     kListed, "2.5|5|9|10|12.5"},
    {88,  "FM CH STEP",           "5/6.25/10/12.5/20/25 (kHz)",                            1,  1,  "kHz",  0,     0,     0,     0,     kListed, "5|6.25|10|12.5|20|25"},
    {89,  "FM DIAL STEP",         "10/100 (Hz)",                                           1,  1,  "Hz",   1,     0,     0,     0,     kListed, "10|100"},
    {90,  "MY BAND",              "1.8-50/GEN",                                            14, 13, "",     8190,  0,     0,     0,     kListed, "1.8|3.5|5|7|10|14|18|21|24|28|50|GEN"},
    {91,  "PRMTRC EQ1 FREQ",      "OFF/100/200/300/400/500/600/700",                       31, 2,  "Hz",   0,     0,     0,     0,     kSplit,  ""},
    {92,  "PRMTRC EQ1 LEVEL",     "-20-0-+10",                                             25, 3,  "",     5,     -20,   10,    1,     kNone,   ""},
    {93,  "PRMTRC EQ1 BWTH",      "1-10",                                                  19, 2,  "",     10,    1,     10,    1,     kNone,   ""},
    {94,  "PRMTRC EQ2 FREQ",      "OFF/700/800/900/1000/1100/1200/1300/1400/1500",         32, 2,  "Hz",   0,     0,     0,     0,     kSplit,  ""},
    {95,  "PRMTRC EQ2 LEVEL",     "-20-0-+10",                                             26, 3,  "",     5,     -20,   10,    1,     kNone,   ""},
    {96,  "PRMTRC EQ2 BWTH",      "1-10",                                                  20, 2,  "",     10,    1,     10,    1,     kNone,   ""},
    {97,  "PRMTRC EQ3 FREQ",      "OFF/1500/1600/1700/1800/1900/2000/2100/2200/2300/2400/2500/2600/2700/2800/2900/3000/3100/3200", 33, 2, "Hz", 0, 0, 0, 0, kSplit, ""},
    {98,  "PRMTRC EQ3 LEVEL",     "-20-0-+10",                                             27, 3,  "",     5,     -20,   10,    1,     kNone,   ""},
    {99,  "PRMTRC EQ3 BWTH",      "1-10",                                                  21, 2,  "",     10,    1,     10,    1,     kNone,   ""},
    {100, "P-PRMTRC EQ1 FREQ",    "OFF/100/200/300/400/500/600/700",                       34, 2,  "Hz",   2,     0,     0,     0,     kSplit,  ""},
    {101, "P-PRMTRC EQ1 LEVEL",   "-20-0-+10",                                             28, 3,  "",     0,     -20,   10,    1,     kNone,   ""},
    {102, "P-PRMTRC EQ1 BWTH",    "1-10",                                                  22, 2,  "",     2,     1,     10,    1,     kNone,   ""},
    {103, "P-PRMTRC EQ2 FREQ",    "OFF/700/800/900/1000/1100/1200/1300/1400/1500",         35, 2,  "Hz",   2,     0,     0,     0,     kSplit,  ""},
    {104, "P-PRMTRC EQ2 LEVEL",   "-20-0-+10",                                             29, 3,  "",     0,     -20,   10,    1,     kNone,   ""},
    {105, "P-PRMTRC EQ2 BWTH",    "1-10",                                                  23, 2,  "",     1,     1,     10,    1,     kNone,   ""},
    {106, "P-PRMTRC EQ3 FREQ",    "OFF/1500/1600/1700/1800/1900/2000/2100/2200/2300/2400/2500/2600/2700/2800/2900/3000/3100/3200", 36, 2, "Hz", 7, 0, 0, 0, kSplit, ""},
    {107, "P-PRMTRC EQ3 LEVEL",   "-20-0-+10",                                             30, 3,  "",     0,     -20,   10,    1,     kNone,   ""},
    {108, "P-PRMTRC EQ3 BWTH",    "1-10",                                                  24, 2,  "",     1,     1,     10,    1,     kNone,   ""},
    {109, "PROC LEVEL",           "1-100",                                                 0,  3,  "",     50,    1,     100,   1,     kNone,   ""},
    {110, "TUNER SELECT",         "INTERNAL/EXTERNAL",                                     1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
    {111, "TX POWER",             "5-100",                                                 0,  3,  "",     100,   5,     100,   1,     kNone,   ""},
    {112, "AM CARRIER",           "0-100",                                                 0,  3,  "",     50,    0,     100,   1,     kNone,   ""},
    {113, "TX PWR CONTROL",       "ALL MODE/CARRIER",                                      1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
    {114, "VOX SELECT",           "MIC/DATA",                                              1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
    {115, "VOX GAIN",             "0-100",                                                 0,  3,  "",     50,    0,     100,   1,     kNone,   ""},
    {116, "VOX DELAY",            "30-300-3000msec (10msec Steps)",                        0,  4,  "msec", 500,   30,    3000,  10,    kNone,   ""},
    {117, "ANTI VOX GAIN",        "0-100",                                                 0,  3,  "",     50,    0,     100,   1,     kNone,   ""},
    {118, "EMERGENCY FREQ TX",    "DISABLE/ENABLE",                                        1,  1,  "",     0,     0,     0,     0,     kSplit,  ""},
}};
// clang-format on

// Counts the parts of a text cut at each separator.
constexpr uint32_t CountParts(std::string_view text, char separator) {
    uint32_t parts = 1;
    for (char c : text) {
        if (c == separator) {
            ++parts;
        }
    }
    return parts;
}

// Returns the longest part of a text cut at each separator.
constexpr size_t LongestPart(std::string_view text, char separator) {
    size_t longest = 0;
    size_t current = 0;
    for (char c : text) {
        if (c == separator) {
            current = 0;
        } else if (++current > longest) {
            longest = current;
        }
    }
    return longest;
}

// Reports whether a value shown this way names one of the item's choices.
constexpr bool ShownWithChoices(MenuShow show) {
    return show != MenuShow::Number && show != MenuShow::Negated && show != MenuShow::Tenths &&
           show != MenuShow::Thousandths;
}

constexpr bool RowsFitTheRecord() {
    for (size_t i = 0; i < kCatalogue.size(); ++i) {
        const CatalogueRow& row = kCatalogue[i];
        const std::string_view choiceText = row.choices == kSplit ? row.rangeText : row.listed;
        if (row.number != i + 1 || row.name.size() >= kMenuNameSize ||
            row.rangeText.size() >= kMenuRangeTextSize || row.unit.size() >= kMenuUnitSize ||
            !IsListedMenuKind(row.kind) || row.width == 0 ||
            ShownWithChoices(MenuKindOf(row.kind).show) != (row.choices != kNone)) {
            return false;
        }
        if (row.choices == kNone
                ? !row.listed.empty()
                : (CountParts(choiceText, row.choices == kSplit ? '/' : '|') > kMenuMaxChoices ||
                   LongestPart(choiceText, row.choices == kSplit ? '/' : '|') >= kMenuChoiceSize)) {
            return false;
        }
    }
    return true;
}
static_assert(RowsFitTheRecord(),
              "catalogue rows are numbered 1 to 118 in order, fit the MenuItem fields and have "
              "choices exactly where their kind shows one");

// Copies text into a NUL-terminated field; the static checks above keep it within the field.
template <size_t N>
void CopyText(char (&field)[N], std::string_view text) {
    const size_t n = text.size() < N ? text.size() : N - 1;
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

void FillChoices(MenuItem& item, std::string_view text, char separator) {
    item.choiceCount = 0;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        const std::string_view part = text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (item.choiceCount < kMenuMaxChoices) {
            CopyText(item.choices[item.choiceCount++], part);
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
}

}  // namespace

MenuItem CatalogueMenuItem(int number) {
    MenuItem item{};
    if (number < 1 || number > kMenuCatalogueSize) {
        return item;
    }
    const CatalogueRow& row = kCatalogue[static_cast<size_t>(number - 1)];
    item.number = row.number;
    CopyText(item.name, row.name);
    CopyText(item.rangeText, row.rangeText);
    item.value = row.value;
    item.width = row.width;
    item.hasUnit = row.unit.empty() ? 0 : 1;
    CopyText(item.unit, row.unit);
    item.kind = row.kind;
    item.maxValue = row.maxValue;
    item.minValue = row.minValue;
    item.step = row.step;
    if (row.choices == kSplit) {
        FillChoices(item, row.rangeText, '/');
    } else if (row.choices == kListed) {
        FillChoices(item, row.listed, '|');
    }
    return item;
}

}  // namespace kestrel
