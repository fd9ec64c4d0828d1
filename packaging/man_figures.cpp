// The figures the man pages quote, taken from the code's own constants: written as a CMake
// script (`set(NAME "value")` per line) into the file named by the argument, from which each
// page's @NAME@ is filled in as it is built, so that no page states a count of its own.
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>

#include "files/errno_text.h"
#include "files/standard_descriptors.h"
#include "protocol/line_speeds.h"
#include "protocol/listed_ports.h"
#include "protocol/text_figures.h"

namespace {

// Counts up to ten in words, as the pages write a small count.
constexpr std::string_view kWords[] = {"zero", "one",   "two",   "three", "four", "five",
                                       "six",  "seven", "eight", "nine",  "ten"};
static_assert(protocol::kChannels < static_cast<int>(std::size(kWords)));

// "9600 | 115200", for a choice in a synopsis set in .BR.
std::string baudChoice() {
    std::string text;
    for (const int baud : protocol::kBaudRates) {
        if (!text.empty()) text += " | ";
        text += std::to_string(baud);
    }
    return text;
}

// "vt_man_figures: OUT.cmake: why" for the file that could not be written; 1.
int cannotWrite(const char* name) {
    std::fprintf(stderr, "vt_man_figures: %s: %s\n", name, files::englishErrnoText(errno).c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    files::guardStandardDescriptors();  // before anything opens a descriptor of its own
    if (argc != 2) {
        std::fputs("usage: vt_man_figures OUT.cmake\n", stderr);
        return 2;
    }
    auto figures = protocol::textFigures();
    figures.insert(figures.end(), {
                                      {"VT_CHANNELS_IN_WORDS", std::string(kWords[protocol::kChannels])},
                                      {"VT_LAST_LISTED_PORT", std::to_string(protocol::kListedPorts)},
                                      {"VT_BAUD_CHOICE", baudChoice()},
                                      {"VT_DEFAULT_BAUD", std::to_string(protocol::kDefaultBaud)},
                                  });
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) return cannotWrite(argv[1]);
    for (const auto& [name, value] : figures) std::fprintf(out, "set(%s \"%s\")\n", name.c_str(), value.c_str());
    if (std::fclose(out) != 0) return cannotWrite(argv[1]);
    return 0;
}
