#include <gtest/gtest.h>

#include "app/panel_options.h"

namespace kestrel {
namespace {

TEST(PanelOptions, ParsesEveryOption) {
    std::string error;
    const auto options =
        ParsePanelOptions({"--device", "/dev/ttyUSB0", "--skin", "my skin"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->device, "/dev/ttyUSB0");
    EXPECT_EQ(options->skinFolder, "my skin");
    EXPECT_FALSE(options->simulate);
    const auto simulated = ParsePanelOptions({"--simulate", "--help", "--version"}, error);
    ASSERT_TRUE(simulated) << error;
    EXPECT_EQ(std::tuple(simulated->simulate, simulated->help, simulated->version),
              std::tuple(true, true, true));
}

TEST(PanelOptions, RefusesBadCommandLinesWithAReason) {
    const std::vector<std::vector<std::string>> bad{
        {"--device"},
        {"--skin"},
        {"--device", ""},
        {"--device", "a", "--device", "b"},
        {"--simulate", "--device", "x"},
        {"--frobnicate"},
        {"simulate"},
    };
    for (const auto& args : bad) {
        std::string error;
        EXPECT_FALSE(ParsePanelOptions(args, error)) << args.front();
        EXPECT_FALSE(error.empty()) << args.front();
    }
}

}  // namespace
}  // namespace kestrel
