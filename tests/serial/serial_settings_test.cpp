#include "serial/serial_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "protocol/control_mirror.h"
#include "serial/serial_fixture.h"

namespace kestrel {
namespace {

class SettingsTest : public SerialLinkTest {
  protected:
    std::string FilePath() const { return dir_.Path() + "/CommoFiles/CommSetting.csv"; }
    void WriteFile(std::string_view text) {
        std::filesystem::create_directories(dir_.Path() + "/CommoFiles");
        std::ofstream(FilePath(), std::ios::binary) << text;
    }
    std::string ReadFile() const {
        std::ifstream in(FilePath(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::vector<std::string> opened_;
};

TEST_F(SettingsTest, ThreeNineSixHundredOpensComThreeAtNineSixHundred) {
    WriteFile("3,9600,0\n");
    TheSerialPort().SetDeviceFactory([this](const std::string& path) {
        opened_.push_back(path);
        return pair_.Open(MemorySerialPair::Side::A);
    });
    ASSERT_EQ(TheSerialPort().LoadSettings(), SettingsFile::Read);
    ASSERT_TRUE(TheSerialPort().Open(GetMirror(Mirror::AI) != 0));
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0], "/dev/ttyS2");
    const LineSettings line = pair_.Settings(MemorySerialPair::Side::A);
    EXPECT_EQ(line.baud, 9600);
    EXPECT_EQ(line.stopBits, 2);
    EXPECT_TRUE(line.ctsFlow);
}

TEST_F(SettingsTest, CellsCountInRowOrderAndBadValuesTakeDefaults) {
    const struct {
        std::string_view text;
        SettingsFile result;
        int32_t port;
        int32_t baud;
        int32_t third;
    } cases[] = {
        {"3,9600,0", SettingsFile::Read, 3, 9600, 0},  // hand-edited, no newline
        {"2\n19200\n5\n", SettingsFile::Read, 2, 19200, 5},
        {"25,1200,7\n", SettingsFile::Read, 1, 4800, 7},
        {"3,9600\n", SettingsFile::Unreadable, 1, 4800, 0},
        {"", SettingsFile::Unreadable, 1, 4800, 0},
        {"3,9600", SettingsFile::Unreadable, 1, 4800, 0},
        {"\x82\xA0\n", SettingsFile::Unreadable, 1, 4800, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        WriteFile(c.text);
        TheSerialPort().SetPortNumber(5);
        TheSerialPort().SetThirdValue(9);
        EXPECT_EQ(TheSerialPort().LoadSettings(), c.result);
        EXPECT_EQ(TheSerialPort().PortNumber(), c.port);
        EXPECT_EQ(TheSerialPort().BaudRate(), c.baud);
        EXPECT_EQ(TheSerialPort().ThirdValue(), c.third);
    }
    ASSERT_TRUE(TheSerialPort().SaveSettings());
    EXPECT_EQ(ReadFile(), "1,4800,0\n");
}

// No installer writes the file: a first start uses the defaults without a box and writes it at
// exit. A file that is there and cannot be read still gets the box.
TEST_F(SettingsTest, MissingFileIsAQuietFirstStartAndIsCreatedAtSave) {
    TheSerialPort().SetPortNumber(4);
    std::vector<int> shown;
    EXPECT_FALSE(InitialiseSerialPort([&](int id) { shown.push_back(id); }));
    EXPECT_EQ(shown, std::vector<int>{});
    EXPECT_EQ(TheSerialPort().PortNumber(), 1);
    EXPECT_EQ(TheSerialPort().BaudRate(), 4800);
    EXPECT_EQ(TheSerialPort().ThirdValue(), 0);
    ASSERT_TRUE(TheSerialPort().SaveSettings());
    EXPECT_EQ(ReadFile(), "1,4800,0\n");

    std::filesystem::remove(FilePath());
    std::filesystem::create_directories(FilePath());  // there, but no file to read
    EXPECT_FALSE(InitialiseSerialPort([&](int id) { shown.push_back(id); }));
    EXPECT_EQ(shown, std::vector<int>{108});
}

TEST_F(SettingsTest, CellsConvertLikeAtoi) {
    EXPECT_EQ(CellToInt(" 42abc"), 42);
    EXPECT_EQ(CellToInt("-7"), -7);
    EXPECT_EQ(CellToInt("x1"), 0);
    EXPECT_EQ(CellToInt("99999999999999"), 2147483647);
    EXPECT_EQ(CellToInt("-99999999999999"), -2147483648);
}

TEST_F(SettingsTest, SaveReplacesWholeFileAndLeavesNoTemporary) {
    WriteFile("3,9600,0\nleft,over,text,from,before\n");
    TheSerialPort().SetPortNumber(20);
    TheSerialPort().SetBaudRate(38400);
    TheSerialPort().SetThirdValue(7);
    ASSERT_TRUE(TheSerialPort().SaveSettings());
    EXPECT_EQ(ReadFile(), "20,38400,7\n");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.Path() + "/CommoFiles")) {
        ++files;
        EXPECT_EQ(entry.path().filename(), "CommSetting.csv");
    }
    EXPECT_EQ(files, 1);
}

TEST_F(SettingsTest, SaveFailsWhenFolderCannotBeMade) {
    std::ofstream(dir_.Path() + "/CommoFiles") << "a file in the folder's place";
    EXPECT_FALSE(TheSerialPort().SaveSettings());
}

TEST_F(SettingsTest, SettersKeepOnlyValidValues) {
    SerialPort& port = TheSerialPort();
    EXPECT_TRUE(port.SetPortNumber(20));
    EXPECT_FALSE(port.SetPortNumber(21));
    EXPECT_EQ(port.PortNumber(), 1);
    EXPECT_FALSE(port.SetPortNumber(0));
    for (int32_t baud : {4800, 9600, 19200, 38400}) {
        EXPECT_TRUE(port.SetBaudRate(baud));
        EXPECT_EQ(port.BaudRate(), baud);
    }
    EXPECT_FALSE(port.SetBaudRate(57600));
    EXPECT_EQ(port.BaudRate(), 4800);
}

}  // namespace
}  // namespace kestrel
