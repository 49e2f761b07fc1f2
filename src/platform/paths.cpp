#include "platform/paths.h"

#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <vector>

namespace kestrel {

namespace {
std::mutex baseMutex;
std::string base;
}  // namespace

void SetWorkingDirectoryBase(std::string dir) {
    std::lock_guard lock(baseMutex);
    base = std::move(dir);
}

std::string WorkingDirectory() {
    {
        std::lock_guard lock(baseMutex);
        if (!base.empty()) {
            return base;
        }
    }
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() > (1u << 20)) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

std::string CommoFolderPath() {
    const std::string dir = WorkingDirectory();
    return dir.empty() ? std::string() : dir + "/" + std::string(kCommoFolder);
}

std::string CommoFilePath(std::string_view name) {
    const std::string folder = CommoFolderPath();
    return folder.empty() ? std::string() : folder + "/" + std::string(name);
}

}  // namespace kestrel
