#include "platform/fileio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

namespace wf {

std::optional<std::string> readFileBytes(const std::filesystem::path& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string bytes;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        bytes.reserve(static_cast<std::size_t>(st.st_size));
    } else if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::path folder = path.parent_path();
    if (folder.empty()) folder = ".";
    std::string name = path.filename().string();
    name.insert(0, 1, '.');
    name += ".XXXXXX";
    std::string pattern = (folder / name).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return false;
    bool ok = true;
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (ok && left > 0) {
        ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
        } else {
            data += n;
            left -= static_cast<std::size_t>(n);
        }
    }
    // Keep the permissions of the file being replaced; new files follow the umask.
    struct stat old {};
    if (ok && ::stat(path.c_str(), &old) == 0) {
        ::fchmod(fd, old.st_mode & 07777);
    } else if (ok) {
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(pattern.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) ::unlink(pattern.c_str());
    return ok;
}

std::optional<std::filesystem::path> keepUnreadableFile(const std::filesystem::path& path,
                                                        std::string_view timestamp) {
    const std::string base = path.filename().string() + ".unreadable-" + std::string(timestamp);
    std::filesystem::path target = path.parent_path() / base;
    std::error_code ec;
    for (int n = 2; std::filesystem::exists(target, ec); ++n) {
        target = path.parent_path() / (base + "-" + std::to_string(n));
    }
    std::filesystem::rename(path, target, ec);
    if (ec) return std::nullopt;
    return target;
}

}  // namespace wf
