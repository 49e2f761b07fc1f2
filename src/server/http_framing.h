#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrel {

// The largest request head (request line and headers) and body the XML-RPC server takes.
inline constexpr size_t kMaxHttpHeadBytes = 8 * 1024;
inline constexpr size_t kMaxHttpBodyBytes = 64 * 1024;

// One HTTP request taken from a client's byte stream.
struct HttpRequest {
    std::string method;
    std::string target;
    std::string body;
    bool keepAlive = true;  // the connection stays open after the answer
};

// What taking a request from the front of a buffer gave.
enum class HttpTake : uint8_t {
    NeedMore,  // the request is not complete yet
    Request,   // a request was taken and removed from the buffer
    Error,     // the stream is not a request we serve: answer errorStatus and close
};

// Takes one complete request from the front of buffer. On Error, errorStatus holds the HTTP
// status to answer with (400, 405, 411, 413, 431, 501, 505).
HttpTake TakeHttpRequest(std::string& buffer, HttpRequest& request, int& errorStatus);

// Returns a whole HTTP/1.1 response with the body as text/xml (or text/plain for errors).
std::string HttpResponse(int status, std::string_view body, bool keepAlive);

}  // namespace kestrel
