#include "platform/paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace kestrel {
namespace {

TEST(Paths, ResolvesTheFolderOfTheRunInOrderOfPrecedence) {
    char pattern[] = "/tmp/kestrel-paths-test-XXXXXX";
    const std::string work = ::mkdtemp(pattern);
    const std::string bare = work + "/bare";
    std::filesystem::create_directories(work + "/CommoFiles");
    std::filesystem::create_directories(bare);
    struct Case {
        std::string files;
        std::string workingDir;
        std::string xdgDataHome;
        std::string home;
        std::string expected;
    };
    const Case cases[] = {
        {"/mine", work, "/data", "/h", "/mine"},
        {"", work, "/data", "/h", work + "/CommoFiles"},
        {"", bare, "/data", "/h", "/data/kestrel-panel/CommoFiles"},
        {"", bare, "/data/", "/h", "/data/kestrel-panel/CommoFiles"},
        {"", bare, "", "/h", "/h/.local/share/kestrel-panel/CommoFiles"},
        {"", bare, "data", "/h/", "/h/.local/share/kestrel-panel/CommoFiles"},
        {"", bare, "", "", bare + "/CommoFiles"},
        {"", "", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolveCommoFolder(c.files, c.workingDir, c.xdgDataHome, c.home), c.expected)
            << "files '" << c.files << "', data '" << c.xdgDataHome << "', home '" << c.home << "'";
    }
    std::filesystem::remove_all(work);
}

}  // namespace
}  // namespace kestrel
