#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform/memory_serial_pair.h"
#include "platform/pty_pair.h"
#include "platform/termios_device.h"
#include "platform/virtual_runtime.h"
#include "support/serial_text.h"

namespace kestrel {
namespace {

using Side = MemorySerialPair::Side;

class MemorySerialPairTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetRuntime(&rt_);
        a_ = pair_.Open(Side::A);
        b_ = pair_.Open(Side::B);
        ASSERT_TRUE(a_ && b_);
    }
    void TearDown() override {
        a_.reset();
        b_.reset();
        SetRuntime(nullptr);
    }
    static void Send(SerialDevice& end, std::string_view text) {
        ASSERT_TRUE(WriteText(end, text, 0));
    }

    VirtualRuntime rt_;
    MemorySerialPair pair_;
    std::unique_ptr<SerialDevice> a_;
    std::unique_ptr<SerialDevice> b_;
};

// Eleven bits a byte (8N2): 2291 us a byte at 4800 baud, 286 us at 38400.
TEST_F(MemorySerialPairTest, DeliversElevenBitsPerByteAtTheBaudRate) {
    Send(*a_, "0123456789");
    rt_.RunFor(22);
    EXPECT_EQ(ReadReady(*b_), "012345678");
    rt_.RunFor(1);
    EXPECT_EQ(ReadReady(*b_), "9");
    ASSERT_TRUE(a_->Configure({.baud = 38400, .stopBits = 2, .ctsFlow = true}));
    Send(*a_, std::string(100, 'x'));
    rt_.RunFor(28);
    EXPECT_EQ(ReadReady(*b_).size(), 97u);
}

TEST_F(MemorySerialPairTest, LoweredRtsHoldsPeerOutputInItsQueue) {
    ASSERT_TRUE(a_->SetRts(false));
    Send(*b_, "FA14250000;");
    rt_.RunFor(100);
    EXPECT_EQ(ReadReady(*a_), "");
    LineStatus status;
    ASSERT_TRUE(b_->QueryStatus(status));
    EXPECT_EQ(status.outQueue, 11u);
    ASSERT_TRUE(a_->SetRts(true));
    rt_.RunFor(30);
    EXPECT_EQ(ReadReady(*a_), "FA14250000;");
}

// Injected errors are reported once, status bits until cleared; a full input queue loses bytes
// with an overflow.
TEST_F(MemorySerialPairTest, ReportsQueuesAndInjectedErrorsOnce) {
    Send(*b_, "abc");
    rt_.RunFor(10);
    pair_.InjectErrors(Side::A, kLineFraming);
    pair_.SetStatusBits(Side::A, kStatusDsrHold);
    pair_.SetExtraOutQueue(Side::A, 7);
    LineStatus status;
    ASSERT_TRUE(a_->QueryStatus(status));
    EXPECT_EQ(std::tuple(status.inQueue, status.errors, status.status, status.outQueue),
              std::tuple(3u, kLineFraming, kStatusDsrHold, 7u));
    ASSERT_TRUE(a_->QueryStatus(status));
    EXPECT_EQ(std::tuple(status.errors, status.status), std::tuple(0u, kStatusDsrHold));
    Send(*b_, std::string(MemorySerialPair::kInputCapacity + 10, 'z'));
    rt_.RunFor(20000);
    ASSERT_TRUE(a_->QueryStatus(status));
    EXPECT_EQ(std::tuple(status.inQueue, status.errors),
              std::tuple(MemorySerialPair::kInputCapacity, kLineRxOverflow));
}

// An end opens once and drops what arrived while it was closed; an unplug hangs up both ends
// until the replug.
TEST_F(MemorySerialPairTest, EndOpensOnceAndUnplugHangsUpBothEndsUntilReplug) {
    EXPECT_EQ(pair_.Open(Side::A), nullptr);
    a_.reset();
    Send(*b_, "nobody");
    rt_.RunFor(50);
    a_ = pair_.Open(Side::A);
    ASSERT_NE(a_, nullptr);
    EXPECT_EQ(ReadReady(*a_), "");
    Send(*a_, "lost");
    pair_.Unplug();
    EXPECT_TRUE(a_->HungUp());
    EXPECT_TRUE(b_->Read(nullptr, 0).hungUp);
    LineStatus status;
    EXPECT_FALSE(a_->QueryStatus(status));
    EXPECT_FALSE(WriteText(*a_, "x", 0));
    EXPECT_EQ(pair_.Open(Side::A), nullptr);
    pair_.Replug();
    auto a = pair_.Open(Side::A);
    auto b = pair_.Open(Side::B);
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(a_->HungUp());  // an end from before the unplug stays dead
    Send(*a, "new");
    rt_.RunFor(10);
    EXPECT_EQ(ReadReady(*b), "new");
}

TEST_F(MemorySerialPairTest, ArrivalCallbackFiresWhenLastByteHasArrived) {
    int64_t calledAt = -1;
    std::string seen;
    pair_.SetArrivalCallback(Side::B, [&] {
        calledAt = rt_.NowMs();
        seen = ReadReady(*b_);
    });
    Send(*a_, "AI1;");  // 4 x 2291 us = 9.2 ms
    rt_.RunFor(50);
    EXPECT_EQ(calledAt, 10);
    EXPECT_EQ(seen, "AI1;");
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
