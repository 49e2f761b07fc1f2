#include "server/http_framing.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

namespace kestrel {

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool ContainsTokenNoCase(std::string_view list, std::string_view token) {
    size_t pos = 0;
    while (pos <= list.size()) {
        const size_t comma = std::min(list.find(',', pos), list.size());
        std::string_view item = list.substr(pos, comma - pos);
        while (!item.empty() && (item.front() == ' ' || item.front() == '\t')) {
            item.remove_prefix(1);
        }
        while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) {
            item.remove_suffix(1);
        }
        if (EqualsNoCase(item, token)) {
            return true;
        }
        pos = comma + 1;
    }
    return false;
}

std::string_view ReasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 400:
            return "Bad Request";
        case 405:
            return "Method Not Allowed";
        case 411:
            return "Length Required";
        case 413:
            return "Content Too Large";
        case 431:
            return "Request Header Fields Too Large";
        case 501:
            return "Not Implemented";
        case 505:
            return "HTTP Version Not Supported";
        default:
            return "Error";
    }
}

HttpTake Fail(int& errorStatus, int status) {
    errorStatus = status;
    return HttpTake::Error;
}

}  // namespace

HttpTake TakeHttpRequest(std::string& buffer, HttpRequest& request, int& errorStatus) {
    const size_t headEnd = buffer.find("\r\n\r\n");
    if (headEnd == std::string::npos) {
        return buffer.size() > kMaxHttpHeadBytes ? Fail(errorStatus, 431) : HttpTake::NeedMore;
    }
    if (headEnd > kMaxHttpHeadBytes) {
        return Fail(errorStatus, 431);
    }
    const std::string_view head(buffer.data(), headEnd);
    const size_t lineEnd = std::min(head.find("\r\n"), head.size());
    const std::string_view requestLine = head.substr(0, lineEnd);
    const size_t space1 = requestLine.find(' ');
    const size_t space2 =
        space1 == std::string_view::npos ? space1 : requestLine.find(' ', space1 + 1);
    if (space2 == std::string_view::npos || space1 == 0 || space2 == space1 + 1) {
        return Fail(errorStatus, 400);
    }
    const std::string_view version = requestLine.substr(space2 + 1);
    bool keepAlive = false;
    if (version == "HTTP/1.1") {
        keepAlive = true;
    } else if (version != "HTTP/1.0") {
        return Fail(errorStatus, version.starts_with("HTTP/") ? 505 : 400);
    }

    std::optional<size_t> contentLength;
    size_t pos = lineEnd + 2;
    while (pos < head.size()) {
        const size_t end = std::min(head.find("\r\n", pos), head.size());
        const std::string_view field = head.substr(pos, end - pos);
        pos = end + 2;
        const size_t colon = field.find(':');
        if (colon == std::string_view::npos || colon == 0) {
            return Fail(errorStatus, 400);
        }
        const std::string_view name = field.substr(0, colon);
        std::string_view value = field.substr(colon + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
            value.remove_prefix(1);
        }
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) {
            value.remove_suffix(1);
        }
        if (EqualsNoCase(name, "Content-Length")) {
            size_t length = 0;
            const auto [ptr, ec] =
                std::from_chars(value.data(), value.data() + value.size(), length);
            if (value.empty() || ec != std::errc{} || ptr != value.data() + value.size() ||
                (contentLength && *contentLength != length)) {
                return Fail(errorStatus, ec == std::errc::result_out_of_range ? 413 : 400);
            }
            contentLength = length;
        } else if (EqualsNoCase(name, "Transfer-Encoding")) {
            return Fail(errorStatus, 501);
        } else if (EqualsNoCase(name, "Connection")) {
            if (ContainsTokenNoCase(value, "close")) {
                keepAlive = false;
            } else if (ContainsTokenNoCase(value, "keep-alive")) {
                keepAlive = true;
            }
        }
    }
    if (requestLine.substr(0, space1) != "POST") {
        return Fail(errorStatus, 405);
    }
    if (!contentLength) {
        return Fail(errorStatus, 411);
    }
    if (*contentLength > kMaxHttpBodyBytes) {
        return Fail(errorStatus, 413);
    }
    const size_t bodyStart = headEnd + 4;
    if (buffer.size() - bodyStart < *contentLength) {
        return HttpTake::NeedMore;
    }
    request.method = std::string(requestLine.substr(0, space1));
    request.target = std::string(requestLine.substr(space1 + 1, space2 - space1 - 1));
    request.body = buffer.substr(bodyStart, *contentLength);
    request.keepAlive = keepAlive;
    buffer.erase(0, bodyStart + *contentLength);
    return HttpTake::Request;
}

std::string HttpResponse(int status, std::string_view body, bool keepAlive) {
    std::string response = "HTTP/1.1 " + std::to_string(status) + " ";
    response += ReasonPhrase(status);
    response += "\r\nServer: Kestrel Panel\r\nContent-Type: ";
    response += status == 200 ? "text/xml" : "text/plain";
    response += "\r\nContent-Length: " + std::to_string(body.size());
    response += keepAlive ? "\r\nConnection: keep-alive" : "\r\nConnection: close";
    if (status == 405) {
        response += "\r\nAllow: POST";
    }
    response += "\r\n\r\n";
    response += body;
    return response;
}

}  // namespace kestrel
