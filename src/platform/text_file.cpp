#include "platform/text_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

namespace kestrel {

namespace {

bool WriteAllBytes(int fd, std::string_view text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool ReadTextFile(const std::string& path, size_t maxBytes, std::string& out) {
    out.clear();
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        return false;
    }
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        if (out.size() + n > maxBytes) {
            out.clear();
            return false;
        }
        out.append(chunk, n);
    }
    if (std::ferror(file.get())) {
        out.clear();
        return false;
    }
    return true;
}

bool ReplaceTextFile(const std::string& path, std::string_view text) {
    if (path.empty()) {
        return false;
    }
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return false;
    }
    // mkstemp makes the file private; the files written here are ordinary ones.
    bool ok = WriteAllBytes(fd, text) && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace kestrel
