#include "serial/posix/portname.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdlib>

namespace commapi {

std::optional<std::string> resolvePortName(const std::string& name, const std::string& home) {
    if (name.find('/') != std::string::npos) return name;
    if (name.size() < 4) return std::nullopt;
    for (int i = 0; i < 3; ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != "com"[i]) return std::nullopt;
    }
    const std::string digits = name.substr(3);
    if (digits.size() > 6 || digits[0] == '0') return std::nullopt;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    }
    const std::string alias = home + "/vtconfig/ports/com" + digits;
    struct stat st {};
    if (::lstat(alias.c_str(), &st) == 0) return alias;
    return "/dev/ttyS" + std::to_string(std::stol(digits) - 1);
}

std::string configHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg) return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config";
}

}  // namespace commapi
