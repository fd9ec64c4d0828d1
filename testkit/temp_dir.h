#pragma once
// Private folders for tests and benchmarks (scratch, configuration, current directory) and
// whole-file reads and writes.
#include <string>

namespace vttest {

// A fresh directory, removed with everything in it when the object goes (also when a test
// took its write permission away).
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

// A private configuration folder: XDG_CONFIG_HOME names it while the object lives, so no test
// ever reads the user's own settings or port aliases.
class ConfigHome : public TempDir {
public:
    ConfigHome();
    ~ConfigHome();
    // Where the alias of port comN lives.
    std::string portAlias(int n) const { return file("vtconfig/ports/com" + std::to_string(n)); }
    // Makes comN a link to target (which need not exist).
    void linkPort(int n, const std::string& target) const;

private:
    std::string before_;
    bool hadBefore_ = false;
};

// Makes dir the current directory while the object lives; the one before comes back after.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& dir);
    ~CurrentDirectory();
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    std::string before_;
};

// The whole content of path ("" when it cannot be read).
std::string readWholeFile(const std::string& path);
// Replaces path's content with bytes; throws when it cannot.
void writeBytes(const std::string& path, const std::string& bytes);
// The names in dir, sorted, one a line.
std::string listing(const std::string& dir);

}  // namespace vttest
