#pragma once
// A fuzz input read as a command line: arguments separated by NUL bytes, as in argv.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fuzzsupport {

inline std::vector<std::string> argsFromBytes(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (!rest.empty()) {
        const std::size_t nul = rest.find('\0');
        args.emplace_back(rest.substr(0, nul));
        if (nul == std::string_view::npos) break;
        rest.remove_prefix(nul + 1);
    }
    return args;
}

}  // namespace fuzzsupport
