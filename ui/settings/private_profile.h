#pragma once
// Reading and writing one key of a private-profile (INI) file, in the manner of
// GetPrivateProfileStringA / WritePrivateProfileStringA. Callers work in UTF-8; the file is
// code page 932. No file handle stays open between calls.
#include <string>
#include <string_view>

namespace profile {

// The key's value (see findValue), or defaultValue when the file, the section or the key is
// missing or the file cannot be read.
std::string getProfileString(const std::string& path, std::string_view section, std::string_view key,
                             std::string_view defaultValue);

// Sets key in section and replaces the file whole, creating it when absent. Returns 0, or the
// errno of the failure; on failure the file on disk is unchanged. A file that exists but cannot
// be read is not overwritten.
int writeProfileString(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view value);

}  // namespace profile
