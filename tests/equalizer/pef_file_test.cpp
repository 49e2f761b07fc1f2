#include "equalizer/pef_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

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

TEST(PefParse, TakesAGoodFileWholeAndRefusesABadOneWhole) {
    // clang-format off
    const std::pair<std::string_view, bool> cases[] = {  // text, taken
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
    for (const auto& [text, good] : cases) {
        EqualizerValues out = kUntouched;
        EXPECT_EQ(ParsePef(text, out), good) << text;
        EXPECT_EQ(out, good ? kSample : kUntouched) << text;
    }
}

// A save replaces the file whole and leaves no temporary; a failed save or load is reported and
// changes nothing.
TEST(PefFile, SavedFileHoldsTheThreeLinesAndLoadsBackAndFailuresChangeNothing) {
    const fs::path dir =
        fs::path(testing::TempDir()) / ("kestrel-pef-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path path = dir / "20081231235959.pef";
    std::ofstream(path) << "an older, longer file that is replaced whole\n";
    const auto contents = [&] {
        std::stringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        return text.str();
    };
    ASSERT_TRUE(WritePefFile(path.string(), kSample));
    EXPECT_EQ(contents(), kSampleText);
    EqualizerValues loaded = kUntouched;
    ASSERT_TRUE(ReadPefFile(path.string(), loaded));
    EXPECT_EQ(loaded, kSample);

    EqualizerValues offTable = kSample;
    offTable[2] = 0;
    EXPECT_FALSE(WritePefFile(path.string(), offTable));
    EXPECT_FALSE(WritePefFile((dir / "missing" / "x.pef").string(), kSample));
    EXPECT_EQ(contents(), kSampleText);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
    loaded = kUntouched;
    EXPECT_FALSE(ReadPefFile((dir / "absent.pef").string(), loaded));
    EXPECT_EQ(loaded, kUntouched);
    fs::remove_all(dir);
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
