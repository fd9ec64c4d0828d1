#include "testkit/temp_dir.h"

#include <unistd.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace vttest {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "vttest-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, ec);
    fs::remove_all(path_, ec);
}

ConfigHome::ConfigHome() {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
        before_ = old;
        hadBefore_ = true;
    }
    ::setenv("XDG_CONFIG_HOME", path().c_str(), 1);
}

ConfigHome::~ConfigHome() {
    if (hadBefore_)
        ::setenv("XDG_CONFIG_HOME", before_.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

void ConfigHome::linkPort(int n, const std::string& target) const {
    fs::create_directories(file("vtconfig/ports"));
    // Whatever the umask: an alias is used only where nobody else may write.
    for (const char* folder : {"vtconfig", "vtconfig/ports"}) fs::permissions(file(folder), fs::perms::owner_all);
    fs::create_symlink(target, portAlias(n));
}

CurrentDirectory::CurrentDirectory(const std::string& dir) : before_(fs::current_path()) { fs::current_path(dir); }

CurrentDirectory::~CurrentDirectory() {
    std::error_code ec;
    fs::current_path(before_, ec);
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string listing(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string out;
    for (const auto& n : names) out += n + "\n";
    return out;
}

}  // namespace vttest
