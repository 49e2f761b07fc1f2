#include "server/radio_server.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>
#include <xmlrpc-c/base.hpp>
#include <xmlrpc-c/xml.hpp>

#include "server/flrig_service.h"
#include "server/http_framing.h"
#include "server/radio_access.h"
#include "server/rigctl_session.h"
#include "server/share_caps.h"

namespace kestrel {
namespace {

// A radio whose store the test fills and which records every command it is given as a line
// ("freq A 14074000", "request 35 0 0", "raw KM5CQ;"). Safe to share with the server's thread.
class FakeRadio : public RadioAccess {
  public:
    FakeRadio() {
        ResetRadioState();  // the field limits the servers check against
        for (int i = 0; i < kFieldCount; ++i) {
            fields_[static_cast<size_t>(i)] = FieldMin(static_cast<Field>(i));
        }
        for (const auto& [field, value] : {std::pair{Field::FA, 14074000},
                                           {Field::FB, 7050000},
                                           {Field::MD0, 2},
                                           {Field::MD1, 1},
                                           {Field::PC, 100},
                                           {Field::PS, 1}}) {
            fields_[static_cast<size_t>(field)] = value;
        }
    }

    void Set(Field field, int32_t value) {
        std::lock_guard lock(mutex_);
        fields_[static_cast<size_t>(field)] = value;
    }
    // Returns and forgets the commands given so far.
    std::vector<std::string> TakeCalls() {
        std::lock_guard lock(mutex_);
        return std::exchange(calls_, {});
    }

    std::atomic<bool> connected{true};

    bool IsConnected() override { return connected; }
    int32_t Read(Field field) override {
        std::lock_guard lock(mutex_);
        return fields_[static_cast<size_t>(field)];
    }
    bool SetFrequency(Vfo vfo, uint64_t hertz) override {
        return Log(std::string("freq ") + (vfo == Vfo::A ? "A " : "B ") + std::to_string(hertz));
    }
    bool SetMode(int modeCode, Vfo vfo) override {
        return Log(std::string("mode ") + (vfo == Vfo::A ? "A " : "B ") + std::to_string(modeCode));
    }
    bool SetTransmit(bool on) override { return Log(on ? "tx on" : "tx off"); }
    bool SetActiveVfo(Vfo vfo) override { return Log(vfo == Vfo::A ? "vfo A" : "vfo B"); }
    bool Request(int number, int vfoB, int32_t value) override {
        return Log("request " + std::to_string(number) + " " + std::to_string(vfoB) + " " +
                   std::to_string(value));
    }
    RawResult QueueRaw(std::string_view text) override {
        Log("raw " + std::string(text));
        return text.empty() ? RawResult::Empty : RawResult::Queued;
    }

  private:
    bool Log(std::string call) {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
        return true;
    }

    std::mutex mutex_;
    std::array<int32_t, kFieldCount> fields_{};
    std::vector<std::string> calls_;
};

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
        const ListenEndpoint free{"127.0.0.1", 0};
        std::string error;
        ASSERT_TRUE(
            server_.Start({.rigctl = free, .xmlrpc = free, .transmitIdleMs = kIdleMs}, error))
            << error;
    }
    // The server's thread reports into the members below: it ends before they go.
    void TearDown() override { server_.Stop(); }
    // Waits for a status that satisfies the predicate (bounded); returns it, or nothing when it
    // never came.
    std::optional<ServerStatus> AwaitStatus(
        const std::function<bool(const ServerStatus&)>& wanted) {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, std::chrono::seconds(5), [&] { return wanted(status_); })) {
            return std::nullopt;
        }
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

std::string Post(std::string_view body, std::string_view extraHeaders = "",
                 std::string_view version = "HTTP/1.1") {
    return "POST /RPC2 " + std::string(version) + "\r\nHost: x\r\n" + std::string(extraHeaders) +
           "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
}

