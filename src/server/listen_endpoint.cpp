#include "server/listen_endpoint.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

namespace kestrel {

namespace {

constexpr int kBacklog = 16;

std::optional<uint16_t> ParsePort(std::string_view text) {
    unsigned value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || ptr != text.data() + text.size() || value > 65535) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(value);
}

bool IsIpv6(const std::string& address) {
    return address.find(':') != std::string::npos;
}

}  // namespace

std::optional<ListenEndpoint> ParseListenEndpoint(std::string_view text, std::string& error) {
    ListenEndpoint endpoint;
    std::string_view portText = text;
    if (text.starts_with('[')) {
        const size_t close = text.find("]:");
        if (close == std::string_view::npos) {
            error = "'" + std::string(text) + "': an IPv6 address is written [ADDR]:PORT";
            return std::nullopt;
        }
        endpoint.address = std::string(text.substr(1, close - 1));
        portText = text.substr(close + 2);
    } else if (const size_t colon = text.rfind(':'); colon != std::string_view::npos) {
        endpoint.address = std::string(text.substr(0, colon));
        portText = text.substr(colon + 1);
    }
    if (endpoint.address == "localhost") {
        endpoint.address = "127.0.0.1";
    }
    in6_addr probe{};
    const int family = IsIpv6(endpoint.address) ? AF_INET6 : AF_INET;
    if (inet_pton(family, endpoint.address.c_str(), &probe) != 1) {
        error = "'" + endpoint.address + "' is not a numeric address";
        return std::nullopt;
    }
    const auto port = ParsePort(portText);
    if (!port) {
        error = "'" + std::string(portText) + "' is not a port (0 to 65535)";
        return std::nullopt;
    }
    endpoint.port = *port;
    return endpoint;
}

std::string FormatListenEndpoint(const ListenEndpoint& endpoint) {
    const std::string port = std::to_string(endpoint.port);
    return IsIpv6(endpoint.address) ? "[" + endpoint.address + "]:" + port
                                    : endpoint.address + ":" + port;
}

int OpenListener(const ListenEndpoint& endpoint, uint16_t& boundPort, std::string& error) {
    sockaddr_storage storage{};
    socklen_t length = 0;
    const bool ipv6 = IsIpv6(endpoint.address);
    if (ipv6) {
        auto* a = reinterpret_cast<sockaddr_in6*>(&storage);
        a->sin6_family = AF_INET6;
        a->sin6_port = htons(endpoint.port);
        inet_pton(AF_INET6, endpoint.address.c_str(), &a->sin6_addr);
        length = sizeof *a;
    } else {
        auto* a = reinterpret_cast<sockaddr_in*>(&storage);
        a->sin_family = AF_INET;
        a->sin_port = htons(endpoint.port);
        inet_pton(AF_INET, endpoint.address.c_str(), &a->sin_addr);
        length = sizeof *a;
    }
    const int fd =
        ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::strerror(errno);
        return -1;
    }
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&storage), length) != 0 ||
        ::listen(fd, kBacklog) != 0) {
        error = FormatListenEndpoint(endpoint) + ": " + std::strerror(errno);
        ::close(fd);
        return -1;
    }
    sockaddr_storage bound{};
    socklen_t boundLength = sizeof bound;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &boundLength);
    boundPort = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                           : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    return fd;
}

}  // namespace kestrel
