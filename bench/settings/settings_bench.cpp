// Load and save of a large VTCONFIG.INI, the way the window does them (one SettingsFile from the
// load to the save), beside reading the same file with `cat`, side by side in one run:
//   cat        `cat FILE >/dev/null`, process start included
//   unchanged  load, then save of the values as loaded (nothing to write)
//   changed    load, then save with LocalOutput changed (the whole file is replaced)
//   floor      what any atomic replace of the file costs at least: copy it through one buffer,
//              fsync the copy, rename it over the file
// Two files: empty lines, and ordinary INI lines (sections, keys, comments), each followed by
// the settings as a first close leaves them. Target: load+save within 3x of cat.
// Options: --mb N (file size, default 50), --rounds N (default 5).
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_options.h"
#include "settings/settings_file.h"
#include "testkit/temp_dir.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    long megabytes = 50;
    int rounds = 5;
};

Options parse(int argc, char** argv) {
    Options o;
    benchrig::readBenchOptions(argc, argv, {{"mb", &o.megabytes, 1, 63}, {"rounds", &o.rounds, 1, 1000}});
    return o;
}

const char* const kSettings =
    "[Frequency]\r\nLocalOutput=12340\r\nMultiplier=100\r\nstd=10\r\nRDIV=2\r\n"
    "[rs232c1]\r\nportname=0\r\nBAUD=0\r\n[Memory]\r\nChannel=0\r\n[Vantorix]\r\nVersion=0\r\n"
    "[PD]\r\nUpGain=127\r\nDnGain=127\r\nOffset=0\r\n[SD]\r\nseed=2\r\nMode=3\r\nfrac_rstb=1\r\nfrac_bypass=0\r\n";

std::string emptyLines(std::size_t bytes) {
    std::string s;
    s.reserve(bytes + 512);
    while (s.size() < bytes) s += "\r\n";
    return s + kSettings;
}

std::string ordinaryLines(std::size_t bytes) {
    std::string s;
    s.reserve(bytes + 512);
    char line[96];
    for (long n = 0; s.size() < bytes; ++n) {
        if (n % 50 == 0)
            std::snprintf(line, sizeof line, "[Section%06ld]\r\n", n / 50);
        else if (n % 10 == 0)
            std::snprintf(line, sizeof line, "; note %ld on the lines below\r\n", n);
        else
            std::snprintf(line, sizeof line, "Key%06ld = value of key %ld, as text\r\n", n, n);
        s += line;
    }
    return s + kSettings;
}

double millis(const std::function<void()>& f) {
    const auto t0 = Clock::now();
    f();
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

void cat(const std::string& path) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    char* args[] = {const_cast<char*>("cat"), const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "cat", &actions, nullptr, args, environ) != 0) std::exit(1);
    int status = 0;
    waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
}

// Copies the file through one buffer, as cp does, then makes the copy durable and renames it
// over the file.
void atomicCopy(const std::string& path) {
    static char buffer[256 << 10];
    const std::string temp = path + ".floor";
    const int in = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    for (ssize_t n; (n = read(in, buffer, sizeof buffer)) > 0;)
        for (ssize_t done = 0; done < n;) done += write(out, buffer + done, static_cast<std::size_t>(n - done));
    fsync(out);
    close(out);
    close(in);
    std::rename(temp.c_str(), path.c_str());
}

void loadAndSave(const std::string& path, bool change) {
    settings::SettingsFile file(path);
    settings::SettingsValues v = file.values();
    if (change) v.localOutput = v.localOutput == "12340" ? "12341" : "12340";
    file.save(v);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = parse(argc, argv);
    const vttest::TempDir dir;
    const std::string path = dir.file("VTCONFIG.INI");
    const std::size_t bytes = static_cast<std::size_t>(o.megabytes) << 20;

    std::printf("load+save of a %ld MiB VTCONFIG.INI, median of %d rounds, ms (ratio to cat)\n", o.megabytes, o.rounds);
    std::printf("%-15s %9s %18s %18s %18s\n", "file", "cat", "unchanged", "changed", "floor");
    const std::pair<const char*, std::string (*)(std::size_t)> kinds[] = {{"empty lines", emptyLines},
                                                                          {"ordinary lines", ordinaryLines}};
    for (const auto& [name, make] : kinds) {
        vttest::writeBytes(path, make(bytes));
        std::vector<double> tCat, tSame, tChanged, tFloor;
        for (int r = 0; r < o.rounds; ++r) {
            tCat.push_back(millis([&] { cat(path); }));
            tSame.push_back(millis([&] { loadAndSave(path, false); }));
            tChanged.push_back(millis([&] { loadAndSave(path, true); }));
            tFloor.push_back(millis([&] { atomicCopy(path); }));
        }
        const double c = median(tCat);
        const auto cell = [&](const std::vector<double>& t) {
            static char buf[4][32];
            static int k = 0;
            char* b = buf[k++ % 4];
            std::snprintf(b, 32, "%8.1f (%5.1fx)", median(t), median(t) / c);
            return b;
        };
        std::printf("%-15s %9.1f %18s %18s %18s\n", name, c, cell(tSame), cell(tChanged), cell(tFloor));
    }
    return 0;
}
