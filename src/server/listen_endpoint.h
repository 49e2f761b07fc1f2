#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// The default ports: rigctld's and flrig's.
inline constexpr uint16_t kRigctlDefaultPort = 4532;
inline constexpr uint16_t kXmlrpcDefaultPort = 12345;

// An address and port a server listens on. Only the loopback address unless the operator names
// another one.
struct ListenEndpoint {
    std::string address = "127.0.0.1";  // numeric IPv4 or IPv6 address
    uint16_t port = 0;                  // 0 takes any free port

    bool operator==(const ListenEndpoint&) const = default;
};

// Parses "[ADDR:]PORT" ("4532", "127.0.0.1:4532", "[::1]:4532", "localhost:4532"); on a bad text
// returns nothing and sets error to the reason.
std::optional<ListenEndpoint> ParseListenEndpoint(std::string_view text, std::string& error);
// Writes an endpoint back as "ADDR:PORT" ("[ADDR]:PORT" for IPv6).
std::string FormatListenEndpoint(const ListenEndpoint& endpoint);

// Opens a non-blocking listening TCP socket on the endpoint; returns the descriptor or -1 with
// error set. boundPort receives the port actually bound (the free port chosen for port 0).
int OpenListener(const ListenEndpoint& endpoint, uint16_t& boundPort, std::string& error);

}  // namespace kestrel
