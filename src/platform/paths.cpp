#include "platform/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <vector>

namespace kestrel {

namespace {
std::mutex baseMutex;
std::string base;
std::string chosen;

std::string Joined(std::string_view dir, std::string_view name) {
    std::string path(dir);
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return path += name;
}

std::string EnvironmentText(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The home folder: $HOME, or the password database's entry when HOME is unset.
std::string HomeFolder() {
    std::string home = EnvironmentText("HOME");
    if (home.empty()) {
        if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir) {
            home = entry->pw_dir;
        }
    }
    return home;
}
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
    {
        std::lock_guard lock(baseMutex);
        if (!chosen.empty()) {
            return chosen;
        }
    }
    const std::string dir = WorkingDirectory();
    return dir.empty() ? std::string() : Joined(dir, kCommoFolder);
}

std::string CommoFilePath(std::string_view name) {
    const std::string folder = CommoFolderPath();
    return folder.empty() ? std::string() : Joined(folder, name);
}

std::string ResolveCommoFolder(const std::string& filesOption, const std::string& workingDir,
                               std::string_view xdgDataHome, std::string_view home) {
    if (!filesOption.empty()) {
        return filesOption;
    }
    const std::string local = workingDir.empty() ? std::string() : Joined(workingDir, kCommoFolder);
    std::error_code ignored;
    if (!local.empty() && std::filesystem::is_directory(local, ignored)) {
        return local;
    }
    // A relative data folder is invalid and is ignored, as the desktop's base-directory rules
    // ask.
    std::string dataHome(xdgDataHome);
    if (dataHome.empty() || dataHome.front() != '/') {
        dataHome = home.empty() ? std::string() : Joined(Joined(home, ".local"), "share");
    }
    if (dataHome.empty()) {
        return local;
    }
    return Joined(Joined(dataHome, kUserDataFolder), kCommoFolder);
}

bool ChooseCommoFolder(const std::string& filesOption, std::string& error) {
    const std::string folder = ResolveCommoFolder(filesOption, WorkingDirectory(),
                                                  EnvironmentText("XDG_DATA_HOME"), HomeFolder());
    SetCommoFolder(folder);
    if (folder.empty()) {
        error = "no working directory and no home folder";
        return false;
    }
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (!failure && !std::filesystem::is_directory(folder, failure)) {
        failure = std::make_error_code(std::errc::not_a_directory);
    }
    if (failure) {
        error = "cannot use the folder '" + folder + "': " + failure.message();
        return false;
    }
    return true;
}

void SetCommoFolder(std::string folder) {
    std::lock_guard lock(baseMutex);
    chosen = std::move(folder);
}

}  // namespace kestrel
