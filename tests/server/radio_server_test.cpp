#include "server/radio_server.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <tuple>
#include <utility>

#include "fake_radio.h"
#include "server/http_framing.h"

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

std::string Post(std::string_view body, std::string_view extraHeaders = "",
                 std::string_view version = "HTTP/1.1") {
    return "POST /RPC2 " + std::string(version) + "\r\nHost: x\r\n" + std::string(extraHeaders) +
           "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
}

TEST(HttpFraming, TakesRequestsWholeAcrossReadsAndOneAtATime) {
    const std::string stream = Post("<a/>") + Post("<bb/>", "Connection: close\r\n");
    std::string buffer;
    std::vector<std::string> bodies;
    std::vector<bool> keepAlive;
    // One byte at a time: every prefix is incomplete until a request's last byte.
    for (const char c : stream) {
        buffer += c;
        HttpRequest request;
        int status = 0;
        const HttpTake take = TakeHttpRequest(buffer, request, status);
        ASSERT_NE(take, HttpTake::Error);
        if (take == HttpTake::Request) {
            bodies.push_back(request.method + " " + request.target + " " + request.body);
            keepAlive.push_back(request.keepAlive);
        }
    }
    EXPECT_EQ(bodies, (std::vector<std::string>{"POST /RPC2 <a/>", "POST /RPC2 <bb/>"}));
    EXPECT_EQ(keepAlive, (std::vector<bool>{true, false}));
    EXPECT_TRUE(buffer.empty());
}

TEST(HttpFraming, AnswersRequestsItDoesNotServeWithAnErrorStatus) {
    // clang-format off
    const std::vector<std::tuple<std::string, HttpTake, int, bool>> cases = {  // stream, take, status, keep-alive
        {Post("x", "", "HTTP/1.0"),                                   HttpTake::Request, 0,   false},
        {Post("x", "Connection: Keep-Alive\r\n", "HTTP/1.0"),         HttpTake::Request, 0,   true},
        {"GET / HTTP/1.1\r\n\r\n",                                    HttpTake::Error,   405, false},
        {"POST / HTTP/1.1\r\n\r\n",                                   HttpTake::Error,   411, false},
        {"POST / HTTP/1.1\r\nContent-Length: 65537\r\n\r\n",          HttpTake::Error,   413, false},
        {"POST / HTTP/1.1\r\nContent-Length: 99999999999999999999999\r\n\r\n", HttpTake::Error, 413, false},
        {"POST / HTTP/1.1\r\nContent-Length: 1x\r\n\r\n",             HttpTake::Error,   400, false},
        {"POST / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n", HttpTake::Error, 400, false},
        {"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n",     HttpTake::Error,   501, false},
        {"POST / HTTP/2.0\r\nContent-Length: 0\r\n\r\n",              HttpTake::Error,   505, false},
        {"hello\r\n\r\n",                                             HttpTake::Error,   400, false},
        {" / HTTP/1.1\r\nContent-Length: 0\r\n\r\n",                    HttpTake::Error,   400, false},
        {"POST  HTTP/1.1\r\nContent-Length: 0\r\n\r\n",                 HttpTake::Error,   400, false},
        {"POST / HTTP/1.1\r\nno colon\r\n\r\n",                       HttpTake::Error,   400, false},
        {"POST / HTTP/1.1\r\nX: " + std::string(9000, 'a'),           HttpTake::Error,   431, false},
        {"POST / HTTP/1.1\r\nContent-Length: 5\r\n\r\nabc",           HttpTake::NeedMore, 0,  false},
    };
    // clang-format on
    for (const auto& [stream, take, status, keepAlive] : cases) {
        SCOPED_TRACE(stream.substr(0, 60));
        std::string buffer = stream;
        HttpRequest request;
        int errorStatus = 0;
        EXPECT_EQ(TakeHttpRequest(buffer, request, errorStatus), take);
        EXPECT_EQ(errorStatus, status);
        EXPECT_EQ(request.keepAlive && take == HttpTake::Request, keepAlive);
    }
}

}  // namespace
}  // namespace kestrel
