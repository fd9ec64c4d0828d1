// vtportalias comN: prints where the alias of a port name lives (whether or not it exists), so
// that scripts which make or look for aliases follow the comm layer's rule instead of a copy.
// vtportalias --maker comN: prints who made that alias: "none" (there is none), "unit" (a
// simulated unit that is running), "ended" (one that has ended: its alias is never opened), or
// "user" (anything else there).
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "serial/portname.h"
#include "serial/unit_record.h"

namespace {

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
    const bool maker = argc == 3 && std::strcmp(argv[1], "--maker") == 0;
    if (argc != 2 && !maker) {
        std::fputs("usage: vtportalias [--maker] comN\n", stderr);
        return 2;
    }
    const char* name = argv[argc - 1];
    if (!commapi::portAliasName(name)) {
        std::fprintf(stderr, "vtportalias: not a port name comN: '%s'\n", name);
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
