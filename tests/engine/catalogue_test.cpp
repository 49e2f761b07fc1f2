#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

#include "protocol/cat_catalogue.h"
#include "protocol/notifications.h"

namespace kestrel {
namespace {

struct CodeRow {
    std::string_view code;
    int set;   // -1: no set row
    int read;  // -1: no read row
    int kind;
    int answer;  // -1: no answer row
    uint32_t notification;
};

int SetLength(std::string_view code) {
    const int row = FindSetRow(code);
    return row < 0 ? -1 : CatSetTable[row].length;
}

int ReadLength(std::string_view code) {
    const int row = FindReadRow(code);
    return row < 0 ? -1 : CatReadTable[row].length;
}

int AnswerLengthOf(std::string_view code) {
    const int row = FindAnswerRow(code);
    return row < 0 ? -1 : CatAnswerTable[row].length;
}

// Rows whose lengths differ between directions, plus the table ends.
TEST(Catalogue, SpotRowsCarryTheirLengthsKindsAndNotifications) {
    const CodeRow rows[] = {
        {"KM", 54, 4, 3, 54, 0x833D},  {"IF", 27, 3, 0, 27, 0x832D}, {"RO", 4, 3, 0, 10, 0x8335},
        {"KC", 6, 4, 1, 5, 0x8353},    {"AN", 5, 4, 1, 6, 0x8317},   {"VF", 7, 4, 1, 9, 0x832E},
        {"AC", 6, 3, 0, 6, 0x8318},    {"ID", -1, 3, 3, 7, 0x8344},  {"ML", 7, 4, 2, 7, 0x831E},
        {"PE", -1, 6, 3, 9, 0x834F},   {"BY", -1, 3, 0, 5, 0x8332},  {"FA", 11, 3, 0, 11, 0x8333},
        {"MS", 4, 3, 0, 4, 0x8346},    {"OI", 27, 3, 0, 27, 0x833F}, {"DA", -1, -1, 0, 7, 0x8354},
        {"MR", -1, -1, 0, 27, 0x8355}, {"BS", 5, -1, 0, -1, 0},      {"RD", 7, -1, 0, -1, 0},
    };
    for (const CodeRow& row : rows) {
        SCOPED_TRACE(std::string(row.code));
        EXPECT_EQ(SetLength(row.code), row.set);
        EXPECT_EQ(ReadLength(row.code), row.read);
        if (row.read >= 0) {
            EXPECT_EQ(CatReadTable[FindReadRow(row.code)].kind, row.kind);
        }
        EXPECT_EQ(AnswerLengthOf(row.code), row.answer);
        EXPECT_EQ(AnswerNotification(row.code), row.notification);
    }
}

TEST(Catalogue, RowsStandInTheirPlaces) {
    // The ends and a few rows whose neighbours differ between the tables.
    EXPECT_EQ(FindSetRow("BS"), 0);
    EXPECT_EQ(FindSetRow("FA"), 46);
    EXPECT_EQ(FindSetRow("KC"), 84);
    EXPECT_EQ(FindReadRow("ID"), 0);
    EXPECT_EQ(FindReadRow("IF"), 43);
    EXPECT_EQ(FindReadRow("PE"), 71);
    EXPECT_EQ(FindReadRow("KC"), 72);
    EXPECT_EQ(FindAnswerRow("KC"), 72);
    EXPECT_EQ(FindAnswerRow("MR"), 74);
}

TEST(Catalogue, CodesExistOnlyInTheDirectionsTheRadioUses) {
    for (std::string_view code : {"BS", "AB", "AM", "BD", "BU", "CH", "ED", "EU", "FK", "KY", "QI",
                                  "QR", "QS", "RC", "RD", "RU", "SV", "VM", "MA", "MK", "DS"}) {
        EXPECT_GE(FindSetRow(code), 0) << code;
        EXPECT_LT(FindReadRow(code), 0) << code;
        EXPECT_LT(FindAnswerRow(code), 0) << code;
    }
    for (std::string_view code : {"ID", "RM", "BY", "SM", "UL", "RS", "RI", "BG", "PE"}) {
        EXPECT_LT(FindSetRow(code), 0) << code;
        EXPECT_GE(FindReadRow(code), 0) << code;
    }
}

TEST(Catalogue, OnlyTheWideParameterCodesReadWithTheirOwnParameter) {
    std::set<std::string> ownParam;
    for (const CatReadRow& row : CatReadTable) {
        if (row.kind == kReadOwnParam) {
            ownParam.insert(row.code);
        }
    }
    EXPECT_EQ(ownParam, (std::set<std::string>{"ID", "BP", "CO", "RM", "KM", "RI", "BG", "PE"}));
}

TEST(Catalogue, NotificationsAreOnePerAnswerCode) {
    std::set<uint32_t> seen{CatMenuAnswerRow.notification};
    for (const CatAnswerRow& row : CatAnswerTable) {
        EXPECT_TRUE(seen.insert(row.notification).second) << row.code;
    }
    EXPECT_EQ(seen.size(), 76u);
    EXPECT_EQ(*seen.begin(), 0x8302u);
    EXPECT_EQ(*seen.rbegin(), 0x8355u);
}

TEST(Catalogue, AnswerLookupMatchesBothLettersExactly) {
    EXPECT_EQ(FindAnswerRow('F', 'A'), FindAnswerRow("FA"));
    EXPECT_NE(FindAnswerRow("FA"), FindAnswerRow("FB"));
    EXPECT_LT(FindAnswerRow("EX"), 0);
    EXPECT_LT(FindAnswerRow("ZZ"), 0);
    EXPECT_LT(FindAnswerRow("fa"), 0);
    EXPECT_LT(FindAnswerRow("F"), 0);
    EXPECT_LT(FindAnswerRow("FAX"), 0);
}

TEST(CommandBuilding, PlacesCodeParameterAndTerminatorAtTheCataloguedLength) {
    const CatCommand lock = BuildCommand(CatSetTable[FindSetRow("LK")], "1");
    EXPECT_EQ(lock.Text(), "LK1;");
    const CatCommand fa = BuildCommand(CatSetTable[FindSetRow("FA")], "14250000");
    EXPECT_EQ(fa.Text(), "FA14250000;");
    EXPECT_EQ(fa.length, 11);
    EXPECT_EQ(fa.bytes[11], 0);
}

TEST(CommandBuilding, ReadCommandsFollowTheirKind) {
    for (const CatReadRow& row : CatReadTable) {
        const std::string code(row.code);
        if (row.kind == kReadPlain) {
            EXPECT_EQ(BuildCommand(row, "").Text(), code + ";");
        } else if (row.kind == kReadZero) {
            EXPECT_EQ(BuildCommand(row, "0").Text(), code + "0;");
        }
    }
    EXPECT_EQ(BuildCommand(CatReadTable[FindReadRow("PE")], "012").Text(), "PE012;");
}

TEST(CommandBuilding, KeepsTheTerminatorWhereTheCatalogueSaysWhateverTheParameter) {
    const CatCommand longParam = BuildCommand("LK", 4, "123");
    EXPECT_EQ(longParam.Text(), "LK1;");
    EXPECT_EQ(longParam.bytes[4], 0);

    // A short parameter leaves the rest of the field as the zero bytes of the buffer.
    const CatCommand shortParam = BuildCommand("FA", 11, "142");
    EXPECT_EQ(shortParam.Text(), std::string_view("FA142\0\0\0\0\0;", 11));

    const CatCommand keyer = BuildCommand(CatSetTable[FindSetRow("KM")], std::string(60, 'A'));
    EXPECT_EQ(keyer.length, 54);
    EXPECT_EQ(keyer.bytes[53], ';');
    EXPECT_EQ(keyer.bytes[52], 'A');
}

TEST(CommandBuilding, RefusesLengthsNoCommandCanHave) {
    EXPECT_EQ(BuildCommand("FA", 2, "").length, 0);
    EXPECT_EQ(BuildCommand("FA", 512, "").length, 0);
    EXPECT_EQ(BuildCommand("F", 4, "1").length, 0);
    EXPECT_EQ(BuildCommand("FA", 511, "").length, 511);
}

}  // namespace
}  // namespace kestrel
