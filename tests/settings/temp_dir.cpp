#include "temp_dir.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sched.h>
#include <sstream>
#include <stdexcept>
#include <sys/mount.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace testing_files {

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string listing(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string out;
    for (const auto& n : names) out += n + "\n";
    return out;
}

namespace {

// Runs body in a forked child after prepare() has set the child up; body's text comes back.
// nullopt when prepare() fails.
std::optional<std::string> inChild(const std::function<bool()>& prepare, const std::function<std::string()>& body) {
    constexpr int kCannotPrepare = 77;
    int fds[2];
    if (::pipe(fds) != 0) return std::nullopt;
    const pid_t pid = ::fork();
    if (pid < 0) return std::nullopt;
    if (pid == 0) {
        ::close(fds[0]);
        if (!prepare()) ::_exit(kCannotPrepare);
        std::string report;
        try {
            report = body();
        } catch (const std::exception& e) {
            report = std::string("unexpected exception: ") + e.what();
        }
        const char* p = report.data();
        std::size_t left = report.size();
        while (left > 0) {
            const ssize_t n = ::write(fds[1], p, left);
            if (n <= 0) break;
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string report;
    char buf[4096];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) report.append(buf, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotPrepare) return std::nullopt;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "child failed";
    return report;
}

}  // namespace

std::optional<std::string> inPrivateTmpfs(const std::string& dir, const std::string& options,
                                          const std::function<std::string()>& body) {
    return inChild(
        [&] {
            return ::unshare(CLONE_NEWNS) == 0 && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                   ::mount("tmpfs", dir.c_str(), "tmpfs", 0, options.c_str()) == 0;
        },
        body);
}

std::optional<std::string> asUnprivileged(const std::string& dir, const std::function<std::string()>& body) {
    if (::geteuid() != 0) return body();
    constexpr uid_t kNobody = 65534;
    return inChild(
        [&] {
            return ::chown(dir.c_str(), kNobody, kNobody) == 0 && ::setgroups(0, nullptr) == 0 &&
                   ::setresgid(kNobody, kNobody, kNobody) == 0 && ::setresuid(kNobody, kNobody, kNobody) == 0;
        },
        body);
}

}  // namespace testing_files
