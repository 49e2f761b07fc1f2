#include <gtest/gtest.h>
#include <poll.h>

#include <filesystem>

#include "platform/pty_pair.h"
#include "serial/serial_fixture.h"
#include "serial/sio_recv_thread.h"
#include "serial/sio_send_thread.h"

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
    std::string FarRead(size_t want) {
        std::string text;
        for (int rounds = 0; rounds < 200 && text.size() < want; ++rounds) {
            pollfd p{pty_->FarFd(), POLLIN, 0};
            ::poll(&p, 1, 10);
            uint8_t buffer[256];
            text.append(reinterpret_cast<char*>(buffer),
                        pty_->FarEnd().Read(buffer, sizeof buffer).count);
        }
        return text;
    }
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

TEST_F(PtyLinkTest, CommandReachesFarSideAndAnswerArrivesFramed) {
    Send("ID;");
    EXPECT_EQ(FarRead(7), "AI0;ID;");
    const std::string reply = "ID0310;";
    ASSERT_TRUE(
        pty_->FarEnd().Write(reinterpret_cast<const uint8_t*>(reply.data()), reply.size(), 500));
    EXPECT_EQ(NextAnswer(), "ID0310");
}

TEST_F(PtyLinkTest, UnplugClosesPortAndReplugOpensOnNextSend) {
    Send("FA;");
    EXPECT_EQ(FarRead(7), "AI0;FA;");
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
    const std::string reply = "FB07000000;";
    ASSERT_TRUE(
        pty_->FarEnd().Write(reinterpret_cast<const uint8_t*>(reply.data()), reply.size(), 500));
    EXPECT_EQ(NextAnswer(), "FB07000000");
}

}  // namespace
}  // namespace kestrel
