#pragma once
// Scratch places on disk for the settings tests.
#include <functional>
#include <optional>
#include <string>

#include "tests/support/temp_dir.h"

namespace testing_files {

using TempDir = vttest::TempDir;

void writeBytes(const std::string& path, const std::string& bytes);
inline std::string readBytes(const std::string& path) { return vttest::readWholeFile(path); }
// Names in dir, sorted.
std::string listing(const std::string& dir);

// Runs body in a child process that has its own mount namespace, with a tmpfs mounted on dir
// using the given options; body's text comes back. nullopt when this process cannot mount
// (not root, no namespaces).
std::optional<std::string> inPrivateTmpfs(const std::string& dir, const std::string& options,
                                          const std::function<std::string()>& body);

// Runs body as an ordinary user: in a child that gives dir to "nobody" and becomes it when
// this process is root, else right here. nullopt when the switch fails.
std::optional<std::string> asUnprivileged(const std::string& dir, const std::function<std::string()>& body);

}  // namespace testing_files
