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
    const std::string cases[][5] = {
        // --files, working directory, XDG_DATA_HOME, HOME, folder
        {"/mine", work, "/data", "/h", "/mine"},
        {"", work, "/data", "/h", work + "/CommoFiles"},
        {"", bare, "/data", "/h", "/data/kestrel-panel/CommoFiles"},
        {"", bare, "/data/", "/h", "/data/kestrel-panel/CommoFiles"},
        {"", bare, "", "/h", "/h/.local/share/kestrel-panel/CommoFiles"},
        {"", bare, "data", "/h/", "/h/.local/share/kestrel-panel/CommoFiles"},
        {"", bare, "", "", bare + "/CommoFiles"},
        {"", "", "", "", ""},
    };
    for (const auto& [files, workingDir, xdgDataHome, home, expected] : cases) {
        EXPECT_EQ(ResolveCommoFolder(files, workingDir, xdgDataHome, home), expected)
            << "files '" << files << "', data '" << xdgDataHome << "', home '" << home << "'";
    }
    std::filesystem::remove_all(work);
}

}  // namespace
}  // namespace kestrel
