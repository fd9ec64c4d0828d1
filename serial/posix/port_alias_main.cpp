// vtportalias comN: prints where the alias of a port name lives (whether or not it exists), so
// that scripts which make or look for aliases follow the comm layer's rule instead of a copy.
// vtportalias --maker comN: prints who made that alias: "none" (there is none), "unit" (a
// simulated unit that is running), "ended" (one that has ended: its alias is never opened), or
// "user" (anything else there).
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "files/errno_text.h"
#include "files/standard_descriptors.h"
#include "serial/portname.h"
#include "serial/unit_record.h"
#include "text/shown.h"

namespace {

constexpr const char* kUsage = "usage: vtportalias [--maker] comN\n";

const char* makerWord(const std::string& alias) {
    struct stat st {};
    if (::lstat(alias.c_str(), &st) != 0) return "none";
    switch (commapi::aliasMaker(alias)) {
        case commapi::AliasMaker::RunningUnit: return "unit";
        case commapi::AliasMaker::EndedUnit: return "ended";
        case commapi::AliasMaker::Other: break;
    }
    return "user";
}

}  // namespace

int main(int argc, char** argv) {
    files::guardStandardDescriptors();  // before anything opens a descriptor of its own
    enum { kMaker, kHelp };
    bool maker = false, help = false;
    std::vector<std::string> operands;
    const std::string mistake = cli::readOptions(
        {argv + 1, argv + argc}, {{"maker", 0, false, kMaker}, {"help", 'h', false, kHelp}},
        [&](const cli::Item& item) {
            (item.id == kMaker ? maker : help) = true;
            return std::string();
        },
        operands);
    if (!mistake.empty()) {
        std::fprintf(stderr, "vtportalias: %s\n%s", mistake.c_str(), kUsage);
        return 2;
    }
    if (help) {
        // A usage that did not reach its reader (a full disk, a closed stdout) is no success.
        if (std::fputs(kUsage, stdout) >= 0 && std::fflush(stdout) == 0) return 0;
        std::fprintf(stderr, "vtportalias: cannot write to standard output: %s\n",
                     files::englishErrnoText(errno).c_str());
        return 1;
    }
    if (operands.size() != 1) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string& name = operands.front();
    if (!commapi::portAliasName(name)) {
        std::fprintf(stderr, "vtportalias: not a port name comN: '%s'\n", text::shown(name).c_str());
        return 2;
    }
    const auto path = commapi::portAliasPath(name, commapi::configHome());
    if (!path) {
        std::fprintf(stderr, "vtportalias: %s\n", commapi::noConfigHomeText().c_str());
        return 1;
    }
    std::printf("%s\n", maker ? makerWord(*path) : path->c_str());
    return 0;
}
