#include "settings/private_profile.h"

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "files/atomic_file.h"

namespace profile {

namespace {

// Files are read and copied through one buffer of this size, as cat does; it grows only for a
// line longer than itself.
constexpr std::size_t kChunk = std::size_t{256} << 10;

int readSome(int fd, char* to, std::size_t size, std::size_t& got) {
    for (;;) {
        const ssize_t n = ::read(fd, to, size);
        if (n >= 0) {
            got = static_cast<std::size_t>(n);
            return 0;
        }
        if (errno != EINTR) return errno;
    }
}

int takeInFile(int fd, ProfileText& text) {
    std::string buffer(kChunk, '\0');
    std::size_t have = 0, total = 0;
    for (;;) {
        bool end = false;
        while (!end && have < buffer.size()) {
            std::size_t got = 0;
            if (const int err = readSome(fd, buffer.data() + have, buffer.size() - have, got)) return err;
            end = got == 0;
            have += got;
            total += got;
            if (total > files::kMaxReadBytes) return EFBIG;  // it grew since it was measured
        }
        const std::size_t used = text.feed(std::string_view(buffer.data(), have), end);
        if (end) return 0;
        std::memmove(buffer.data(), buffer.data() + used, have - used);
        have -= used;
        if (have == buffer.size()) buffer.resize(buffer.size() * 2);
    }
}

// Lets the kernel copy lines that stay as they are. false: it cannot here, nothing was copied.
bool copyInKernel(int in, const Rendering::Piece& p, int out, int& err) {
    auto at = static_cast<off_t>(p.begin);
    for (std::uint64_t left = p.end - p.begin; left > 0;) {
        const ssize_t n = ::copy_file_range(in, &at, out, nullptr, left, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && at == static_cast<off_t>(p.begin) &&
            (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EBADF))
            return false;
        err = n < 0 ? errno : n == 0 ? EIO : 0;  // none: cut short since it was read
        if (err != 0) return true;
        left -= static_cast<std::uint64_t>(n);
    }
    return true;
}

// The new file: the rendering's new lines, and its original lines copied from the old file.
int writeRendering(int in, const Rendering& rendering, int out) {
    std::string buffer(kChunk, '\0'), scratch;
    for (const Rendering::Piece& p : rendering.pieces) {
        if (!p.original) {
            if (const int err = files::writeAll(out, p.text)) return err;
            continue;
        }
        int err = 0;
        if (rendering.crLfOnly && copyInKernel(in, p, out, err)) {
            if (err != 0) return err;
            continue;
        }
        char previous = '\n';  // a piece starts a line
        for (std::uint64_t at = p.begin; at < p.end;) {
            const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), p.end - at));
            const ssize_t n = ::pread(in, buffer.data(), want, static_cast<off_t>(at));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return errno;
            if (n == 0) return EIO;  // cut short since it was read
            const std::string_view got(buffer.data(), static_cast<std::size_t>(n));
            if ((err = files::writeAll(out, withCrLf(got, previous, scratch))) != 0) return err;
            previous = got.back();
            at += static_cast<std::uint64_t>(n);
        }
    }
    return 0;
}

}  // namespace

PrivateProfile::PrivateProfile(std::string path, std::vector<KeyName> keys)
    : path_(std::move(path)), keys_(std::move(keys)) {
    takeIn(files::InputFile(path_));
}

void PrivateProfile::takeIn(const files::InputFile& in) {
    stamp_ = in.stamp();
    text_.emplace(keys_);
    error_ = in.error();
    if (error_ == 0) error_ = takeInFile(in.fd(), *text_);
    if (error_ != 0) text_.emplace(keys_);
}

std::optional<std::string> PrivateProfile::value(std::size_t i) const {
    return error_ == 0 ? text_->value(i) : std::nullopt;
}

int PrivateProfile::write(const std::vector<std::optional<std::string>>& values) {
    const files::InputFile in(path_);
    if (in.stamp() != stamp_) takeIn(in);
    if (in.error() != 0 && in.error() != ENOENT) return in.error();
    if (error_ != 0 && error_ != ENOENT) return error_;
    const Rendering rendering = text_->render(values);
    // Nothing to write, but a file that could not be written still says so, as any save would.
    if (rendering.unchanged) return files::checkReplaceable(path_, files::Links::FollowTrusted);
    return files::replaceFile(
        path_, [&](int out) { return writeRendering(in.fd(), rendering, out); }, files::Links::FollowTrusted);
}

}  // namespace profile
