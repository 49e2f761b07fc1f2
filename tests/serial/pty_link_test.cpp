#include <gtest/gtest.h>
#include <poll.h>

#include <filesystem>

#include "platform/pty_pair.h"
#include "serial/serial_fixture.h"
#include "serial/sio_recv_thread.h"
#include "serial/sio_send_thread.h"
#include "support/serial_text.h"

namespace kestrel {
namespace {

// The serial link over a real pseudo-terminal behind the link CommoFiles/COM1, with the test as
// the transceiver on the far side.
class PtyLinkTest : public SerialLinkTest {
  protected:
    void SetUp() override {
        SerialLinkTest::SetUp();
        TheSerialPort().SetDeviceFactory(nullptr);
        std::filesystem::create_directories(dir_.Path() + "/CommoFiles");
        Plug();
    }
    void Plug() {
        pty_ = PtyPair::Create();
        ASSERT_NE(pty_, nullptr);
        ASSERT_TRUE(pty_->LinkAs(dir_.Path() + "/CommoFiles/COM1"));
    }
    // Reads what the far side has been sent, waiting on its descriptor for want bytes.
    std::string FarRead(size_t want) { return ReadWhenReady(pty_->FarFd(), pty_->FarEnd(), want); }
    void Send(std::string_view command) {
        ASSERT_TRUE(CommandRing.Push(command));
        Sio_Send_Thread::Step();
    }
    // Runs receive steps until an answer is framed; the terminal hands bytes over on a kernel
    // worker, so a step may come before they are there.
    std::string NextAnswer() {
        for (int rounds = 0; rounds < 200 && AnswerRing.Count() == 0; ++rounds) {
            recv_.Step();
            if (AnswerRing.Count() == 0) {
                ::poll(nullptr, 0, 5);
            }
        }
        char answer[MessageRing::kSlotSize] = {};
        AnswerRing.Take(answer);
        return answer;
    }

    std::unique_ptr<PtyPair> pty_;
    Sio_Recv_Thread recv_;
};

TEST_F(PtyLinkTest, CommandsAndAnswersCrossAndAPulledCableIsReopenedByTheNextSend) {
    Send("ID;");
    EXPECT_EQ(FarRead(7), "AI0;ID;");
    ASSERT_TRUE(WriteText(pty_->FarEnd(), "ID0310;"));
    EXPECT_EQ(NextAnswer(), "ID0310");
    pty_->Unplug();

    recv_.Step();
    EXPECT_FALSE(TheSerialPort().IsOpen());
    for (int step = 0; step < 3; ++step) {
        Send("FA;");
        recv_.Step();
    }
    EXPECT_FALSE(TheSerialPort().IsOpen());
    EXPECT_EQ(PostedCount(kMsgStartupFailure), 3);

    Plug();
    Send("FB;");
    EXPECT_TRUE(TheSerialPort().IsOpen());
    EXPECT_EQ(FarRead(7), "AI0;FB;");
    ASSERT_TRUE(WriteText(pty_->FarEnd(), "FB07000000;"));
    EXPECT_EQ(NextAnswer(), "FB07000000");
}

}  // namespace
}  // namespace kestrel