TEST_F(RadioServerTest, ServesSeveralClientsAndEndsTheTransmissionOfAKeyerThatLeaves) {
    Client keyer(server_.RigctlPort());
    Client reader(server_.RigctlPort());
    keyer.Send("T 1\n");
    EXPECT_EQ(keyer.ReadUntil("\n"), "RPRT 0\n");
    const auto keying = AwaitStatus(
        [](const ServerStatus& s) { return s.clients == 2 && !s.keyingClient.empty(); });
    ASSERT_TRUE(keying);
    EXPECT_TRUE(keying->keyingClient.starts_with("rigctl 127.0.0.1:")) << keying->keyingClient;
    // The reader polls while the other client keys; every answer comes from the store.
    for (int i = 0; i < 50; ++i) {
        reader.Send("f\n");
        ASSERT_EQ(reader.ReadUntil("\n"), "14074000\n");
    }
    keyer.Close();
    EXPECT_TRUE(AwaitStatus(
        [](const ServerStatus& s) { return s.clients == 1 && s.keyingClient.empty(); }));
    EXPECT_EQ(radio_.TakeCalls(), (std::vector<std::string>{"tx on", "tx off"}));

    RadioServer second(radio_);
    std::string error;
    EXPECT_FALSE(second.Start(
        {.rigctl = ListenEndpoint{"127.0.0.1", server_.RigctlPort()}, .xmlrpc = {}}, error));
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
    EXPECT_TRUE(AwaitStatus([](const ServerStatus& s) { return s.keyingClient.empty(); }));
    EXPECT_EQ(radio_.TakeCalls(), (std::vector<std::string>{"tx on", "tx off"}));
}

