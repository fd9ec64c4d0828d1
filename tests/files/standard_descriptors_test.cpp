// Descriptors 0-2 that a program finds closed: held by /dev/null, still failing as closed ones.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "files/standard_descriptors.h"
#include "testkit/child_process.h"

namespace {

// What reading descriptor 0 and writing 1 and 2 does ("ok" or "EBADF"), and whether the next
// file opened stays clear of them.
std::string afterGuard(const std::vector<int>& closed) {
    vttest::ChildProcess child([&](const vttest::ChildProcess::Parent& parent) {
        const int null = ::open("/dev/null", O_RDWR);
        for (int fd = 0; fd <= 2; ++fd) ::dup2(null, fd);
        for (int fd : closed) ::close(fd);
        files::guardStandardDescriptors();
        std::string seen;
        char byte = 0;
        for (int fd = 0; fd <= 2; ++fd) {
            const ssize_t n = fd == 0 ? ::read(fd, &byte, 0) : ::write(fd, &byte, 0);
            seen += n == 0 ? "ok " : errno == EBADF ? "EBADF " : "other ";
        }
        seen += ::open("/dev/null", O_RDONLY) > 2 ? "next above 2" : "next among 0-2";
        parent.say(seen);
        return 0;
    });
    return child.hear();
}

TEST(StandardDescriptors, ClosedOnesAreTakenByDevNullAndStillFailAsClosed) {
    const std::vector<std::pair<std::vector<int>, std::string>> cases = {
        {{}, "ok ok ok next above 2"},           {{0}, "EBADF ok ok next above 2"},
        {{1}, "ok EBADF ok next above 2"},       {{2}, "ok ok EBADF next above 2"},
        {{1, 2}, "ok EBADF EBADF next above 2"}, {{0, 1, 2}, "EBADF EBADF EBADF next above 2"},
    };
    for (const auto& [closed, seen] : cases) EXPECT_EQ(afterGuard(closed), seen) << closed.size();
}

}  // namespace
