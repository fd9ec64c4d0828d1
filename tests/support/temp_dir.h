#pragma once
// Test support shared by the suites: a private scratch directory and whole-file reads.
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

// The whole content of path ("" when it cannot be read).
std::string readWholeFile(const std::string& path);

}  // namespace vttest
