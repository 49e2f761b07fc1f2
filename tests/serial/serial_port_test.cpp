#include "serial/serial_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>

#include "platform/pty_pair.h"
#include "platform/termios_device.h"
#include "protocol/control_mirror.h"
#include "serial/serial_fixture.h"

namespace kestrel {
namespace {

using Side = MemorySerialPair::Side;

TEST_F(SerialLinkTest, OpenWritesAutoInfoFromMirrorWithoutTouchingFlag) {
    SetMirror(Mirror::AI, 1);
    ASSERT_TRUE(TheSerialPort().Open(GetMirror(Mirror::AI) != 0));
    EXPECT_EQ(FarReceived(), "AI1;");
    EXPECT_EQ(AutoInfoSent, 0);
    EXPECT_EQ(AnswerWaiting, 0);
    EXPECT_FALSE(TheSerialPort().Open(true)) << "an open port is not opened again";
    EXPECT_TRUE(TheSerialPort().IsOpen());
    EXPECT_EQ(FarReceived(), "");
}

TEST_F(SerialLinkTest, CarrierHoldAtOpenClosesAgainAndReportsFailure) {
    pair_.SetStatusBits(Side::A, kStatusRlsdHold);
    EXPECT_FALSE(TheSerialPort().Open(GetMirror(Mirror::AI) != 0));
    EXPECT_FALSE(TheSerialPort().IsOpen());
    EXPECT_FALSE(pair_.IsOpen(Side::A));
    EXPECT_EQ(PostedCount(kMsgStartupFailure), 1);
    EXPECT_EQ(FarReceived(), "");
}

TEST_F(SerialLinkTest, MissingDeviceReportsFailure) {
    TheSerialPort().SetDeviceFactory(nullptr);
    TheSerialPort().SetDeviceOverride(dir_.Path() + "/no-such-tty");
    EXPECT_FALSE(TheSerialPort().Open(GetMirror(Mirror::AI) != 0));
    EXPECT_EQ(PostedCount(kMsgStartupFailure), 1);
}

TEST_F(SerialLinkTest, OpenDoesNothingWhileFailureBoxShows) {
    StartupBoxShown = 1;
    EXPECT_FALSE(TheSerialPort().Open(GetMirror(Mirror::AI) != 0));
    EXPECT_FALSE(pair_.IsOpen(Side::A));
    EXPECT_EQ(PostedCount(kMsgStartupFailure), 0);
}

TEST_F(SerialLinkTest, CloseRestoresOneStopBitAndNoFlowControl) {
    EXPECT_FALSE(TheSerialPort().Close());
    OpenPort();
    EXPECT_TRUE(TheSerialPort().Close());
    EXPECT_FALSE(TheSerialPort().IsOpen());
    EXPECT_FALSE(TheSerialPort().HandleValid());
    EXPECT_FALSE(pair_.IsOpen(Side::A));
    const LineSettings line = pair_.Settings(Side::A);
    EXPECT_EQ(line.stopBits, 1);
    EXPECT_FALSE(line.ctsFlow);
}

TEST_F(SerialLinkTest, DeviceOverrideWinsOverPortNumber) {
    std::vector<std::string> opened;
    TheSerialPort().SetDeviceFactory([&](const std::string& path) {
        opened.push_back(path);
        return pair_.Open(Side::A);
    });
    TheSerialPort().SetDeviceOverride("/dev/ttyUSB0");
    OpenPort();
    EXPECT_EQ(opened, std::vector<std::string>{"/dev/ttyUSB0"});
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
    auto held = PtyPair::Create();
    auto lockedElsewhere = PtyPair::Create();
    auto free = PtyPair::Create();
    ASSERT_TRUE(held && lockedElsewhere && free);
    std::filesystem::create_directories(dir_.Path() + "/CommoFiles");
    ASSERT_TRUE(held->LinkAs(dir_.Path() + "/CommoFiles/COM2"));
    ASSERT_TRUE(lockedElsewhere->LinkAs(dir_.Path() + "/CommoFiles/COM3"));
    ASSERT_TRUE(free->LinkAs(dir_.Path() + "/CommoFiles/COM4"));
    TheSerialPort().SetDeviceFactory(nullptr);
    TheSerialPort().SetDeviceOverride(held->Path());
    ASSERT_TRUE(TheSerialPort().Open(false));

    const int other = ::open(lockedElsewhere->Path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);

    EXPECT_FALSE(TheSerialPort().Probe(1)) << "the held device under its COM2 name";
    EXPECT_FALSE(TheSerialPort().Probe(2)) << "locked by another program";
    EXPECT_TRUE(TheSerialPort().Probe(3));
    termios line{};
    ASSERT_EQ(::tcgetattr(held->FarFd(), &line), 0);
    EXPECT_TRUE(line.c_cflag & CSTOPB);
    EXPECT_TRUE(line.c_cflag & CRTSCTS);
    EXPECT_EQ(TermiosDevice::Open(held->Path()), nullptr) << "nor does a second open succeed";
    ::close(other);
    EXPECT_TRUE(TheSerialPort().Probe(2));
}

TEST_F(SerialLinkTest, VanishedDeviceReadsAsIoErrorAndClosedPort) {
    OpenPort();
    pair_.Unplug();
    uint32_t errors = 0;
    LineStatus status;
    EXPECT_TRUE(TheSerialPort().ClearError(errors, status));
    EXPECT_EQ(errors, kLineIoError);
    EXPECT_FALSE(TheSerialPort().IsOpen());
    EXPECT_FALSE(TheSerialPort().ClearError(errors, status));
    EXPECT_EQ(errors, 0u);
}

}  // namespace
}  // namespace kestrel
