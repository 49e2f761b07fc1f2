#include "server/listen_endpoint.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(ListenEndpoint, ParsesAddressAndPortAndStaysOnLoopbackByDefault) {
    // clang-format off
    const std::vector<std::pair<std::string_view, std::optional<std::string>>> cases = {  // nothing: refused
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
    for (const auto& [text, formatted] : cases) {
        std::string error;
        const auto endpoint = ParseListenEndpoint(text, error);
        EXPECT_EQ(endpoint ? std::optional(FormatListenEndpoint(*endpoint)) : std::nullopt,
                  formatted)
            << text;
        EXPECT_EQ(error.empty(), formatted.has_value()) << text;
    }
}

}  // namespace
}  // namespace kestrel
