#include "menulist/menu_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "menulist/menu_settings_file.h"
#include "menulist/menu_values.h"

namespace kestrel {
namespace {

MenuItem ItemWithValue(int number, double value) {
    MenuItem item = CatalogueMenuItem(number);
    item.value = value;
    return item;
}

TEST(MenuValues, RowTextPadsNameAndRangeAndEndsWithTheSetting) {
    const std::string row = MenuRowText(ItemWithValue(1, 300), kMenuBitIndexAtOpening);
    EXPECT_EQ(row.substr(0, 24), "001  FAST DELAY         ");
    EXPECT_EQ(row.substr(24, 96), "  20-4000 (20msec Steps)" + std::string(72, ' '));
    EXPECT_EQ(row.substr(120), " 300msec");
}

// One item of every kind, with the values where the text changes form.
TEST(MenuValues, SettingTextOfEveryKind) {
    const std::tuple<int, double, int, const char*> cases[] = {
        // item, value, bit index, text
        {1, 300, 0, " 300msec"},          // kind 0
        {26, 2, 0, " 19200bps"},          // kind 1
        {26, 4, 0, " ????????????bps"},   // kind 1 past its four choices keeps the unit
        {26, -1, 0, " ????????????bps"},  // a negative report has no choice either
        {30, -20, 0, " -20kHz"},          // kind 4
        {12, 30, 0, " -30"},              // kind 8
        {46, 25, 0, " 2.5"},              // kind 9
        {73, 1850, 0, " 1.850MHz"},       // kind 10
        {69, -15, 0, " -15"},             // kind 11
        {36, 1000, 0, " MCVR"},           // kind 13
        {36, 50, 0, " FIX(50)"},          // kind 13
        {90, 8190, 11, " GEN ON"},        // kind 14
        {90, 8190, 0, " 1.8 ON"},         // kind 14
        {90, 4096 | 2, 1, " 3.5 OFF"},    // kind 14
        {7, 2, 0, " 1.0sec"},             // kind 15
        {31, 0, 0, " OFF"},               // kind 16 drops the unit after OFF
        {31, 5, 0, " 5min"},              // kind 16
        {93, 10, 0, " 10"},               // kinds 19-24
        {92, -5, 0, " -5"},               // kinds 25-30
        {91, 0, 0, " OFF"},               // kinds 31-36 drop the unit after OFF
        {94, 0, 0, " OFF"},               // kind 32
        {91, 3, 0, " 300Hz"},             // kinds 31-36
        {91, 8, 0, " ????????????"},      // eight choices: 8 has none, and no unit
        {8, 1, 0, " 0.5sec"},             // kinds 37-40
        {16, 0, 0, " OFF"},               // kind 41
        {16, 100, 0, " 100sec"},          // kind 41, seconds
        {16, 241, 0, " 270sec"},          // kind 41, a code from the dialog
        {16, 270, 0, " 270sec"},          // kind 41, seconds as the radio reports them
        {16, 2.9999999, 0, " 3sec"},      // whole numbers by six decimals
    };
    for (const auto& [number, value, bitIndex, text] : cases) {
        EXPECT_EQ(MenuSettingText(ItemWithValue(number, value), bitIndex), text)
            << "item " << number << " value " << value;
    }
    MenuItem edited = ItemWithValue(1, 300);
    edited.edited = 1;
    edited.editedValue = 320;
    EXPECT_EQ(MenuSettingText(edited, 0), " 320msec");
}

TEST(MenuValues, EntriesCountInWholeUnitsAndStoreTheirValue) {
    // item, value, entries, first, last, current ("" for none), an entry's text, the value it
    // stores
    const std::tuple<int, double, size_t, const char*, const char*, const char*, const char*,
                     int64_t>
        cases[] = {
            {1, 300, 200, "20", "4000", "300", "320", 320},
            {12, 30, 16, "-30", "0", "-30", "-28", 28},
            {46, 30, 21, "2.5", "4.5", "3.0", "3.7", 37},
            {73, 1800, 200, "1.800", "1.999", "1.800", "1.850", 1850},
            {83, 53999, 4000, "50.000", "53.999", "53.999", "51.234", 51234},
            {36, 1000, 102, "MCVR", "FIX(100)", "MCVR", "FIX(50)", 50},
            {31, 0, 31, "OFF", "30", "OFF", "7", 7},
            {16, 270, 256, "OFF", "690", "270", "270", 241},
            {16, 241, 256, "OFF", "690", "270", "690", 255},
            {4, 2, 5, "COOL BLUE", "UMBER", "FLASH WHITE", "UMBER", 4},
            {91, 9, 8, "OFF", "700", "", "100", 1},
            {18, 1, 10000, "0", "9999", "1", "9999", 9999},
        };
    for (const auto& [number, value, count, first, last, current, chosenText, stores] : cases) {
        const MenuEntryList list = MenuEntriesOf(ItemWithValue(number, value));
        SCOPED_TRACE(number);
        ASSERT_EQ(list.entries.size(), count);
        EXPECT_FALSE(list.rangeUnavailable);
        EXPECT_EQ(std::tuple(list.entries.front().text, list.entries.back().text),
                  std::tuple(first, last));
        EXPECT_EQ(list.current < 0 ? "" : list.entries[static_cast<size_t>(list.current)].text,
                  current);
        const auto isChosen = [&](const MenuEntry& e) { return e.text == chosenText; };
        ASSERT_EQ(std::count_if(list.entries.begin(), list.entries.end(), isChosen), 1)
            << chosenText;
        EXPECT_EQ(std::find_if(list.entries.begin(), list.entries.end(), isChosen)->value, stores);
    }
}

TEST(MenuValues, RangesThatCannotBeListedGiveNoEntriesAndKeepTheRow) {
    const std::tuple<uint32_t, double, double, double> bad[] = {
        // kind, limits, step
        {0, 0, 100, 0},      {0, 0, 100, -1}, {0, 0, 1e9, 1}, {9, 25, 45, 0.15},
        {10, 0, 1e12, 1e-9}, {16, 1, 100, 0}, {8, 30, 0, -2}, {13, 0, 1e7, 1},
    };
    for (const auto& [kind, min, max, step] : bad) {
        MenuItem item = ItemWithValue(1, 7);
        std::tie(item.kind, item.minValue, item.maxValue, item.step) =
            std::tie(kind, min, max, step);
        const MenuEntryList list = MenuEntriesOf(item);
        EXPECT_TRUE(list.rangeUnavailable) << kind << " step " << step;
        EXPECT_TRUE(list.entries.empty());
        EXPECT_FALSE(MenuRowText(item, 0).empty());
    }
}

TEST(MenuValues, BitsWithoutABoxSurviveTheBitsDialog) {
    // Bit 0x1 has no box; it stays set when the boxes are left as they were.
    MenuItem item = ItemWithValue(90, 0x1FFF);
    ChooseMenuBits(item, 0xFFF);
    EXPECT_EQ(item.edited, 0);
    ChooseMenuBits(item, 0xFFE);  // box 0 (bit 0x1000) unticked
    EXPECT_EQ(std::tuple(item.edited, item.editedValue), std::tuple(1, 0x0FFF));

    // With three choices only bits 0x1000, 0x800 and 0x400 have boxes.
    MenuItem few = ItemWithValue(90, 0x1000 | 0x20 | 0x1);
    few.choiceCount = 3;
    ChooseMenuBits(few, 0b110);
    EXPECT_EQ(std::tuple(few.edited, few.editedValue), std::tuple(1, 0x800 | 0x400 | 0x20 | 0x1));
}

std::vector<MenuItem> Catalogue() {
    std::vector<MenuItem> items;
    for (int n = 1; n <= kMenuCatalogueSize; ++n) {
        items.push_back(CatalogueMenuItem(n));
    }
    return items;
}

const std::tm kNewYear2025 = [] {
    std::tm t{};
    t.tm_mday = 1;
    t.tm_year = 125;
    return t;
}();

// Replaces the line that starts with `prefix` (the first such line) by `line`.
std::string WithLine(std::string text, const std::string& prefix, const std::string& line) {
    const size_t at = text.find("\n" + prefix) + 1;
    text.replace(at, text.find('\n', at) - at, line);
    return text;
}

TEST(MenuSettingsFile, SavesEveryItemAndReadsItBack) {
    std::vector<MenuItem> items = Catalogue();
    items[15].value = 270;  // item 16 as the radio reports it: kept as its code
    items[89].value = 0x1FFF;
    items[0].edited = 1;
    items[0].editedValue = 320;  // an edit is saved as shown
    const std::string text = FormatMenuSettings(items, "kestrel-test", kNewYear2025);
    EXPECT_EQ(text.substr(0, text.find('\n')), "# kestrel-test menu settings, 2025-01-01 00:00:00");
    EXPECT_NE(text.find("\n1,320,FAST DELAY\n"), std::string::npos);
    EXPECT_NE(text.find("\n16,241,BEACON TIME\n"), std::string::npos);
    EXPECT_NE(text.find("\n12,0,ROTATOR OFFSET ADJ\n"), std::string::npos);

    std::vector<int64_t> values;
    std::string error;
    ASSERT_TRUE(ParseMenuSettings(text, items, values, error)) << error;
    ASSERT_EQ(values.size(), 118u);
    EXPECT_EQ(std::tuple(values[0], values[15], values[89], values[29]),
              std::tuple(320, 241, 0x1FFF, 5));
    // Comments, blank lines, spaces and carriage returns are read.
    const std::string loose = WithLine(text, "5,", " 5 , +9 ,name, with, commas\r\n\n# note");
    ASSERT_TRUE(ParseMenuSettings(loose, items, values, error)) << error;
    EXPECT_EQ(values[4], 9);
}

TEST(MenuSettingsFile, ABadLineChangesNothingAndIsNamed) {
    const std::string good = FormatMenuSettings(Catalogue(), "kestrel-test", kNewYear2025);
    const std::pair<std::string, std::string> cases[] = {
        // text, error
        {"1,300,FAST DELAY\n" + good, "line 1: "},
        {WithLine(good, "5,", "5,8"), "line 6: expected number,value,name"},
        {WithLine(good, "5,", "119,8,X"), "line 6: no menu item \"119\""},
        {WithLine(good, "5,", "0x5,8,X"), "line 6: no menu item"},
        {WithLine(good, "5,", "5,16,DIMMER VFD"), "line 6: value \"16\" of item 5 is not 0 to 15"},
        {WithLine(good, "5,", "5,8.5,DIMMER VFD"), "line 6: value \"8.5\""},
        {WithLine(good, "5,", "4,1,TFT COLOR"), "line 6: item 4 appears twice"},
        {WithLine(good, "4,", "4,5,TFT COLOR"), "line 5: value \"5\" of item 4 is not 0 to 4"},
        {WithLine(good, "16,", "16,270,BEACON TIME"), "line 17: value \"270\" of item 16"},
        {WithLine(good, "118,", ""), "the file has no line for item 118"},
        {"", "the file is empty"},
        {std::string(kMenuSettingsMaxBytes + 1, '#'), "too large"},
    };
    for (const auto& [text, expected] : cases) {
        std::vector<int64_t> values{42};
        std::string error;
        EXPECT_FALSE(ParseMenuSettings(text, Catalogue(), values, error)) << expected;
        EXPECT_NE(error.find(expected), std::string::npos) << error << " / " << expected;
        EXPECT_EQ(values, std::vector<int64_t>{42});
    }
    // A file too large is refused as it is read, before anything is parsed.
    const std::string path = testing::TempDir() + "kestrel-menu-too-large";
    std::ofstream(path) << std::string(kMenuSettingsMaxBytes + 1, '#');
    std::vector<int64_t> values;
    std::string error;
    EXPECT_FALSE(ReadMenuSettingsFile(path, Catalogue(), values, error));
    EXPECT_EQ(error, "the file cannot be read or is too large");
    std::filesystem::remove(path);
}

// The items whose choices are their range text cut at each "/".
const std::set<int> kSplitItems{4,  6,  11, 13, 17, 19,  20,  21,  22,  23,  24,  28, 29, 32,
                                33, 34, 37, 38, 39, 40,  41,  42,  43,  47,  48,  59, 60, 71,
                                85, 86, 91, 94, 97, 100, 103, 106, 110, 113, 114, 118};
const std::set<uint32_t> kListKinds{1, 15, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40};

int Digits(int64_t v) {
    return static_cast<int>(std::to_string(std::llabs(v)).size());
}

TEST(MenuCatalogue, SplitItemsTakeTheirChoicesFromTheRangeText) {
    for (int n : kSplitItems) {
        const MenuItem item = CatalogueMenuItem(n);
        std::vector<std::string> parts(1);
        for (const char c : std::string_view(item.rangeText)) {
            c == '/' ? void(parts.emplace_back()) : parts.back().push_back(c);
        }
        EXPECT_EQ(std::vector<std::string>(item.choices, item.choices + item.choiceCount), parts)
            << n;
    }
    EXPECT_EQ(CatalogueMenuItem(97).choiceCount, 19u);
    EXPECT_EQ(CatalogueMenuItem(0).number, 0u) << "no item 0";
    EXPECT_EQ(CatalogueMenuItem(119).number, 0u) << "no item 119";
}

TEST(MenuCatalogue, DefaultsLieWithinTheirLimitsOrChoices) {
    for (int n = 1; n <= kMenuCatalogueSize; ++n) {
        const MenuItem item = CatalogueMenuItem(n);
        SCOPED_TRACE(n);
        const double v = item.value;
        switch (item.kind) {
            case 8:  // a magnitude: the limits run from -minValue to -maxValue
                EXPECT_GE(v, item.maxValue);
                EXPECT_LE(v, item.minValue);
                break;
            case 13:
                EXPECT_TRUE(v == 1000 || (v >= item.minValue && v <= item.maxValue));
                break;
            case 16:
            case 41:
                EXPECT_TRUE(v == 0 || (v >= item.minValue && v <= item.maxValue));
                break;
            case 14:
                EXPECT_EQ(static_cast<int>(v) & ~0x1FFE, 0) << "only the bits of its 12 choices";
                break;
            default:
                if (kListKinds.count(item.kind) != 0) {
                    EXPECT_TRUE(v >= 0 && v < item.choiceCount) << v;
                    EXPECT_EQ(std::tuple(item.minValue, item.maxValue, item.step),
                              std::tuple(0, 0, 0));
                } else {
                    EXPECT_EQ(item.choiceCount, 0u);
                    EXPECT_LT(item.minValue, item.maxValue);
                    EXPECT_GT(item.step, 0);
                    EXPECT_TRUE(v >= item.minValue && v <= item.maxValue) << v;
                }
        }
    }
}

TEST(MenuCatalogue, WidthHoldsTheLargestValueField) {
    for (int n = 1; n <= kMenuCatalogueSize; ++n) {
        const MenuItem item = CatalogueMenuItem(n);
        SCOPED_TRACE(n);
        const auto lo = static_cast<int64_t>(item.minValue);
        const auto hi = static_cast<int64_t>(item.maxValue);
        const int largest = std::max(Digits(lo), Digits(hi));
        const uint32_t k = item.kind;
        if (k == 4 || k == 11 || (k >= 25 && k <= 30)) {
            EXPECT_GE(item.width, static_cast<uint32_t>(largest + 1)) << "sign and digits";
        } else if (k == 14) {
            EXPECT_EQ(item.width, 13u) << "one character per bit from 4096 down";
        } else if (k == 41) {
            EXPECT_GE(item.width, 3u) << "codes up to 255";
        } else if (k == 13) {
            EXPECT_GE(item.width, 4u) << "1000 stands for the first choice";
        } else if (kListKinds.count(k) != 0) {
            EXPECT_GE(item.width, static_cast<uint32_t>(Digits(item.choiceCount - 1)));
        } else {
            EXPECT_GE(item.width, static_cast<uint32_t>(largest));
        }
    }
}

TEST(MenuCatalogue, EqualizerItemsRunFrequencyLevelBandwidthInKindOrder) {
    for (int eq = 0; eq < 6; ++eq) {
        const MenuItem freq = CatalogueMenuItem(91 + 3 * eq);
        const MenuItem level = CatalogueMenuItem(92 + 3 * eq);
        const MenuItem width = CatalogueMenuItem(93 + 3 * eq);
        SCOPED_TRACE(eq);
        EXPECT_EQ(std::tuple(freq.kind, level.kind, width.kind),
                  std::tuple(31u + eq, 25u + eq, 19u + eq));
        EXPECT_EQ(std::string(freq.name).rfind("P-", 0) == 0, eq >= 3);
    }
}

TEST(MenuValueToWhole, PrintsSixDecimalsAndKeepsTheIntegerPart) {
    const std::pair<double, int64_t> cases[] = {
        {2.9999999, 3}, {2.999999, 2},    {2.5, 2},         {-15.0, -15},
        {-0.5, 0},      {-4.9999999, -5}, {53999.0, 53999}, {1e300, 9000000000000000}};
    for (const auto& [value, whole] : cases) {
        EXPECT_EQ(MenuValueToWhole(value), whole) << value;
    }
}

}  // namespace
}  // namespace kestrel
