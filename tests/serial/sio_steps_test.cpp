#include <gtest/gtest.h>

#include <tuple>

#include "protocol/control_mirror.h"
#include "serial/serial_fixture.h"
#include "serial/sio_recv_thread.h"
#include "serial/sio_send_thread.h"

namespace kestrel {
namespace {

// The send and receive steps run by hand; the analysis loops record what they are posted.
class StepTest : public SerialLinkTest {
  protected:
    void SetUp() override {
        SerialLinkTest::SetUp();
        for (int w = 0; w < 2; ++w) {
            SetWorkerLoop(w == 0 ? Worker::AnlRecv : Worker::AnlSend,
                          rt_.StartLoop("Anl", [this, w](const Message& m) {
                              std::lock_guard lock(mutex_);
                              received_[w].push_back(m.id);
                          }));
        }
    }
    // Fills the receive buffer with held bytes that frame into nothing yet.
    void Hold(uint32_t count) {
        recv_.Buffer().Reset();
        std::vector<uint8_t> bytes(count, 'A');
        recv_.Buffer().Append(bytes.data(), count);
    }
    void Send(std::string_view command) {
        ASSERT_TRUE(CommandRing.Push(command));
        Sio_Send_Thread::Step();
    }
    std::vector<uint32_t> Received(int worker) {
        rt_.RunFor(1);
        std::lock_guard lock(mutex_);
        return received_[worker];
    }
    Sio_Recv_Thread recv_;
    std::vector<uint32_t> received_[2];
};

TEST_F(StepTest, RtsFollowsHeldBytesWithDeadBandBetweenThresholds) {
    OpenPort();
    // clang-format off
    const std::tuple<uint32_t, bool, bool> rows[] = {  // held, RTS before, RTS after
        {0, false, true}, {1024, false, true}, {1025, false, false}, {1500, false, false},
        {1500, true, true}, {2047, true, true}, {2048, true, false}, {4000, true, false},
    };
    // clang-format on
    for (const auto& [held, before, after] : rows) {
        SCOPED_TRACE(held);
        TheSerialPort().SetRts(before);
        Hold(held);
        recv_.Step();
        EXPECT_EQ(pair_.Rts(Side::A), after);
    }
    // A receive overflow lowers RTS even with an empty buffer; with another error it is not
    // "exactly 1" and RTS comes up again.
    Hold(0);
    for (const auto& [errors, rts] :
         {std::pair{kLineRxOverflow, false}, {kLineRxOverflow | kLineFraming, true}}) {
        pair_.InjectErrors(Side::A, errors);
        recv_.Step();
        EXPECT_EQ(pair_.Rts(Side::A), rts) << errors;
    }
}

TEST_F(StepTest, DoesNothingUntilStoreReady) {
    OpenPort();
    StoreReady = 0;
    FarSends("FA14250000;");
    rt_.RunFor(100);
    recv_.Step();
    EXPECT_EQ(recv_.Buffer().count, 0u);
}

TEST_F(StepTest, FramesOneAnswerPerStepEvenAfterAFillerByteOnTheLine) {
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

TEST_F(StepTest, CarrierHoldOrTransmitImmediateClosesPort) {
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

TEST_F(StepTest, ReadNeverOverrunsTheBuffer) {
    OpenPort();
    Hold(kReceiveBufferSize - 11);
    FarSends(std::string(100, 'Z'));
    rt_.RunFor(500);
    recv_.Step();
    EXPECT_LE(recv_.Buffer().count, kReceiveBufferSize - 1);
    EXPECT_EQ(recv_.Buffer().bytes[kReceiveBufferSize - 1], kReceiveFiller);
}

TEST_F(StepTest, OpensAClosedPortAndWritesOneCommandPerStepInQueueOrder) {
    AutoInfoSent = 1;
    Send("AI0;");
    EXPECT_EQ(FarReceived(), "AI0;AI0;");
    EXPECT_EQ(AnswerWaiting, 1);
    EXPECT_EQ(AutoInfoSent, 0);
    ASSERT_TRUE(CommandRing.Push("FB;"));
    ASSERT_TRUE(CommandRing.Push("FC;"));
    Sio_Send_Thread::Step();
    EXPECT_EQ(FarReceived(), "FB;");
    Sio_Send_Thread::Step();
    EXPECT_EQ(FarReceived(), "FC;");
}

// A status bit, an error value equal to one of the listed ones or a full output queue drops the
// command; only a command written counts as awaiting its answer or as auto-information sent.
TEST_F(StepTest, StatusBitsLoneLineErrorsAndAFullQueueDropTheCommand) {
    // clang-format off
    const std::tuple<uint32_t, uint32_t, uint32_t, bool, bool> rows[] = {  // status, errors, output queue, port stays open, written
        {kStatusRlsdHold, 0, 0, false, false},
        {kStatusTxim,     0, 0, false, false},
        {kStatusDsrHold,  0, 0, true,  false},
        {kStatusXoffHold, 0, 0, true,  false},
        {kStatusXoffSent, 0, 0, true,  false},
        {kStatusEof,      0, 0, true,  false},
        {kStatusCtsHold,  0, 0, true,  true},
        {0, 0x10,  0, true, false}, {0, 0x8, 0, true, false}, {0, 0x2, 0, true, false}, {0, 0x8000, 0, true, false},
        {0, 0x400, 0, true, false}, {0, 0x1, 0, true, false}, {0, 0x4, 0, true, false}, {0, 0x100,  0, true, false},
        {0, kLineFraming | kLineOverrun, 0, true, true},
        {0, 0, 5119, true,  true},
        {0, 0, 5120, false, false},
    };
    // clang-format on
    for (const auto& [status, errors, outQueue, portStaysOpen, written] : rows) {
        SCOPED_TRACE(testing::Message() << status << "/" << errors << "/" << outQueue);
        OpenPort();
        AutoInfoSent = AnswerWaiting = 0;
        pair_.SetStatusBits(Side::A, status);
        pair_.InjectErrors(Side::A, errors);
        pair_.SetExtraOutQueue(Side::A, outQueue);
        Send("AI1;");
        pair_.SetStatusBits(Side::A, 0);
        EXPECT_EQ(FarReceived(), written ? "AI1;" : "");
        EXPECT_EQ(TheSerialPort().IsOpen(), portStaysOpen);
        EXPECT_EQ(std::tuple(AnswerWaiting.load(), AutoInfoSent.load()),
                  written ? std::tuple(1, 1) : std::tuple(0, 0));
        TheSerialPort().Close();
    }
}

// The rotator read goes out only on a usable open line.
TEST_F(StepTest, WatchdogCallsTheLinkLostOnlyWithNothingWaitingInInput) {
    EXPECT_FALSE(RotatorReadTick());
    OpenPort();
    EXPECT_TRUE(RotatorReadTick());
    EXPECT_FALSE(LinkWatchdogExpired()) << "a quiet healthy line";
    FarSends("FA1");
    rt_.RunFor(50);
    AnswerWaiting = 1;
    EXPECT_FALSE(LinkWatchdogExpired());
    EXPECT_EQ(AnswerWaiting, 0);
    EXPECT_EQ(Received(0).size(), 0u);
    recv_.Step();  // takes the waiting bytes off the line
    AnswerWaiting = 1;
    EXPECT_TRUE(LinkWatchdogExpired());
    EXPECT_EQ(AnswerWaiting, 0);
    pair_.SetStatusBits(Side::A, kStatusTxim);
    EXPECT_TRUE(LinkWatchdogExpired());
    pair_.SetStatusBits(Side::A, kStatusRlsdHold);
    EXPECT_FALSE(RotatorReadTick());
    pair_.SetStatusBits(Side::A, 0);
    TheSerialPort().Close();
    EXPECT_TRUE(LinkWatchdogExpired());
    EXPECT_EQ(Received(0), std::vector<uint32_t>(3, kMsgLinkLost));
    EXPECT_EQ(Received(1), std::vector<uint32_t>{kMsgRotatorRead});
}

// Commands and answers crossing on the threads' loops are what every station run does; here only
// what a start leaves behind.
TEST_F(SerialLinkTest, ThreadsEmptyTheirRingsOnStartAndLeaveTheirSlotsOnStop) {
    ASSERT_TRUE(CommandRing.Push("FB;"));
    ASSERT_TRUE(AnswerRing.Push("FA14250000"));
    ASSERT_TRUE(StartSioRecvThread());
    ASSERT_TRUE(StartSioSendThread());
    EXPECT_EQ(CommandRing.Count() + AnswerRing.Count(), 0);
    EXPECT_TRUE(StopSioRecvThread());
    EXPECT_TRUE(StopSioSendThread());
    EXPECT_EQ(WorkerLoop(Worker::SioRecv), nullptr);
    EXPECT_EQ(WorkerLoop(Worker::SioSend), nullptr);
}

}  // namespace
}  // namespace kestrel
