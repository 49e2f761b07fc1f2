#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "protocol/cat_catalogue.h"

namespace kestrel {
namespace {

// Every row of every table is found by its own code at its own place, so a lookup that compares
// one letter only, or returns a neighbour, fails here for some row.
template <typename Table, typename Find>
void ExpectEveryRowFoundAtItsPlace(const Table& table, Find find) {
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(find(std::string_view(table[i].code)), static_cast<int>(i)) << table[i].code;
    }
}

TEST(Catalogue, EveryRowIsFoundByItsCodeAndNothingElseIs) {
    ExpectEveryRowFoundAtItsPlace(CatSetTable, [](std::string_view c) { return FindSetRow(c); });
    ExpectEveryRowFoundAtItsPlace(CatReadTable, [](std::string_view c) { return FindReadRow(c); });
    ExpectEveryRowFoundAtItsPlace(CatAnswerTable,
                                  [](std::string_view c) { return FindAnswerRow(c); });
    for (const CatAnswerRow& row : CatAnswerTable) {
        EXPECT_EQ(FindAnswerRow(row.code[0], row.code[1]), FindAnswerRow(row.code)) << row.code;
        EXPECT_EQ(AnswerNotification(row.code), row.notification) << row.code;
    }
    EXPECT_EQ(AnswerNotification("EX"), CatMenuAnswerRow.notification);
    for (std::string_view code : {"ZZ", "fa", "F", "FAX", ""}) {
        EXPECT_LT(FindAnswerRow(code), 0) << code;
        EXPECT_LT(FindSetRow(code), 0) << code;
        EXPECT_LT(FindReadRow(code), 0) << code;
    }
    EXPECT_EQ(AnswerNotification("ZZ"), 0u);
}

TEST(CommandBuilding, PlacesCodeParameterAndTerminatorAtTheCataloguedLength) {
    struct Case {
        std::string_view code;
        int length;
        std::string parameter;
        std::string expected;
    };
    const Case cases[] = {
        {"LK", 4, "1", "LK1;"},
        {"FA", 11, "14250000", "FA14250000;"},
        {"LK", 4, "123", "LK1;"},  // a long parameter is cut at the terminator's place
        {"FA", 11, "142", std::string("FA142\0\0\0\0\0;", 11)},  // the rest stays zero bytes
        {"KM", 54, std::string(60, 'A'), "KM" + std::string(51, 'A') + ";"},
        {"FA", 511, "", "FA" + std::string(508, '\0') + ";"},
        {"FA", 2, "", ""},
        {"FA", 512, "", ""},
        {"F", 4, "1", ""},
    };
    for (const Case& c : cases) {
        const CatCommand command = BuildCommand(c.code, c.length, c.parameter);
        EXPECT_EQ(command.Text(), c.expected) << c.code << " " << c.length;
        EXPECT_EQ(command.bytes[command.length], 0) << c.code << " " << c.length;
    }
}

}  // namespace
}  // namespace kestrel
