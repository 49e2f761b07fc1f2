#include "platform/csv_reader.h"

#include <gtest/gtest.h>

#include <fstream>

#include "serial/serial_fixture.h"

namespace kestrel {
namespace {

CsvReader Read(std::string_view text) {
    CsvReader reader;
    EXPECT_TRUE(reader.ReadText(text));
    return reader;
}

TEST(CsvReader, CountsRowsByLineFeedAndColumnsByWidestLine) {
    const CsvReader r = Read("1,2,3\n4\n5,6\n");
    EXPECT_EQ(r.Rows(), 3u);
    EXPECT_EQ(r.Columns(), 3u);
    EXPECT_EQ(r.CellCount(), 9u);
    EXPECT_EQ(r.Cell(0, 2), "3");
    EXPECT_EQ(r.Cell(1, 0), "4");
    EXPECT_EQ(r.Cell(1, 1), "");
    EXPECT_EQ(r.Cell(2, 1), "6");
    EXPECT_EQ(r.Cell(3, 0), "");
}

TEST(CsvReader, LastLineWithoutLineFeedIsStillARow) {
    const CsvReader r = Read("1,2\n3,4");
    ASSERT_EQ(r.Rows(), 2u);
    EXPECT_EQ(r.CellCount(), 4u);
    EXPECT_EQ(r.Cell(1, 0), "3");
    EXPECT_EQ(r.Cell(1, 1), "4");
}

TEST(CsvReader, CrLfLineEndsReadAsLineFeeds) {
    const CsvReader r = Read("1,2\r\n3,4\r\n");
    ASSERT_EQ(r.Rows(), 2u);
    EXPECT_EQ(r.Cell(0, 1), "2");
    EXPECT_EQ(r.Cell(1, 1), "4");
}

TEST(CsvReader, QuotesProtectCommasAndAreNotStored) {
    const CsvReader r = Read("\"a,b\",c\n");
    EXPECT_EQ(r.Cell(0, 0), "a,b");
    EXPECT_EQ(r.Cell(0, 1), "c");
}

TEST(CsvReader, DoubledQuoteInsideQuotesStoresOne) {
    const CsvReader r = Read("\"say \"\"hi\"\"\",x\n");
    EXPECT_EQ(r.Cell(0, 0), "say \"hi\"");
    EXPECT_EQ(r.Cell(0, 1), "x");
}

TEST(CsvReader, QuoteInsideAFieldIsStoredAndStartsQuotedMode) {
    const CsvReader r = Read("ab\"c,d\"\n");
    EXPECT_EQ(r.Cell(0, 0), "ab\"c,d");
}

TEST(CsvReader, QuotedLineFeedJoinsLinesAndExtraFieldsAreDropped) {
    const CsvReader r = Read("a,\"b\nc\",d,e\n");
    ASSERT_EQ(r.Rows(), 2u);
    ASSERT_EQ(r.Columns(), 3u);
    EXPECT_EQ(r.Cell(0, 0), "a");
    EXPECT_EQ(r.Cell(0, 1), "b\nc");
    EXPECT_EQ(r.Cell(0, 2), "d");
    EXPECT_EQ(r.Cell(1, 0), "");
}

TEST(CsvReader, SkipsTwoByteCharacters) {
    // A lead byte and its trail byte vanish; a lead byte before a non-trail byte vanishes alone.
    const CsvReader r = Read(
        "\x82\xA0X,\x82"
        "1,\x9F\x7F"
        "2\n");
    EXPECT_EQ(r.Cell(0, 0), "X");
    EXPECT_EQ(r.Cell(0, 1), "1");
    EXPECT_EQ(r.Cell(0, 2),
              "\x7F"
              "2");
}

TEST(CsvReader, EmptyInputGivesEmptyTable) {
    const CsvReader r = Read("");
    EXPECT_TRUE(r.HasTable());
    EXPECT_EQ(r.CellCount(), 0u);
}

TEST(CsvReader, BinaryInputGivesATableWithoutHarm) {
    std::string bytes;
    for (int i = 0; i < 4096; ++i) {
        bytes.push_back(static_cast<char>((i * 37 + 11) & 0xFF));
    }
    CsvReader r;
    EXPECT_TRUE(r.ReadText(bytes));
    EXPECT_LE(r.CellCount(), CsvReader::kMaxCells);
}

TEST(CsvReader, RefusesTablesTooLargeToHold) {
    std::string text(300, ',');
    text += std::string(300, '\n');
    CsvReader r;
    EXPECT_FALSE(r.ReadText(text));
    EXPECT_FALSE(r.ReadText(std::string(CsvReader::kMaxFileBytes + 1, 'x')));
}

TEST(CsvReader, RefusesSecondReadAndMissingFile) {
    CsvReader r;
    EXPECT_FALSE(r.ReadFile("/nonexistent/kestrel/file.csv"));
    EXPECT_TRUE(r.ReadText("1\n"));
    EXPECT_FALSE(r.ReadText("2\n"));
    EXPECT_EQ(r.CellAt(0), "1");
}

TEST(CsvReader, ReadsAFile) {
    TempDir dir;
    const std::string path = dir.Path() + "/t.csv";
    std::ofstream(path) << "7,8\n";
    CsvReader r;
    ASSERT_TRUE(r.ReadFile(path));
    EXPECT_EQ(r.Cell(0, 1), "8");
}

}  // namespace
}  // namespace kestrel
