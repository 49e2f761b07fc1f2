#include "platform/csv_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

namespace kestrel {
namespace {

// Rows by line feed (a last line without one still counts), columns by the widest line; quotes
// protect commas and line feeds and are not stored, a doubled one inside stores one, one inside
// a field is stored and starts quoted mode; fields beyond the columns are dropped; two-byte
// characters vanish (a lead byte before a non-trail byte vanishes alone).
TEST(CsvReader, ReadsCellsByTheRulesOfTheFilesItIsGiven) {
    // clang-format off
    const std::pair<std::string_view, std::string_view> cases[] = {  // text, rows joined by "/", cells by "|"
        {"1,2,3\n4\n5,6\n",                "1|2|3/4||/5|6|"},
        {"1,2\n3,4",                       "1|2/3|4"},
        {"1,2\r\n3,4\r\n",                 "1|2/3|4"},
        {"\"a,b\",c\n",                    "a,b|c|"},
        {"\"say \"\"hi\"\"\",x\n",         "say \"hi\"|x"},
        {"ab\"c,d\"\n",                    "ab\"c,d|"},
        {"a,\"b\nc\",d,e\n",               "a|b\nc|d/||"},
        {"\x82\xA0X,\x82" "1,\x9F\x7F" "2\n", "X|1|\x7F" "2"},
        {"",                               ""},
    };
    // clang-format on
    for (const auto& [text, table] : cases) {
        CsvReader r;
        ASSERT_TRUE(r.ReadText(text));
        EXPECT_TRUE(r.HasTable());
        EXPECT_EQ(r.CellCount(), r.Rows() * r.Columns());
        std::string cells;
        for (size_t row = 0; row < r.Rows(); ++row) {
            for (size_t column = 0; column < r.Columns(); ++column) {
                cells += (column > 0 ? "|" : row > 0 ? "/" : "") + std::string(r.Cell(row, column));
            }
        }
        EXPECT_EQ(cells, table) << text;
        EXPECT_EQ(r.Cell(r.Rows(), 0), "");
    }
}

TEST(CsvReader, ReadsOnceAndRefusesWhatItCannotHold) {
    std::string bytes;
    for (int i = 0; i < 4096; ++i) {
        bytes.push_back(static_cast<char>((i * 37 + 11) & 0xFF));
    }
    CsvReader binary;
    EXPECT_TRUE(binary.ReadText(bytes));
    EXPECT_LE(binary.CellCount(), CsvReader::kMaxCells);
    CsvReader r;
    EXPECT_FALSE(r.ReadText(std::string(300, ',') + std::string(300, '\n')));
    EXPECT_FALSE(r.ReadText(std::string(CsvReader::kMaxFileBytes + 1, 'x')));
    EXPECT_FALSE(r.ReadFile("/nonexistent/kestrel/file.csv"));
    const std::string path =
        testing::TempDir() + "kestrel-csv-" + std::to_string(::getpid()) + ".csv";
    std::ofstream(path) << "7,8\n";
    ASSERT_TRUE(r.ReadFile(path));
    EXPECT_EQ(r.Cell(0, 1), "8");
    EXPECT_FALSE(r.ReadText("2\n"));
    EXPECT_EQ(r.CellAt(1), "8");
    std::remove(path.c_str());
}

}  // namespace
}  // namespace kestrel
