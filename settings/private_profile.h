#pragma once
// A private-profile (INI) file on disk, taken in once and written once: the keys are looked up
// in what was found when the file was read, and a write sets them all and replaces the file in
// one step. Callers pass code page 932 bytes. No file handle stays open between calls, and the
// file's content is not held: a write copies the lines it keeps from the file itself.
#include <optional>
#include <string>
#include <vector>

#include "files/file_read.h"
#include "settings/profile_text.h"

namespace profile {

class PrivateProfile {
public:
    // Reads path under the rules of files::InputFile (a regular file of bounded size, reached
    // through no link but a trusted one). keys: every key that will be read or written, in the
    // order of writing.
    PrivateProfile(std::string path, std::vector<KeyName> keys);

    // Key i's value (see ProfileText::value); nullopt when the file, the section or the key is
    // missing or the file cannot be used.
    std::optional<std::string> value(std::size_t i) const;

    // Sets key i to values[i] for every key that has a value (see ProfileText::render) and
    // replaces the file once, creating it when absent.
    // Returns 0, or the errno of the failure; on failure the file on disk is unchanged. A file
    // that is there but cannot be used is never replaced. When the file has changed since it was
    // read, the write starts from what is there now. A write that would change no byte leaves
    // the file alone.
    int write(const std::vector<std::optional<std::string>>& values);

private:
    void takeIn(const files::InputFile& in);

    std::string path_;
    std::vector<KeyName> keys_;
    int error_ = 0;           // of the read: 0, ENOENT (absent: a write creates it), else unusable
    files::FileStamp stamp_;  // what was under the name when it was read
    std::optional<ProfileText> text_;
};

}  // namespace profile
