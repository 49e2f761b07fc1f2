#include <gtest/gtest.h>

#include "protocol/control_mirror.h"
#include "serial/serial_fixture.h"
#include "serial/sio_recv_thread.h"
#include "serial/sio_send_thread.h"

namespace kestrel {
namespace {

using Side = MemorySerialPair::Side;

class ReceiveStepTest : public SerialLinkTest {
  protected:
    // Fills the receive buffer with held bytes that frame into nothing yet.
    void Hold(uint32_t count) {
        recv_.Buffer().Reset();
        std::vector<uint8_t> bytes(count, 'A');
        recv_.Buffer().Append(bytes.data(), count);
    }
    Sio_Recv_Thread recv_;
};

TEST_F(ReceiveStepTest, RtsFollowsHeldBytesWithDeadBandBetweenThresholds) {
    OpenPort();
    struct Row {
        uint32_t held;
        bool rtsBefore;
        bool rtsAfter;
    };
    // clang-format off
    const Row rows[] = {
        {0,    false, true},
        {1024, false, true},
        {1025, false, false},
        {1500, false, false},
        {1500, true,  true},
        {2047, true,  true},
        {2048, true,  false},
        {4000, true,  false},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.held);
        TheSerialPort().SetRts(row.rtsBefore);
        Hold(row.held);
        recv_.Step();
        EXPECT_EQ(pair_.Rts(Side::A), row.rtsAfter);
    }
}

TEST_F(ReceiveStepTest, ReceiveOverflowLowersRtsEvenWithEmptyBuffer) {
    OpenPort();
    pair_.InjectErrors(Side::A, kLineRxOverflow);
    recv_.Step();
    EXPECT_FALSE(pair_.Rts(Side::A));
    // An overflow together with another error is not "exactly 1": RTS comes up again.
    pair_.InjectErrors(Side::A, kLineRxOverflow | kLineFraming);
    recv_.Step();
    EXPECT_TRUE(pair_.Rts(Side::A));
}

TEST_F(ReceiveStepTest, FramesOneAnswerPerStepEvenAfterAFillerByteOnTheLine) {
    OpenPort();
    FarSends(
        "\xFF"
        "FA14250000;FB07000000;");
    rt_.RunFor(100);
    for (int step = 0; step < 4 && AnswerRing.Count() == 0; ++step) {
        recv_.Step();
    }
    ASSERT_EQ(AnswerRing.Count(), 1);
    recv_.Step();
    ASSERT_EQ(AnswerRing.Count(), 2);
    char answer[MessageRing::kSlotSize] = {};
    EXPECT_EQ(AnswerRing.Take(answer), 10u);
    EXPECT_STREQ(answer, "FA14250000");
}

TEST_F(ReceiveStepTest, DoesNothingUntilStoreReady) {
    OpenPort();
    StoreReady = 0;
    FarSends("FA14250000;");
    rt_.RunFor(100);
    recv_.Step();
    EXPECT_EQ(recv_.Buffer().count, 0u);
}

TEST_F(ReceiveStepTest, CarrierHoldOrTransmitImmediateClosesPort) {
    // Only the carrier hold also forgets the length of the answer being framed.
    for (const auto& [bit, lengthKept] : {std::pair{kStatusRlsdHold, false}, {kStatusTxim, true}}) {
        SCOPED_TRACE(bit);
        OpenPort();
        recv_.Buffer().lengthKnown = true;
        pair_.SetStatusBits(Side::A, bit);
        recv_.Step();
        EXPECT_FALSE(TheSerialPort().IsOpen());
        EXPECT_EQ(recv_.Buffer().lengthKnown, lengthKept);
        pair_.SetStatusBits(Side::A, 0);
    }
}

TEST_F(ReceiveStepTest, ReadNeverOverrunsTheBuffer) {
    OpenPort();
    Hold(kReceiveBufferSize - 11);
    FarSends(std::string(100, 'Z'));
    rt_.RunFor(500);
    recv_.Step();
    EXPECT_LE(recv_.Buffer().count, kReceiveBufferSize - 1);
    EXPECT_EQ(recv_.Buffer().bytes[kReceiveBufferSize - 1], kReceiveFiller);
}

class SendStepTest : public SerialLinkTest {
  protected:
    void Send(std::string_view command) {
        ASSERT_TRUE(CommandRing.Push(command));
        Sio_Send_Thread::Step();
    }
};

TEST_F(SendStepTest, WritesOneCommandPerStepInQueueOrderAndAwaitsTheAnswer) {
    OpenPort();
    ASSERT_TRUE(CommandRing.Push("FA;"));
    ASSERT_TRUE(CommandRing.Push("FB;"));
    Sio_Send_Thread::Step();
    EXPECT_EQ(FarReceived(), "FA;");
    EXPECT_EQ(AnswerWaiting, 1);
    Sio_Send_Thread::Step();
    EXPECT_EQ(FarReceived(), "FB;");
}

TEST_F(SendStepTest, OpensClosedPortBeforeWriting) {
    Send("FA;");
    EXPECT_EQ(FarReceived(), "AI0;FA;");
    EXPECT_TRUE(TheSerialPort().IsOpen());
}

TEST_F(SendStepTest, StatusBitsDropTheCommand) {
    struct Row {
        uint32_t bit;
        bool portStaysOpen;
        std::string written;
    };
    // clang-format off
    const Row rows[] = {
        {kStatusRlsdHold, false, ""},
        {kStatusTxim,     false, ""},
        {kStatusDsrHold,  true,  ""},
        {kStatusXoffHold, true,  ""},
        {kStatusXoffSent, true,  ""},
        {kStatusEof,      true,  ""},
        {kStatusCtsHold,  true,  "FA;"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bit);
        OpenPort();
        pair_.SetStatusBits(Side::A, row.bit);
        Send("FA;");
        pair_.SetStatusBits(Side::A, 0);
        EXPECT_EQ(FarReceived(), row.written);
        EXPECT_EQ(TheSerialPort().IsOpen(), row.portStaysOpen);
        EXPECT_EQ(AnswerWaiting, row.written.empty() ? 0 : 1);
        AnswerWaiting = 0;
        TheSerialPort().Close();
    }
}

TEST_F(SendStepTest, EachLoneLineErrorDropsTheCommandAndKeepsPortOpen) {
    OpenPort();
    for (uint32_t error : {0x10u, 0x8u, 0x2u, 0x8000u, 0x400u, 0x1u, 0x4u, 0x100u}) {
        SCOPED_TRACE(error);
        pair_.InjectErrors(Side::A, error);
        Send("FA;");
        EXPECT_EQ(FarReceived(), "");
        EXPECT_TRUE(TheSerialPort().IsOpen());
    }
    // Only an error value equal to one of them drops: two errors together are written.
    pair_.InjectErrors(Side::A, kLineFraming | kLineOverrun);
    Send("FA;");
    EXPECT_EQ(FarReceived(), "FA;");
}

TEST_F(SendStepTest, AutoInfoSentFollowsOnlyWrittenCommands) {
    OpenPort();
    pair_.SetStatusBits(Side::A, kStatusXoffHold);
    Send("AI1;");
    EXPECT_EQ(AutoInfoSent, 0);
    pair_.SetStatusBits(Side::A, 0);
    Send("AI1;");
    EXPECT_EQ(AutoInfoSent, 1);
    Send("AI0;");
    EXPECT_EQ(AutoInfoSent, 0);
    EXPECT_EQ(FarReceived(), "AI1;AI0;");
}

TEST_F(SendStepTest, FullOutputQueueClosesPortAndNextStepReopens) {
    OpenPort();
    pair_.SetExtraOutQueue(Side::A, 5119);
    Send("FA;");
    EXPECT_EQ(FarReceived(), "FA;");
    pair_.SetExtraOutQueue(Side::A, 5120);
    Send("FB;");
    EXPECT_FALSE(TheSerialPort().IsOpen());
    EXPECT_EQ(FarReceived(), "");
    pair_.SetExtraOutQueue(Side::A, 0);
    Send("FC;");
    EXPECT_TRUE(TheSerialPort().IsOpen());
    EXPECT_EQ(FarReceived(), "AI0;FC;");
}

class WatchdogTest : public SerialLinkTest {
  protected:
    void SetUp() override {
        SerialLinkTest::SetUp();
        anlRecv_ = rt_.StartLoop("Anl_Recv_Thread", [this](const Message& m) { Record(m, 0); });
        anlSend_ = rt_.StartLoop("Anl_Send_Thread", [this](const Message& m) { Record(m, 1); });
        SetWorkerLoop(Worker::AnlRecv, anlRecv_);
        SetWorkerLoop(Worker::AnlSend, anlSend_);
    }
    void Record(const Message& message, int worker) {
        std::lock_guard lock(mutex_);
        received_[worker].push_back(message.id);
    }
    size_t Received(int worker) {
        rt_.RunFor(1);
        std::lock_guard lock(mutex_);
        return received_[worker].size();
    }
    std::shared_ptr<MessageLoop> anlRecv_;
    std::shared_ptr<MessageLoop> anlSend_;
    std::vector<uint32_t> received_[2];
};

TEST_F(WatchdogTest, UnansweredWriteIsLinkLostOnlyWithNothingWaitingInInput) {
    OpenPort();
    FarSends("FA1");
    rt_.RunFor(50);
    AnswerWaiting = 1;
    EXPECT_FALSE(LinkWatchdogExpired());
    EXPECT_EQ(AnswerWaiting, 0);
    EXPECT_EQ(Received(0), 0u);
    Sio_Recv_Thread recv;
    recv.Step();  // takes the waiting bytes off the line
    AnswerWaiting = 1;
    EXPECT_TRUE(LinkWatchdogExpired());
    EXPECT_EQ(AnswerWaiting, 0);
    ASSERT_EQ(Received(0), 1u);
    EXPECT_EQ(received_[0][0], kMsgLinkLost);
}

TEST_F(WatchdogTest, QuietHealthyLineIsNotLinkLostButClosedPortIs) {
    OpenPort();
    EXPECT_FALSE(LinkWatchdogExpired());
    pair_.SetStatusBits(Side::A, kStatusTxim);
    EXPECT_TRUE(LinkWatchdogExpired());
    pair_.SetStatusBits(Side::A, 0);
    TheSerialPort().Close();
    EXPECT_TRUE(LinkWatchdogExpired());
    EXPECT_EQ(Received(0), 2u);
}

TEST_F(WatchdogTest, RotatorReadPostsOnlyOnUsableOpenLine) {
    EXPECT_FALSE(RotatorReadTick());
    OpenPort();
    EXPECT_TRUE(RotatorReadTick());
    pair_.SetStatusBits(Side::A, kStatusRlsdHold);
    EXPECT_FALSE(RotatorReadTick());
    EXPECT_EQ(Received(1), 1u);
    EXPECT_EQ(received_[1][0], kMsgRotatorRead);
}

TEST_F(SerialLinkTest, ThreadsEmptyTheirRingsAndCarryCommandAndAnswerOnTheirLoops) {
    ASSERT_TRUE(CommandRing.Push("FB;"));
    ASSERT_TRUE(AnswerRing.Push("FA14250000"));
    ASSERT_TRUE(StartSioRecvThread());
    ASSERT_TRUE(StartSioSendThread());
    EXPECT_EQ(CommandRing.Count(), 0);
    EXPECT_EQ(AnswerRing.Count(), 0);
    TheSerialPort().Open(GetMirror(Mirror::AI) != 0);
    EXPECT_EQ(FarReceived(), "AI0;");
    ASSERT_TRUE(CommandRing.Push("FA;"));
    PostToWorker(Worker::SioSend, kMsgSendStep);
    EXPECT_EQ(FarReceived(), "FA;");
    FarSends("FA14250000;");
    ASSERT_TRUE(rt_.RunUntil([] { return AnswerRing.Count() == 1; }, 200));
    EXPECT_EQ(AnswerWaiting, 0);
    EXPECT_TRUE(StopSioRecvThread());
    EXPECT_TRUE(StopSioSendThread());
    EXPECT_EQ(WorkerLoop(Worker::SioRecv), nullptr);
}

}  // namespace
}  // namespace kestrel
