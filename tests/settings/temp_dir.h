#pragma once
// Scratch places on disk for the settings tests.
#include <functional>
#include <optional>
#include <string>

namespace testing_files {

// A fresh directory, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void writeBytes(const std::string& path, const std::string& bytes);
std::string readBytes(const std::string& path);
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
