#include "ui/settings/private_profile.h"

#include <cerrno>

#include "planning/cp932.h"
#include "ui/files/atomic_file.h"
#include "ui/settings/profile_text.h"

namespace profile {

std::string getProfileString(const std::string& path, std::string_view section, std::string_view key,
                             std::string_view defaultValue) {
    std::string bytes;
    if (files::readFile(path, bytes) != 0) return std::string(defaultValue);
    const auto value = findValue(bytes, planning::utf8ToCp932(section), planning::utf8ToCp932(key));
    if (!value) return std::string(defaultValue);
    return planning::cp932ToUtf8(*value);
}

int writeProfileString(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view value) {
    std::string bytes;
    const int readError = files::readFile(path, bytes);
    if (readError != 0 && readError != ENOENT) return readError;
    return files::replaceFile(path, withValue(bytes, planning::utf8ToCp932(section), planning::utf8ToCp932(key),
                                              planning::utf8ToCp932(value)));
}

}  // namespace profile
