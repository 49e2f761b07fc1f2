#include "server/share_settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/paths.h"
#include "server/listen_endpoint.h"

namespace kestrel {
namespace {

class ShareSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_);
        SetWorkingDirectoryBase(dir_);
    }
    void TearDown() override {
        SetWorkingDirectoryBase("");
        std::filesystem::remove_all(dir_);
    }
    std::string dir_ = testing::TempDir() + "kestrel-share-" + std::to_string(::getpid());
};

TEST_F(ShareSettingsTest, RoundTripsAndKeepsDefaultsForBadRows) {
    EXPECT_EQ(ReadShareSettings(), ShareSettings{});
    ShareSettings chosen;
    chosen.rigctlOn = true;
    chosen.rigctl = {"::1", 4533};
    chosen.xmlrpc = {"0.0.0.0", 12346};
    chosen.allowRaw = true;
    chosen.transmitIdleSeconds = 30;
    ASSERT_TRUE(WriteShareSettings(chosen));
    EXPECT_EQ(ReadShareSettings(), chosen);
    EXPECT_EQ(std::filesystem::directory_iterator(dir_ + "/CommoFiles")->path().filename(),
              "ShareSetting.csv");  // no temporary file is left behind

    std::ofstream(ShareSettingsPath()) << "rigctl,2,127.0.0.1:4532\nxmlrpc,1,nowhere:1\n"
                                          "raw,yes\ntxtimeout,0\nother,1\n";
    EXPECT_EQ(ReadShareSettings(), ShareSettings{});
}

TEST(ShareOptions, TakesTheSharingOptionsOfBothPrograms) {
    const std::vector<std::string> args = {"--listen",    "4532",         "--xmlrpc=[::1]:12345",
                                           "--allow-raw", "--tx-timeout", "60",
                                           "--simulate"};
    ServerOptions options;
    std::string error;
    size_t i = 0;
    for (; i < args.size() && TakeShareOption(args, i, options, error); ++i) {
        ASSERT_TRUE(error.empty()) << error;
    }
    EXPECT_EQ(i, 6u);  // --simulate is not a sharing option
    EXPECT_EQ(options.rigctl, (ListenEndpoint{"127.0.0.1", 4532}));
    EXPECT_EQ(options.xmlrpc, (ListenEndpoint{"::1", 12345}));
    EXPECT_TRUE(options.allowRaw);
    EXPECT_EQ(options.transmitIdleMs, 60000);

    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--listen"},
                                                {"--xmlrpc", "99999"},
                                                {"--tx-timeout=0"},
                                                {"--listen=host:1"}}) {
        size_t j = 0;
        error.clear();
        EXPECT_TRUE(TakeShareOption(bad, j, options, error));
        EXPECT_FALSE(error.empty()) << bad[0];
    }
}

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
