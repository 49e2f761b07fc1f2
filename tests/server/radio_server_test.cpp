#include "server/radio_server.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <utility>

#include "fake_radio.h"

namespace kestrel {
namespace {

// A blocking loopback client. Every read gives up after a few seconds, so a server that fails
// to answer fails the test instead of hanging it.
class Client {
  public:
    explicit Client(uint16_t port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        timeval limit{5, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        sockaddr_in a{.sin_family = AF_INET,
                      .sin_port = htons(port),
                      .sin_addr = {htonl(INADDR_LOOPBACK)},
                      .sin_zero = {}};
        EXPECT_EQ(::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    }
    ~Client() { Close(); }
    void Close() { ::close(std::exchange(fd_, -1)); }
    void Send(std::string_view text) {
        ASSERT_EQ(::send(fd_, text.data(), text.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(text.size()));
    }
    // Reads until the received text ends with `end`, or the peer closes (returned as is).
    std::string ReadUntil(std::string_view end) {
        std::string text;
        char chunk[4096];
        for (ssize_t n; !text.ends_with(end) && (n = ::recv(fd_, chunk, sizeof chunk, 0)) > 0;) {
            text.append(chunk, static_cast<size_t>(n));
        }
        return text;
    }
    // Reports whether the server closed the connection (EOF before the time limit).
    bool ClosedByServer() {
        char byte;
        return ::recv(fd_, &byte, 1, 0) == 0;
    }

  private:
    int fd_;
};

class RadioServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server_.SetStatusListener([this](const ServerStatus& status) {
            std::lock_guard lock(mutex_);
            status_ = status;
            changed_.notify_all();
        });
        ServerOptions options;
        options.rigctl = ListenEndpoint{"127.0.0.1", 0};
        options.xmlrpc = ListenEndpoint{"127.0.0.1", 0};
        options.transmitIdleMs = kIdleMs;
        std::string error;
        ASSERT_TRUE(server_.Start(options, error)) << error;
    }
    // The server's thread reports into the members below: it ends before they go.
    void TearDown() override { server_.Stop(); }
    // Waits for a status that satisfies the predicate (bounded); returns it.
    ServerStatus AwaitStatus(const std::function<bool(const ServerStatus&)>& wanted) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(5), [&] { return wanted(status_); });
        return status_;
    }

    static constexpr int64_t kIdleMs = 180000;
    FakeRadio radio_;
    std::atomic<int64_t> now_{0};
    RadioServer server_{radio_, [this] { return now_.load(); }};
    std::mutex mutex_;
    std::condition_variable changed_;
    ServerStatus status_;
};

TEST_F(RadioServerTest, ServesSeveralClientsAndEndsTheTransmissionOfAKeyerThatLeaves) {
    Client keyer(server_.RigctlPort());
    Client reader(server_.RigctlPort());
    keyer.Send("T 1\n");
    EXPECT_EQ(keyer.ReadUntil("\n"), "RPRT 0\n");
    const ServerStatus keying = AwaitStatus(
        [](const ServerStatus& s) { return s.clients == 2 && !s.keyingClient.empty(); });
    EXPECT_TRUE(keying.keyingClient.starts_with("rigctl 127.0.0.1:")) << keying.keyingClient;
    // The reader polls while the other client keys; every answer comes from the store.
    for (int i = 0; i < 50; ++i) {
        reader.Send("f\n");
        ASSERT_EQ(reader.ReadUntil("\n"), "14074000\n");
    }
    keyer.Close();
    AwaitStatus([](const ServerStatus& s) { return s.clients == 1 && s.keyingClient.empty(); });
    EXPECT_EQ(radio_.TakeCalls(), (std::vector<std::string>{"tx on", "tx off"}));

    RadioServer second(radio_);
    ServerOptions same;
    same.rigctl = ListenEndpoint{"127.0.0.1", server_.RigctlPort()};
    std::string error;
    EXPECT_FALSE(second.Start(same, error));
    EXPECT_NE(error.find("127.0.0.1"), std::string::npos) << error;
}

TEST_F(RadioServerTest, DropsAClientWhoseLineHasNoEndAndServesTheOthers) {
    Client flooder(server_.RigctlPort());
    Client other(server_.RigctlPort());
    flooder.Send(std::string(kMaxRigctlLineBytes, 'x'));
    EXPECT_EQ(flooder.ReadUntil("\n"), "RPRT -8\n");
    EXPECT_TRUE(flooder.ClosedByServer());
    other.Send("+v\n");
    EXPECT_EQ(other.ReadUntil("RPRT 0\n"), "get_vfo:\nVFO: VFOA\nRPRT 0\n");
}

TEST_F(RadioServerTest, WatchdogEndsAClientsTransmissionAfterTheIdleTime) {
    Client keyer(server_.RigctlPort());
    keyer.Send("T 1\n");
    EXPECT_EQ(keyer.ReadUntil("\n"), "RPRT 0\n");
    now_ = kIdleMs - 1;
    keyer.Send("t\n");  // any request counts as activity
    EXPECT_EQ(keyer.ReadUntil("\n"), "0\n");
    now_ = 2 * kIdleMs;
    // An unfinished line wakes the loop without counting as a request.
    keyer.Send("t");
    AwaitStatus([](const ServerStatus& s) { return s.keyingClient.empty(); });
    EXPECT_EQ(radio_.TakeCalls(), (std::vector<std::string>{"tx on", "tx off"}));
}

TEST_F(RadioServerTest, XmlrpcKeepsTheConnectionAndClosesAfterABadRequest) {
    Client client(server_.XmlrpcPort());
    const std::string body =
        "<?xml version=\"1.0\"?><methodCall><methodName>rig.get_vfoA</methodName></methodCall>";
    const std::string request =
        "POST /RPC2 HTTP/1.1\r\nContent-Type: text/xml\r\nContent-Length: " +
        std::to_string(body.size()) + "\r\n\r\n" + body;
    for (int i = 0; i < 2; ++i) {
        client.Send(request);
        const std::string answer = client.ReadUntil("</methodResponse>\r\n");
        EXPECT_TRUE(answer.starts_with("HTTP/1.1 200 OK\r\n")) << answer;
        EXPECT_NE(answer.find("Connection: keep-alive"), std::string::npos);
        EXPECT_NE(answer.find("<string>14074000</string>"), std::string::npos) << answer;
    }
    client.Send("GET / HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(client.ReadUntil("\r\n\r\n").starts_with("HTTP/1.1 405"));
    EXPECT_TRUE(client.ClosedByServer());
}

}  // namespace
}  // namespace kestrel
