#include "serial/serial_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "platform/pty_pair.h"
#include "platform/termios_device.h"
#include "protocol/control_mirror.h"
#include "serial/serial_fixture.h"
#include "serial/serial_settings.h"

namespace kestrel {
namespace {

TEST_F(SerialLinkTest, OpenWritesAutoInfoFromMirrorOnceAndCloseRestoresTheLine) {
    EXPECT_FALSE(TheSerialPort().Close());
    SetMirror(Mirror::AI, 1);
    ASSERT_TRUE(TheSerialPort().Open(GetMirror(Mirror::AI) != 0));
    EXPECT_EQ(FarReceived(), "AI1;");
    EXPECT_EQ(std::tuple(AutoInfoSent.load(), AnswerWaiting.load()), std::tuple(0, 0));
    EXPECT_FALSE(TheSerialPort().Open(true)) << "an open port is not opened again";
    EXPECT_TRUE(TheSerialPort().IsOpen());
    EXPECT_EQ(FarReceived(), "");
    EXPECT_TRUE(TheSerialPort().Close());
    const LineSettings line = pair_.Settings(Side::A);
    EXPECT_EQ(std::tuple(TheSerialPort().IsOpen(), TheSerialPort().HandleValid(),
                         pair_.IsOpen(Side::A), line.stopBits, line.ctsFlow),
              std::tuple(false, false, false, 1, false));
}

TEST_F(SerialLinkTest, FailedOpenIsReportedUnlessTheFailureBoxShows) {
    // clang-format off
    const std::tuple<const char*, uint32_t, int, bool, int> rows[] = {  // status, box shown, device missing, reports
        {"carrier hold",   kStatusRlsdHold, 0, false, 1},
        {"box shows",      0,               1, false, 0},
        {"missing device", 0,               0, true,  1},
    };
    // clang-format on
    for (const auto& [name, status, boxShown, missing, reports] : rows) {
        SCOPED_TRACE(name);
        pair_.SetStatusBits(Side::A, status);
        StartupBoxShown = boxShown;
        if (missing) {
            TheSerialPort().SetDeviceFactory(nullptr);
            TheSerialPort().SetDeviceOverride(dir_ + "/no-such-tty");
        }
        const int before = PostedCount(kMsgStartupFailure);
        EXPECT_FALSE(TheSerialPort().Open(false));
        EXPECT_FALSE(TheSerialPort().IsOpen() || pair_.IsOpen(Side::A));
        EXPECT_EQ(PostedCount(kMsgStartupFailure) - before, reports);
        EXPECT_EQ(FarReceived(), "");
    }
}

TEST_F(SerialLinkTest, ProbeLeavesThePortsOwnDeviceAlone) {
    MemorySerialPair other;
    TheSerialPort().SetDeviceFactory([&](const std::string& path) {
        return path == "/dev/ttyS1" ? other.Open(Side::A) : pair_.Open(Side::A);
    });
    OpenPort();
    EXPECT_TRUE(TheSerialPort().Probe(1));
    EXPECT_FALSE(other.IsOpen(Side::A));
    EXPECT_FALSE(TheSerialPort().Probe(0));  // the port's own device cannot be opened twice
    EXPECT_TRUE(TheSerialPort().IsOpen());
    other.SetStatusBits(Side::A, kStatusTxim);
    EXPECT_FALSE(TheSerialPort().Probe(1));
    EXPECT_FALSE(TheSerialPort().Probe(20));
}

// Termios settings belong to the device: a probe that opened the port in use, under another
// name, would rewrite its stop bits and flow control.
TEST_F(SerialLinkTest, ProbeReportsDevicesInUseWithoutTouchingThem) {
    std::filesystem::create_directories(dir_ + "/CommoFiles");
    std::unique_ptr<PtyPair> ptys[3];
    for (int i = 0; i < 3; ++i) {
        ptys[i] = PtyPair::Create();
        ASSERT_TRUE(ptys[i] && ptys[i]->LinkAs(dir_ + "/CommoFiles/COM" + std::to_string(i + 2)));
    }
    TheSerialPort().SetDeviceFactory(nullptr);
    TheSerialPort().SetDeviceOverride(ptys[0]->Path());
    ASSERT_TRUE(TheSerialPort().Open(false));
    const int other = ::open(ptys[1]->Path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);

    EXPECT_FALSE(TheSerialPort().Probe(1)) << "the held device under its COM2 name";
    EXPECT_FALSE(TheSerialPort().Probe(2)) << "locked by another program";
    EXPECT_TRUE(TheSerialPort().Probe(3));
    termios line{};
    ASSERT_EQ(::tcgetattr(ptys[0]->FarFd(), &line), 0);
    EXPECT_TRUE(line.c_cflag & CSTOPB);
    EXPECT_TRUE(line.c_cflag & CRTSCTS);
    EXPECT_EQ(TermiosDevice::Open(ptys[0]->Path()), nullptr) << "nor does a second open succeed";
    ::close(other);
    EXPECT_TRUE(TheSerialPort().Probe(2));
}

TEST_F(SerialLinkTest, VanishedDeviceReadsAsIoErrorAndClosedPort) {
    OpenPort();
    pair_.Unplug();
    uint32_t errors = 0;
    LineStatus status;
    EXPECT_TRUE(TheSerialPort().ClearError(errors, status));
    EXPECT_EQ(std::tuple(errors, TheSerialPort().IsOpen()), std::tuple(kLineIoError, false));
    EXPECT_FALSE(TheSerialPort().ClearError(errors, status));
    EXPECT_EQ(errors, 0u);
}

class SettingsTest : public SerialLinkTest {
  protected:
    std::string FilePath() const { return dir_ + "/CommoFiles/CommSetting.csv"; }
    void WriteFile(std::string_view text) {
        std::filesystem::create_directories(dir_ + "/CommoFiles");
        std::ofstream(FilePath(), std::ios::binary) << text;
    }
    std::string ReadFile() const {
        std::stringstream text;
        text << std::ifstream(FilePath(), std::ios::binary).rdbuf();
        return text.str();
    }
};

TEST_F(SettingsTest, ThreeNineSixHundredOpensComThreeAtNineSixHundredAndAnOverrideWins) {
    WriteFile("3,9600,0\n");
    std::vector<std::string> opened;
    TheSerialPort().SetDeviceFactory([&](const std::string& path) {
        opened.push_back(path);
        return pair_.Open(Side::A);
    });
    ASSERT_EQ(TheSerialPort().LoadSettings(), SettingsFile::Read);
    OpenPort();
    const LineSettings line = pair_.Settings(Side::A);
    EXPECT_EQ(std::tuple(line.baud, line.stopBits, line.ctsFlow), std::tuple(9600, 2, true));
    TheSerialPort().Close();
    TheSerialPort().SetDeviceOverride("/dev/ttyUSB0");
    OpenPort();
    EXPECT_EQ(opened, (std::vector<std::string>{"/dev/ttyS2", "/dev/ttyUSB0"}));
}

TEST_F(SettingsTest, CellsCountInRowOrderAndBadValuesTakeDefaults) {
    // clang-format off
    const std::tuple<std::string_view, SettingsFile, int32_t, int32_t, int32_t> cases[] = {  // text, result, port, baud, third
        {"3,9600,0", SettingsFile::Read, 3, 9600, 0},  // hand-edited, no newline
        {"2\n19200\n5\n", SettingsFile::Read, 2, 19200, 5},
        {"25,1200,7\n", SettingsFile::Read, 1, 4800, 7},
        {"3,9600\n", SettingsFile::Unreadable, 1, 4800, 0},
        {"", SettingsFile::Unreadable, 1, 4800, 0},
        {"3,9600", SettingsFile::Unreadable, 1, 4800, 0},
        {"\x82\xA0\n", SettingsFile::Unreadable, 1, 4800, 0},
    };
    // clang-format on
    for (const auto& [text, result, port, baud, third] : cases) {
        SCOPED_TRACE(text);
        WriteFile(text);
        TheSerialPort().SetPortNumber(5);
        TheSerialPort().SetThirdValue(9);
        EXPECT_EQ(TheSerialPort().LoadSettings(), result);
        EXPECT_EQ(std::tuple(TheSerialPort().PortNumber(), TheSerialPort().BaudRate(),
                             TheSerialPort().ThirdValue()),
                  std::tuple(port, baud, third));
    }
    // clang-format off
    for (const auto& [cell, value] : {std::pair<const char*, int32_t>{" 42abc", 42}, {"-7", -7}, {"x1", 0},
                                      {"99999999999999", INT32_MAX}, {"-99999999999999", INT32_MIN}}) {
        // clang-format on
        EXPECT_EQ(CellToInt(cell), value) << cell;
    }
}

// No installer writes the file: a first start uses the defaults without a box and writes it at
// exit, replacing the whole file and leaving no temporary. A file that is there and cannot be
// read still gets the box.
TEST_F(SettingsTest, MissingFileIsAQuietFirstStartAndSaveReplacesTheWholeFile) {
    TheSerialPort().SetPortNumber(4);
    std::vector<int> shown;
    EXPECT_FALSE(InitialiseSerialPort([&](int id) { shown.push_back(id); }));
    EXPECT_EQ(shown, std::vector<int>{});
    EXPECT_EQ(std::tuple(TheSerialPort().PortNumber(), TheSerialPort().BaudRate(),
                         TheSerialPort().ThirdValue()),
              std::tuple(1, 4800, 0));
    ASSERT_TRUE(TheSerialPort().SaveSettings());
    EXPECT_EQ(ReadFile(), "1,4800,0\n");

    WriteFile("3,9600,0\nleft,over,text,from,before\n");
    TheSerialPort().SetPortNumber(20);
    TheSerialPort().SetBaudRate(38400);
    TheSerialPort().SetThirdValue(7);
    ASSERT_TRUE(TheSerialPort().SaveSettings());
    EXPECT_EQ(ReadFile(), "20,38400,7\n");
    const auto files = std::distance(std::filesystem::directory_iterator(dir_ + "/CommoFiles"), {});
    EXPECT_EQ(files, 1);

    std::filesystem::remove(FilePath());
    std::filesystem::create_directories(FilePath());  // there, but no file to read
    EXPECT_FALSE(InitialiseSerialPort([&](int id) { shown.push_back(id); }));
    EXPECT_EQ(shown, std::vector<int>{108});
    std::filesystem::remove_all(dir_ + "/CommoFiles");
    std::ofstream(dir_ + "/CommoFiles") << "a file in the folder's place";
    EXPECT_FALSE(TheSerialPort().SaveSettings());
}

}  // namespace
}  // namespace kestrel
