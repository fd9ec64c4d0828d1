#include "ui/settings/private_profile.h"

#include <cerrno>

#include "ui/files/atomic_file.h"

namespace profile {

PrivateProfile::PrivateProfile(std::string path, std::vector<KeyName> keys)
    : path_(std::move(path)), keys_(std::move(keys)) {
    read();
}

void PrivateProfile::read() {
    std::string bytes;
    readError_ = files::readFile(path_, bytes, &stamp_);
    if (readError_ != 0) bytes.clear();
    text_.reset();
    text_.emplace(std::move(bytes), keys_);
    current_ = true;
}

std::optional<std::string> PrivateProfile::value(std::size_t i) const {
    return readError_ == 0 ? text_->value(i) : std::nullopt;
}

int PrivateProfile::write(const std::vector<std::string>& values) {
    if (!current_ || files::stampOf(path_) != stamp_) read();
    if (readError_ != 0 && readError_ != ENOENT) return readError_;
    const Rendering rendering = text_->render(values);
    if (rendering.unchanged) return 0;
    const int err = files::replaceFile(path_, rendering.pieces, files::Links::FollowTrusted);
    if (err == 0) current_ = false;  // the next write reads the new file first
    return err;
}

}  // namespace profile
