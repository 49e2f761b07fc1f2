#include "server/http_framing.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kestrel {
namespace {

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
