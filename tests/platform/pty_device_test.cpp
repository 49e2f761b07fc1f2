#include <gtest/gtest.h>
#include <poll.h>

#include <string>

#include "platform/pty_pair.h"
#include "platform/termios_device.h"

namespace kestrel {
namespace {

// Waits on the descriptor (at most two seconds) and then reads what has arrived.
std::string ReadWhenReady(int fd, SerialDevice& device, size_t want) {
    std::string text;
    for (int rounds = 0; rounds < 200 && text.size() < want; ++rounds) {
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, 10);
        uint8_t buffer[256];
        const ReadResult r = device.Read(buffer, sizeof buffer);
        text.append(reinterpret_cast<char*>(buffer), r.count);
        if (r.hungUp) {
            break;
        }
    }
    return text;
}

bool WriteText(SerialDevice& device, std::string_view text) {
    return device.Write(reinterpret_cast<const uint8_t*>(text.data()), text.size(), 500);
}

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
    uint8_t byte;
    EXPECT_EQ(pty_->FarEnd().Read(&byte, 1).count, 0u);
}

TEST_F(PtyDeviceTest, EmptyReadIsNotAHangUp) {
    uint8_t buffer[16];
    const ReadResult r = port_->Read(buffer, sizeof buffer);
    EXPECT_EQ(r.count, 0u);
    EXPECT_FALSE(r.hungUp);
    EXPECT_FALSE(port_->HungUp());
}

TEST_F(PtyDeviceTest, MissingModemLinesAndCountersAreNotFailures) {
    EXPECT_FALSE(port_->HasCounters());
    EXPECT_TRUE(port_->SetRts(false));
    EXPECT_TRUE(port_->SetRts(true));
    ASSERT_TRUE(WriteText(pty_->FarEnd(), "abc"));
    ReadWhenReady(port_->Fd(), *port_, 0);
    LineStatus status;
    ASSERT_TRUE(port_->QueryStatus(status));
    EXPECT_EQ(status.errors, 0u);
    EXPECT_EQ(status.status, 0u);
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

TEST_F(PtyDeviceTest, RefusesUnknownBaudRate) {
    EXPECT_FALSE(port_->Configure({.baud = 1234, .stopBits = 2, .ctsFlow = true}));
}

TEST_F(PtyDeviceTest, MoveKeepsOneOwner) {
    const int fd = port_->Fd();
    TermiosDevice moved(std::move(*port_));
    EXPECT_EQ(moved.Fd(), fd);
    EXPECT_EQ(port_->Fd(), -1);
    ASSERT_TRUE(WriteText(pty_->FarEnd(), "x"));
    EXPECT_EQ(ReadWhenReady(moved.Fd(), moved, 1), "x");
}

TEST(TermiosDevice, OpensOnlyTerminals) {
    EXPECT_EQ(TermiosDevice::Open("/nonexistent/ttyS99"), nullptr);
    EXPECT_EQ(TermiosDevice::Open("/dev/null"), nullptr);
}

}  // namespace
}  // namespace kestrel