TEST_F(RadioServerTest, XmlrpcKeepsTheConnectionAndClosesAfterABadRequest) {
    Client client(server_.XmlrpcPort());
    for (int i = 0; i < 2; ++i) {
        client.Send(Post("<methodCall><methodName>rig.get_vfoA</methodName></methodCall>"));
        const std::string answer = client.ReadUntil("</methodResponse>\r\n");
        EXPECT_TRUE(answer.starts_with("HTTP/1.1 200 OK\r\n")) << answer;
        EXPECT_NE(answer.find("Connection: keep-alive"), std::string::npos);
        EXPECT_NE(answer.find("<string>14074000</string>"), std::string::npos) << answer;
    }
    client.Send("GET / HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(client.ReadUntil("\r\n\r\n").starts_with("HTTP/1.1 405"));
    EXPECT_TRUE(client.ClosedByServer());
}

TEST(HttpFraming, TakesRequestsWholeAcrossReadsAndOneAtATime) {
    const std::string stream = Post("<a/>") + Post("<bb/>", "Connection: close\r\n");
    std::string buffer;
    std::vector<std::string> bodies;
    // One byte at a time: every prefix is incomplete until a request's last byte.
    for (const char c : stream) {
        buffer += c;
        HttpRequest request;
        int status = 0;
        const HttpTake take = TakeHttpRequest(buffer, request, status);
        ASSERT_NE(take, HttpTake::Error);
        if (take == HttpTake::Request) {
            bodies.push_back(request.method + " " + request.target + " " + request.body +
                             (request.keepAlive ? " keep-alive" : ""));
        }
    }
    EXPECT_EQ(bodies, (std::vector<std::string>{"POST /RPC2 <a/> keep-alive", "POST /RPC2 <bb/>"}));
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

class RigctlSessionTest : public ::testing::Test {
  protected:
    std::string Ask(std::string_view line) {
        std::string out;
        open_ = session_.HandleLine(line, out);
        return out;
    }

    FakeRadio radio_;
    int64_t now_ = 1000;
    TransmitWatchdog watchdog_{5000};
    ShareContext context_{radio_, watchdog_, false, [this] { return now_; }};
    RigctlSession session_{context_, 7};
    bool open_ = true;
};

TEST_F(RigctlSessionTest, AnswersReadsFromTheStoreAndPassesSettingsOn) {
    radio_.Set(Field::SM0, 130);
    radio_.Set(Field::MS, kMeterSwr);
    radio_.Set(Field::RM1, 100);
    radio_.Set(Field::NA0, 1);
    radio_.Set(Field::LK, 1);
    // clang-format off
    const std::vector<std::tuple<std::string_view, std::string_view, std::vector<std::string>>> exchanges = {  // line, answer, calls
        {"f",                   "14074000\n",            {}},
        {"F 14074000.000000",   "RPRT 0\n",              {"freq A 14074000"}},
        {"F 7000123.6",         "RPRT 0\n",              {"freq A 7000124"}},
        {"F 29999",             "RPRT -1\n",             {}},
        {"F 60000001",          "RPRT -1\n",             {}},
        {"F 14e6x",             "RPRT -1\n",             {}},
        {"m",                   "USB\n1800\n",           {}},
        {"M CW 0",              "RPRT 0\n",              {"mode A 3"}},
        {"M PKTUSB",            "RPRT 0\n",              {"mode A 12"}},
        {"M FM-D 0",            "RPRT 0\n",              {"mode A 10"}},
        {"M USB -1",            "RPRT 0\n",              {}},
        {"M WFM 0",             "RPRT -1\n",             {}},
        {"M LSB wide",          "RPRT -1\n",             {}},
        {"v",                   "VFOA\n",                {}},
        {"V VFOB",              "RPRT 0\n",              {"vfo B"}},
        {"V Main",              "RPRT 0\n",              {"vfo A"}},
        {"V VFOC",              "RPRT -1\n",             {}},
        {"t",                   "0\n",                   {}},
        {"s",                   "0\nVFOA\n",             {}},
        {"S 1 VFOB",            "RPRT 0\n",              {"request 62 0 0"}},
        {"S 0 VFOA",            "RPRT 0\n",              {"request 33 0 0"}},
        {"S 2 VFOB",            "RPRT -1\n",             {}},
        {"i",                   "14074000\n",            {}},
        {"I 7074000",           "RPRT 0\n",              {"freq A 7074000"}},
        {"l STRENGTH",          "0\n",                   {}},
        {"l SWR",               "2.000000\n",            {}},
        {"l ALC",               "RPRT -11\n",            {}},
        {"l RFPOWER",           "1.000000\n",            {}},
        {"l KEYSPD",            "4\n",                   {}},
        {"l FOO",               "RPRT -11\n",            {}},
        {"L RFPOWER 0.5",       "RPRT 0\n",              {"request 107 0 50"}},
        {"L RFPOWER 0.01",      "RPRT 0\n",              {"request 107 0 5"}},
        {"L AF 1.5",            "RPRT -1\n",             {}},
        {"L AF x",              "RPRT -1\n",             {}},
        {"L PREAMP 20",         "RPRT 0\n",              {"request 13 0 1"}},
        {"L PREAMP 0",          "RPRT 0\n",              {"request 13 0 2"}},
        {"L ATT 12",            "RPRT 0\n",              {"request 12 0 2"}},
        {"L ATT 10",            "RPRT -1\n",             {}},
        {"L KEYSPD 61",         "RPRT -1\n",             {}},
        {"L NR 1",              "RPRT 0\n",              {"request 104 0 15"}},
        {"L STRENGTH 1",        "RPRT -11\n",            {}},
        {"u LOCK",              "1\n",                   {}},
        {"U LOCK 1",            "RPRT 0\n",              {}},
        {"U LOCK 0",            "RPRT 0\n",              {"request 35 0 0"}},
        {"U NB 1",              "RPRT 0\n",              {"request 16 0 1"}},
        {"U NB 2",              "RPRT -1\n",             {}},
        {"\\get_powerstat",     "1\n",                   {}},
        {"\\set_powerstat 1",   "RPRT 0\n",              {}},
        {"\\set_powerstat 0",   "RPRT 0\n",              {"request 2 0 0"}},
        {"\\send_morse cq de k", "RPRT 0\n",             {"raw KM5CQ DE K;", "request 137 0 0"}},
        {"b a{b",               "RPRT -1\n",             {}},
        {"w FA;",               "RPRT -11\n",            {}},
        {"\\get_lock_mode",     "0\n",                   {}},
        {"\\chk_vfo",           "0\n",                   {}},
        {"+\\chk_vfo",          "ChkVFO: 0\n",           {}},
        {"Y",                   "RPRT -11\n",            {}},
        {"\\set_bogus 1",       "RPRT -11\n",            {}},
        {"F",                   "RPRT -1\n",             {}},
        {"",                    "",                      {}},
        // The extended response: the long name and the arguments, labelled values, the report.
        {"+f",                  "get_freq:\nFrequency: 14074000\nRPRT 0\n", {}},
        {";m",                  "get_mode:;Mode: USB;Passband: 1800;RPRT 0\n", {}},
        {"|\\set_freq 3500000", "set_freq: 3500000|RPRT 0\n", {"freq A 3500000"}},
        {"+s",                  "get_split_vfo:\nSplit: 0\nTX VFO: VFOA\nRPRT 0\n", {}},
        {"+l STRENGTH",         "get_level: STRENGTH\n0\nRPRT 0\n", {}},
        {"+F 1",                "set_freq: 1\nRPRT -1\n", {}},
        // Several commands on one line, as rigctld reads them.
        {"F 14010000 M LSB 0 f", "RPRT 0\nRPRT 0\n14074000\n", {"freq A 14010000", "mode A 1"}},
        {"f Y f",               "14074000\nRPRT -11\n",  {}},
        {"T 1 f",               "RPRT 0\n14074000\n",    {"tx on"}},
    };
    // clang-format on
    for (const auto& [line, answer, calls] : exchanges) {
        EXPECT_EQ(Ask(line), answer) << line;
        EXPECT_EQ(radio_.TakeCalls(), calls) << line;
    }
    EXPECT_TRUE(open_);
}

TEST_F(RigctlSessionTest, RefusesRadioCommandsWhileNotConnectedButStillDescribesTheRadio) {
    radio_.connected = false;
    EXPECT_EQ(Ask("f"), "RPRT -9\n");
    EXPECT_EQ(Ask("+T 1"), "set_ptt: 1\nRPRT -9\n");
    EXPECT_EQ(Ask("\\chk_vfo"), "0\n");
    EXPECT_TRUE(Ask("\\dump_state").ends_with("done\n"));
    EXPECT_TRUE(radio_.TakeCalls().empty());
}

// Hamlib's network client reads the description by line position: the ranges, the PTT type and
// the mode list must stand exactly where it looks for them.
TEST_F(RigctlSessionTest, DescribesTheRadioInTheLayoutTheNetworkClientParses) {
    std::vector<std::string> state;
    std::istringstream dump(Ask("\\dump_state"));
    for (std::string line; std::getline(dump, line);) {
        state.push_back(line);
    }
    ASSERT_GT(state.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(state.begin(), state.begin() + 3),
              (std::vector<std::string>{"1", "2", "0"}));
    EXPECT_EQ(state[3], "30000.000000 60000000.000000 0x1dbf -1 -1 0x3 0x3");
    EXPECT_EQ(state[5], "1800000.000000 54000000.000000 0x1dbf 5000 100000 0x3 0x3");
    EXPECT_NE(std::find(state.begin(), state.end(), "ptt_type=0x1"), state.end());
    const std::string caps = Ask("\\dump_caps");
    EXPECT_TRUE(caps.starts_with("Caps dump for model: 2\n")) << caps;
    for (const char* line :
         {"Mfg name:\tKestrel Panel\n", "Can set PTT:\tY\nCan get PTT:\tY\n", "Preamp: 10 20 dB\n",
          "Mode list: LSB USB CW FM AM RTTY CWR PKTLSB RTTYR PKTFM PKTUSB \n",
          "TX ranges: 1800000 Hz - 54000000 Hz, 5 W - 100 W\n"}) {
        EXPECT_NE(caps.find(line), std::string::npos) << line << caps;
    }
}

// A mode the Hamlib name already names (FM-N reads as FM with the narrow filter) is kept; raw
// commands pass once allowed; quit closes with a report.
TEST_F(RigctlSessionTest, TransmitNamesTheKeyingClientAndQuitClosesWithAReport) {
    EXPECT_EQ(Ask("T 1"), "RPRT 0\n");
    EXPECT_EQ(watchdog_.KeyingClient(), 7u);
    EXPECT_EQ(Ask("T 0"), "RPRT 0\n");
    EXPECT_FALSE(watchdog_.KeyingClient());
    radio_.Set(Field::MD0, 11);
    EXPECT_EQ(Ask("m M FM 0"), "FM\n9000\nRPRT 0\n");
    context_.allowRaw = true;
    EXPECT_EQ(Ask("w  FA14250000; "), "RPRT 0\n");
    EXPECT_EQ(radio_.TakeCalls(), (std::vector<std::string>{"tx on", "tx off", "raw FA14250000;"}));
    EXPECT_EQ(Ask("q f"), "RPRT 0\n");
    EXPECT_FALSE(open_);
}

TEST_F(RigctlSessionTest, SplitTransmitsOnTheVfoNotOnTheDialAndItsFrequencyFollowsAtOnce) {
    radio_.Set(Field::VS, 1);
    EXPECT_EQ(Ask("S 0 VFOB S 1 VFOB"), "RPRT 0\nRPRT 0\n");
    EXPECT_EQ(radio_.TakeCalls(), (std::vector<std::string>{"request 62 0 0", "request 33 0 0"}));
    // Before the radio reports the split, its frequency already goes to the transmitting VFO.
    EXPECT_EQ(Ask("s i I 3600000"), "1\nVFOA\n14074000\nRPRT 0\n");
    EXPECT_EQ(radio_.TakeCalls(), std::vector<std::string>{"freq A 3600000"});
    now_ += kRigctlChoiceHoldMs;
    radio_.Set(Field::FT, 0);
    EXPECT_EQ(Ask("s"), "1\nVFOA\n");
}

TEST_F(RigctlSessionTest, AClientsVfoChoiceStandsForAWhileOverTheRadiosReport) {
    // Hamlib's client reads VFO-B by selecting it, asking and selecting VFO-A again.
    EXPECT_EQ(Ask("V VFOB"), "RPRT 0\n");
    EXPECT_EQ(Ask("f v m"), "7050000\nVFOB\nLSB\n2400\n");
    now_ += kRigctlChoiceHoldMs - 1;
    EXPECT_EQ(Ask("V VFOA"), "RPRT 0\n");
    radio_.Set(Field::VS, 1);  // the radio's late report of the first selection
    now_ += kRigctlChoiceHoldMs - 1;
    EXPECT_EQ(Ask("f"), "14074000\n");
    now_ += 1;
    EXPECT_EQ(Ask("f"), "7050000\n");  // the radio's word again: VFO-B, turned at the panel
    EXPECT_EQ(radio_.TakeCalls(), (std::vector<std::string>{"vfo B", "vfo A"}));
}

class FlrigServiceTest : public ::testing::Test {
  protected:
    // Calls a method and returns its result, or the fault's text prefixed with "fault ".
    std::string Call(const std::string& method, const xmlrpc_c::paramList& params = {}) {
        std::string call;
        xmlrpc_c::xml::generateCall(method, params, &call);
        return Outcome(service_.Call(call, 3));
    }
    static std::string Outcome(const std::string& response) {
        xmlrpc_c::rpcOutcome outcome;
        xmlrpc_c::xml::parseResponse(response, &outcome);
        return outcome.succeeded() ? Shown(outcome.getResult())
                                   : "fault " + outcome.getFault().getDescription();
    }
    // Writes a result as text: a string as it is, a number after "int ", an array in brackets.
    static std::string Shown(const xmlrpc_c::value& result) {
        switch (result.type()) {
            case xmlrpc_c::value::TYPE_STRING:
                return static_cast<std::string>(xmlrpc_c::value_string(result));
            case xmlrpc_c::value::TYPE_INT:
                return "int " + std::to_string(static_cast<int>(xmlrpc_c::value_int(result)));
            case xmlrpc_c::value::TYPE_ARRAY: {
                std::string items = "[";
                for (const auto& item : xmlrpc_c::value_array(result).vectorValueValue()) {
                    items += Shown(item) + " ";
                }
                return items + "]";
            }
            default:
                return "other";
        }
    }

    static xmlrpc_c::paramList Params(const xmlrpc_c::value& v) {
        return xmlrpc_c::paramList().add(v);
    }

    FakeRadio radio_;
    TransmitWatchdog watchdog_;
    ShareContext context_{radio_, watchdog_, false, [] { return int64_t{0}; }};
    FlrigService service_{context_};
};

TEST_F(FlrigServiceTest, ReadsTheStoreAndPassesSettingsOn) {
    radio_.Set(Field::SM0, 255);
    radio_.Set(Field::FT, 1);
    // clang-format off
    const std::pair<const char*, const char*> reads[] = {
        {"rig.get_vfo", "14074000"},
        {"rig.get_vfoB", "7050000"},
        {"rig.get_mode", "USB"},
        {"rig.get_bw", "[2400  ]"},
        {"rig.get_bws", "[[Bandwidth 1800 2400 ] ]"},
        {"rig.get_smeter", "int 100"},
        {"rig.get_split", "int 1"},
        {"rig.get_AB", "A"},
        {"rig.get_power", "int 100"},
        {"main.get_version", "1.4.0"},
    };
    const std::pair<const char*, xmlrpc_c::value> sets[] = {
        {"rig.set_vfoB", xmlrpc_c::value_double(7074000.0)},
        {"rig.set_frequency", xmlrpc_c::value_string("3573000")},
        {"rig.set_mode", xmlrpc_c::value_string("PKT-U")},
        {"rig.set_bw", xmlrpc_c::value_int(1800)},
        {"rig.set_power", xmlrpc_c::value_int(50)},
        {"rig.set_ptt", xmlrpc_c::value_int(1)},
        {"rig.set_AB", xmlrpc_c::value_string("B")},
    };
    // clang-format on
    for (const auto& [method, answer] : reads) {
        EXPECT_EQ(Call(method), answer) << method;
    }
    for (const auto& [method, value] : sets) {
        EXPECT_EQ(Call(method, Params(value)), "") << method;
    }
    EXPECT_EQ(radio_.TakeCalls(),
              (std::vector<std::string>{"freq B 7074000", "freq A 3573000", "mode A 12",
                                        "request 29 0 0", "request 107 0 50", "tx on", "vfo B"}));
    EXPECT_EQ(watchdog_.KeyingClient(), 3u);
}

TEST_F(FlrigServiceTest, BadCallsGetFaultsAndChangeNothing) {
    // clang-format off
    const std::vector<std::tuple<std::string, xmlrpc_c::paramList, std::string>> calls = {
        {"rig.set_vfoA", {}, "fault bad argument: a number is missing"},
        {"rig.set_vfoA", Params(xmlrpc_c::value_string("fast")), "fault bad argument: not a number"},
        {"rig.set_vfoA", Params(xmlrpc_c::value_double(1e30)), "fault bad argument"},
        {"rig.set_mode", Params(xmlrpc_c::value_string("SSB")), "fault bad argument: unknown mode"},
        {"rig.set_mode", Params(xmlrpc_c::value_int(2)), "fault bad argument: a text is missing"},
        {"rig.set_bw", Params(xmlrpc_c::value_int(1234)), "fault "},
        {"rig.set_ptt", Params(xmlrpc_c::value_int(7)), "fault bad argument: 0 or 1 expected"},
        {"rig.set_AB", Params(xmlrpc_c::value_string("C")), "fault "},
        {"rig.set_power", Params(xmlrpc_c::value_int(101)), "fault "},
        {"rig.cat_string", Params(xmlrpc_c::value_string("FA;")), "fault raw commands are switched off"},
        {"rig.no_such_method", {}, "fault "},
    };
    // clang-format on
    for (const auto& [method, params, fault] : calls) {
        EXPECT_TRUE(Call(method, params).starts_with(fault))
            << method << ": " << Call(method, params);
    }
    const std::string nested =
        "<methodCall><methodName>rig.get_vfo</methodName><params><param><value><array><data>" +
        std::string(200, '[') + "</data></array>";
    for (const std::string& document :
         {std::string("<?xml version=\"1.0\"?><methodCall><methodName>rig.get_vfo"),
          std::string("not xml at all"), std::string(), nested}) {
        EXPECT_TRUE(Outcome(service_.Call(document, 3)).starts_with("fault ")) << document;
    }
    radio_.connected = false;
    const std::pair<const char*, xmlrpc_c::paramList> offLine[] = {
        {"rig.get_vfo", {}},
        {"rig.get_mode", {}},
        {"rig.set_mode", Params(xmlrpc_c::value_string("USB"))},
        {"rig.cat_string", Params(xmlrpc_c::value_string("FA;"))},
    };
    for (const auto& [method, params] : offLine) {
        EXPECT_EQ(Call(method, params), "fault the radio is not connected") << method;
    }
    EXPECT_EQ(Call("rig.get_xcvr"), "Kestrel");
    EXPECT_TRUE(radio_.TakeCalls().empty());
}

TEST_F(FlrigServiceTest, ListsItsMethodsAndPassesRawCommandsOnlyWhenAllowed) {
    const std::string listing = Call("system.listMethods");
    for (const char* method :
         {"rig.get_vfo", "rig.set_split", "rig.cat_string", "main.get_version"}) {
        EXPECT_NE(listing.find(method), std::string::npos) << method;
    }
    context_.allowRaw = true;
    EXPECT_EQ(Call("rig.cat_string", Params(xmlrpc_c::value_string("FA14250000;"))), "");
    EXPECT_EQ(Call("rig.cat_string", Params(xmlrpc_c::value_string(""))),
              "fault bad argument: the command is empty or too long");
    EXPECT_EQ(radio_.TakeCalls(), (std::vector<std::string>{"raw FA14250000;", "raw "}));
}

}  // namespace
}  // namespace kestrel
