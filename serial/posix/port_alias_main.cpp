// vtportalias comN: prints where the alias of a port name lives (whether or not it exists), so
// that scripts which make or look for aliases follow the comm layer's rule instead of a copy.
#include <cstdio>

#include "serial/posix/portname.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: vtportalias comN\n", stderr);
        return 2;
    }
    const auto path = commapi::portAliasPath(argv[1], commapi::configHome());
    if (!path) {
        std::fprintf(stderr, "vtportalias: not a port name comN: '%s'\n", argv[1]);
        return 2;
    }
    std::printf("%s\n", path->c_str());
    return 0;
}
