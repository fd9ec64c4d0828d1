#pragma once
// A private-profile (INI) file on disk, read and parsed once and written once: the keys are
// looked up in the image read at the start, and a write sets them all and replaces the file in
// one step. Callers pass code page 932 bytes. No file handle stays open between calls.
#include <optional>
#include <string>
#include <vector>

#include "ui/files/file_read.h"
#include "ui/settings/profile_text.h"

namespace profile {

class PrivateProfile {
public:
    // Reads path: a regular file of at most files::kMaxReadBytes, reached through no link but a
    // trusted one (files::Links::FollowTrusted). keys: every key that will be read or written,
    // in the order of writing.
    PrivateProfile(std::string path, std::vector<KeyName> keys);

    // Key i's value (see ProfileText::value); nullopt when the file, the section or the key is
    // missing or the file cannot be used.
    std::optional<std::string> value(std::size_t i) const;

    // Sets key i to values[i] for every key and replaces the file once, creating it when absent.
    // Returns 0, or the errno of the failure; on failure the file on disk is unchanged. A file
    // that was there but could not be used is never replaced. When the file has changed since
    // it was read, the write starts from what is there now. A write that would change no byte
    // leaves the file alone.
    int write(const std::vector<std::string>& values);

private:
    void read();

    std::string path_;
    std::vector<KeyName> keys_;
    int readError_ = 0;        // 0, ENOENT (absent: a write creates it), else unusable
    files::FileStamp stamp_;   // what was under the name when it was read
    bool current_ = false;     // text_ still is what is on disk
    std::optional<ProfileText> text_;
};

}  // namespace profile
