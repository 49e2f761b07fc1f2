#include "server/listen_endpoint.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(ListenEndpoint, ParsesAddressAndPortAndStaysOnLoopbackByDefault) {
    struct Case {
        std::string_view text;
        std::optional<std::string> formatted;  // nothing: refused
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"4532",             "127.0.0.1:4532"},
        {"0",                "127.0.0.1:0"},
        {"localhost:12345",  "127.0.0.1:12345"},
        {"0.0.0.0:4532",     "0.0.0.0:4532"},
        {"[::1]:4532",       "[::1]:4532"},
        {"65536",            std::nullopt},
        {"-1",               std::nullopt},
        {"",                 std::nullopt},
        {"127.0.0.1:",       std::nullopt},
        {"radio.example:80", std::nullopt},
        {"[::1]4532",        std::nullopt},
        {"1.2.3:4532",       std::nullopt},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::string error;
        const auto endpoint = ParseListenEndpoint(c.text, error);
        EXPECT_EQ(endpoint ? std::optional(FormatListenEndpoint(*endpoint)) : std::nullopt,
                  c.formatted)
            << c.text;
        EXPECT_EQ(error.empty(), c.formatted.has_value()) << c.text;
    }
}

}  // namespace
}  // namespace kestrel
