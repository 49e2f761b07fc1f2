#include <gtest/gtest.h>

#include <string>

#include "platform/pty_pair.h"
#include "platform/termios_device.h"
#include "support/serial_text.h"

namespace kestrel {
namespace {

class PtyDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        pty_ = PtyPair::Create();
        ASSERT_NE(pty_, nullptr);
        port_ = TermiosDevice::Open(pty_->Path());
        ASSERT_NE(port_, nullptr);
        ASSERT_TRUE(port_->Configure({.baud = 9600, .stopBits = 2, .ctsFlow = true}));
    }
    std::unique_ptr<PtyPair> pty_;
    std::unique_ptr<TermiosDevice> port_;
};

TEST_F(PtyDeviceTest, BytesCrossBothWaysRawAndUnechoed) {
    ASSERT_TRUE(WriteText(pty_->FarEnd(), "FA14250000;\r\n"));
    EXPECT_EQ(ReadWhenReady(port_->Fd(), *port_, 13), "FA14250000;\r\n");
    ASSERT_TRUE(WriteText(*port_, "ID;\n"));
    EXPECT_EQ(ReadWhenReady(pty_->FarFd(), pty_->FarEnd(), 4), "ID;\n");
    // Nothing written to the terminal comes back to the far end as an echo.
    EXPECT_EQ(ReadReady(pty_->FarEnd()), "");
}

// A terminal has no modem lines or error counters; their absence, an empty read and an unknown
// rate are told apart from a failure.
TEST_F(PtyDeviceTest, QuietTerminalIsHealthyAndRefusesOnlyAnUnknownRate) {
    uint8_t buffer[16];
    const ReadResult r = port_->Read(buffer, sizeof buffer);
    EXPECT_EQ(r.count, 0u);
    EXPECT_FALSE(r.hungUp);
    EXPECT_FALSE(port_->HungUp());
    EXPECT_FALSE(port_->HasCounters());
    EXPECT_TRUE(port_->SetRts(false));
    EXPECT_TRUE(port_->SetRts(true));
    LineStatus status;
    ASSERT_TRUE(port_->QueryStatus(status));
    EXPECT_EQ(status.errors, 0u);
    EXPECT_EQ(status.status, 0u);
    EXPECT_FALSE(port_->Configure({.baud = 1234, .stopBits = 2, .ctsFlow = true}));
    EXPECT_EQ(TermiosDevice::Open("/nonexistent/ttyS99"), nullptr);
    EXPECT_EQ(TermiosDevice::Open("/dev/null"), nullptr) << "not a terminal";
}

TEST_F(PtyDeviceTest, PulledCableIsAHangUp) {
    pty_->Unplug();
    EXPECT_TRUE(port_->HungUp());
    LineStatus status;
    EXPECT_FALSE(port_->QueryStatus(status));
    uint8_t buffer[4];
    EXPECT_TRUE(port_->Read(buffer, sizeof buffer).hungUp);
    EXPECT_FALSE(WriteText(*port_, "FA;"));
    EXPECT_EQ(TermiosDevice::Open(pty_->Path()), nullptr);
}

TEST_F(PtyDeviceTest, MoveKeepsOneOwner) {
    const int fd = port_->Fd();
    TermiosDevice moved(std::move(*port_));
    EXPECT_EQ(moved.Fd(), fd);
    EXPECT_EQ(port_->Fd(), -1);
    ASSERT_TRUE(WriteText(pty_->FarEnd(), "x"));
    EXPECT_EQ(ReadWhenReady(moved.Fd(), moved, 1), "x");
}

}  // namespace
}  // namespace kestrel
