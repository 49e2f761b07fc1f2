#include "platform/com_links.h"

#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/paths.h"

namespace kestrel {

namespace {

std::string BuiltInDevice(int32_t number) {
    return "/dev/ttyS" + std::to_string(number - 1);
}

bool IsLink(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::lstat(path.c_str(), &info) == 0;
}

}  // namespace

std::string ComLinkPath(int32_t number) {
    return CommoFilePath("COM" + std::to_string(number));
}

std::string ComDevicePath(int32_t number) {
    const std::string link = ComLinkPath(number);
    return Exists(link) ? link : BuiltInDevice(number);
}

std::string ComLinkTarget(int32_t number) {
    const std::string link = ComLinkPath(number);
    if (!IsLink(link)) {
        return {};
    }
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(link, error);
    return error ? std::string() : target.string();
}

std::string ComTargetText(int32_t number) {
    const std::string target = ComLinkTarget(number);
    if (!target.empty()) {
        return target;
    }
    const std::string link = ComLinkPath(number);
    return Exists(link) ? link : BuiltInDevice(number);
}

std::vector<SerialAdapter> ListSerialAdapters(const std::string& folder) {
    std::vector<SerialAdapter> adapters;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with('.')) {
            continue;
        }
        std::error_code resolveError;
        const std::filesystem::path device = std::filesystem::canonical(entry.path(), resolveError);
        adapters.push_back(
            {name, entry.path().string(), resolveError ? entry.path().string() : device.string()});
    }
    std::ranges::sort(adapters, {}, &SerialAdapter::name);
    return adapters;
}

bool LinkComPort(int32_t number, const std::string& target) {
    const std::string link = ComLinkPath(number);
    if (link.empty() || target.empty() || (Exists(link) && !IsLink(link))) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(CommoFolderPath(), error);
    if (error) {
        return false;
    }
    // A new link under a temporary name renamed over the old one: the port never lacks a link.
    const std::string temporary = link + ".new";
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0) {
        return false;
    }
    if (::rename(temporary.c_str(), link.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool UnlinkComPort(int32_t number) {
    const std::string link = ComLinkPath(number);
    if (!Exists(link)) {
        return true;
    }
    return IsLink(link) && ::unlink(link.c_str()) == 0;
}

}  // namespace kestrel
