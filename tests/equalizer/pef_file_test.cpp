#include "equalizer/pef_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// Band 1 OFF, 0 dB, 10; band 2 1000 Hz, -5 dB, 3; band 3 2000 Hz, +7 dB, 1.
constexpr EqualizerValues kSample = {0, 0, 10, 4, -5, 3, 6, 7, 1};
constexpr std::string_view kSampleText = "0,0,10\n1000,-5,3\n2000,7,1\n";
// What a failed load must leave behind.
constexpr EqualizerValues kUntouched = {5, -3, 4, 2, 2, 2, 9, 9, 9};

class PefFile : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kestrel-pef-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string Contents(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    size_t FilesInDir() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }

    fs::path dir_;
};

TEST(PefParse, TakesAGoodFileWholeAndRefusesABadOneWhole) {
    struct Case {
        std::string_view text;
        bool good;
    };
    // clang-format off
    const Case cases[] = {
        {kSampleText, true},
        {"0,0,10\r\n1000,-5,3\r\n2000,7,1\r\n", true},       // written on another system
        {"0,0,10\n1000,-5,3\n2000,7,1", true},                 // last line feed missing
        {"0,0,10\n1000,-5,3\n2000,+7,1\n\n\r\n", true},        // a sign; empty lines after
        {"", false},
        {"0,0,10\n1000,-5,3\n", false},                         // two lines
        {"0,0,10\n1000,-5,3\n2000,7,1\n100,0,1\n", false},      // a fourth line with values
        {"100abc,0,10\n1000,-5,3\n2000,7,1\n", false},          // trailing letters
        {"0,,10\n1000,-5,3\n2000,7,1\n", false},                // an empty cell
        {"0,0,10,1\n1000,-5,3\n2000,7,1\n", false},             // a fourth column
        {"\xEF\xBB\xBF" "0,0,10\n1000,-5,3\n2000,7,1\n", false},  // a byte-order mark
        {"\x81\x40" "0,0,10\n1000,-5,3\n2000,7,1\n", false},      // a two-byte character
        {"0, 0,10\n1000,-5,3\n2000,7,1\n", false},              // a space
        {"\"0\",0,10\n1000,-5,3\n2000,7,1\n", false},            // quotes
        {"0,0,10\r\r\n1000,-5,3\n2000,7,1\n", false},           // a stray carriage return
        {std::string_view("0,0,10\n1000,-5,3\n2000,7,1\n\0", 27), false},  // a NUL byte
        {"0,0,0000010\n1000,-5,3\n2000,7,1\n", false},          // more digits than any value
        {"0,0,10\n650,-5,3\n2000,7,1\n", false},                // band 2 has no 650 Hz
        {"0,0,10\n1000,-5,3\n3300,7,1\n", false},               // beyond band 3's table
        {"0,11,10\n1000,-5,3\n2000,7,1\n", false},              // level above +10
        {"0,0,0\n1000,-5,3\n2000,7,1\n", false},                // bandwidth 0
        {"0,0,10\n1000,-5,3\n2000,7,11\n", false},              // bandwidth 11
    };
    // clang-format on
    for (const Case& c : cases) {
        EqualizerValues out = kUntouched;
        EXPECT_EQ(ParsePef(c.text, out), c.good) << c.text;
        EXPECT_EQ(out, c.good ? kSample : kUntouched) << c.text;
    }
}

TEST_F(PefFile, SavedFileHoldsTheThreeLinesAndLoadsBack) {
    const fs::path path = dir_ / "20081231235959.pef";
    {
        std::ofstream old(path);
        old << "an older, longer file that is replaced whole\n";
    }
    ASSERT_TRUE(WritePefFile(path.string(), kSample));
    EXPECT_EQ(Contents(path), kSampleText);
    EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left behind

    EqualizerValues loaded = kUntouched;
    ASSERT_TRUE(ReadPefFile(path.string(), loaded));
    EXPECT_EQ(loaded, kSample);
}

TEST_F(PefFile, FailedSaveOrLoadIsReportedAndChangesNothing) {
    const fs::path path = dir_ / "kept.pef";
    ASSERT_TRUE(WritePefFile(path.string(), kSample));

    EqualizerValues offTable = kSample;
    offTable[2] = 0;
    EXPECT_FALSE(WritePefFile(path.string(), offTable));
    EXPECT_FALSE(WritePefFile((dir_ / "missing" / "x.pef").string(), kSample));
    EXPECT_EQ(Contents(path), kSampleText);
    EXPECT_EQ(FilesInDir(), 1u);

    EqualizerValues out = kUntouched;
    EXPECT_FALSE(ReadPefFile((dir_ / "absent.pef").string(), out));
    EXPECT_EQ(out, kUntouched);
}

TEST(PefName, IsTheLocalTimeRunTogether) {
    for (const char* time : {"2008-12-31 23:59:59", "2009-01-02 03:04:05"}) {
        std::tm local{};
        ASSERT_NE(::strptime(time, "%Y-%m-%d %H:%M:%S", &local), nullptr);
        std::string expected = std::string(time) + ".pef";
        std::erase_if(expected, [](char c) { return c == '-' || c == ' ' || c == ':'; });
        EXPECT_EQ(SuggestedPefName(local), expected);
    }
}

}  // namespace
}  // namespace kestrel
