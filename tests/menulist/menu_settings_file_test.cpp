#include "menulist/menu_settings_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "menulist/menu_catalogue.h"

namespace kestrel {
namespace {

std::vector<MenuItem> Catalogue() {
    std::vector<MenuItem> items;
    for (int n = 1; n <= kMenuCatalogueSize; ++n) {
        items.push_back(CatalogueMenuItem(n));
    }
    return items;
}

std::tm NewYear2025() {
    std::tm when{};
    when.tm_mday = 1;
    when.tm_year = 125;
    return when;
}

std::string CatalogueFile() {
    return FormatMenuSettings(Catalogue(), "kestrel-test", NewYear2025());
}

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
    const std::string text = FormatMenuSettings(items, "kestrel-test", NewYear2025());
    EXPECT_EQ(text.substr(0, text.find('\n')), "# kestrel-test menu settings, 2025-01-01 00:00:00");
    EXPECT_NE(text.find("\n1,320,FAST DELAY\n"), std::string::npos);
    EXPECT_NE(text.find("\n16,241,BEACON TIME\n"), std::string::npos);
    EXPECT_NE(text.find("\n12,0,ROTATOR OFFSET ADJ\n"), std::string::npos);

    std::vector<int64_t> values;
    std::string error;
    ASSERT_TRUE(ParseMenuSettings(text, items, values, error)) << error;
    ASSERT_EQ(values.size(), 118u);
    EXPECT_EQ(values[0], 320);
    EXPECT_EQ(values[15], 241);
    EXPECT_EQ(values[89], 0x1FFF);
    EXPECT_EQ(values[29], 5);
}

TEST(MenuSettingsFile, ABadLineChangesNothingAndIsNamed) {
    const std::string good = CatalogueFile();
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
}

TEST(MenuSettingsFile, CommentsBlankLinesSpacesAndCarriageReturnsAreRead) {
    std::string text = WithLine(CatalogueFile(), "5,", " 5 , +9 ,name, with, commas\r\n\n# note");
    std::vector<int64_t> values;
    std::string error;
    ASSERT_TRUE(ParseMenuSettings(text, Catalogue(), values, error)) << error;
    EXPECT_EQ(values[4], 9);
}

}  // namespace
}  // namespace kestrel
