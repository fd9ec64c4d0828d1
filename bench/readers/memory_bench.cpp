// Peak memory of the readers of files a user hands in, on the shapes that cost them most, as a
// ratio to the file's size. Each case runs in a child of its own: its peak resident size is
// reset before the read (/proc/self/clear_refs), so what it shows is what the read added.
//   header, blank lines    64 MiB of empty lines (refused at line 1)
//   header, then blanks    a whole 41-line header, then empty lines to 64 MiB (accepted)
//   CSV, one row of commas the column names, then one row of 31 M commas (refused)
//   CSV, one quoted field  the column names, then a row whose local_output is one quoted field
//                          filling the file to 64 MiB (refused)
// Each reads the file as its program does: the header as "Open…" and vtctl do, the list as
// vtplan --channels does. Target: at most about 2x the file's size.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "files/file_read.h"
#include "headerfile/header_file.h"
#include "headerfile/header_text.h"
#include "testkit/temp_dir.h"
#include "tools/vtplan/channel_list.h"

namespace {

using Clock = std::chrono::steady_clock;

// A figure of /proc/self/status in kB ("VmHWM:", "VmRSS:").
long statusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
    return -1;
}

struct Figures {
    long addedKb = -1;  // peak resident size during the read, above what was resident before it
    double seconds = 0;
};

// Runs read in a child; its peak above its resident size at the start.
Figures measure(const std::function<void()>& read) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
        const long before = statusKb("VmRSS:");
        const auto start = Clock::now();
        try {
            read();
        } catch (const std::exception&) {}
        Figures f{statusKb("VmHWM:") - before, std::chrono::duration<double>(Clock::now() - start).count()};
        (void)!::write(fds[1], &f, sizeof f);
        ::_exit(0);
    }
    ::close(fds[1]);
    Figures f;
    if (::read(fds[0], &f, sizeof f) != sizeof f) f = {};
    ::close(fds[0]);
    ::waitpid(pid, nullptr, 0);
    return f;
}

void row(const char* name, const std::string& path, std::size_t size, const std::function<void()>& read) {
    const Figures f = measure([&] { read(); });
    const double mib = static_cast<double>(size) / (1 << 20);
    std::printf("%-24s %8.1f %10.1f %7.2f %8.2f\n", name, mib, f.addedKb / 1024.0, f.addedKb / 1024.0 / mib, f.seconds);
    ::unlink(path.c_str());
}

void readHeader(const std::string& path) { headerfile::readHeaderFile(path); }

void readList(const std::string& path) {
    std::string bytes;
    if (files::readFile(path, bytes) == 0) vtplan::readChannelList(bytes, {}, {});
}

}  // namespace

int main() {
    const vttest::TempDir dir;
    const std::size_t limit = files::kMaxReadBytes;
    std::printf("%-24s %8s %10s %7s %8s\n", "case", "file MiB", "added MiB", "ratio", "seconds");

    const std::string blanks = dir.file("blanks.h");
    vttest::writeBytes(blanks, std::string(limit, '\n'));
    row("header, blank lines", blanks, limit, [&] { readHeader(blanks); });

    const std::string tail = dir.file("tail.h");
    std::string header = headerfile::headerFileBytes(planning::ChannelTable{}, "//date");
    header.resize(limit, '\n');
    vttest::writeBytes(tail, header);
    header = {};
    row("header, then blanks", tail, limit, [&] { readHeader(tail); });

    const std::string commas = dir.file("commas.csv");
    std::string csv = "channel,local_output,multiplier,std,r\n";
    csv.append(31'000'000, ',');
    vttest::writeBytes(commas, csv);
    row("CSV, one row of commas", commas, csv.size(), [&] { readList(commas); });

    const std::string quoted = dir.file("quoted.csv");
    csv = "channel,local_output,multiplier,std,r\n0,\"";
    csv.resize(limit - 12, '9');
    csv += "\",100,10,2\n";
    vttest::writeBytes(quoted, csv);
    row("CSV, one quoted field", quoted, csv.size(), [&] { readList(quoted); });
    return 0;
}
