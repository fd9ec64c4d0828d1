#pragma once
// A benchmark's command line, read in one way by every benchmark: "--name N" pairs, each N a
// whole number within its option's range (or a text, for a text option). bench/run gives the
// same arguments to every benchmark, so the pair of an option another benchmark takes is passed
// over; anything else ends the program with status 2 and what is wrong.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace benchrig {

struct BenchOption {
    const char* name;  // without "--"
    std::variant<int*, long*, std::string*> field;
    long lowest = 0, highest = 0;  // of a number
};

// "" when value suits the option (and is set), else what is wrong.
inline std::string takeBenchValue(const BenchOption& option, const std::string& value) {
    if (auto* text = std::get_if<std::string*>(&option.field)) {
        **text = value;
        return {};
    }
    long n = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (value.empty() || ec != std::errc() || end != value.data() + value.size() || n < option.lowest ||
        n > option.highest)
        return "--" + std::string(option.name) + " takes a whole number from " + std::to_string(option.lowest) +
               " to " + std::to_string(option.highest) + ", not '" + value + "'";
    if (auto* number = std::get_if<long*>(&option.field))
        **number = n;
    else
        *std::get<int*>(option.field) = static_cast<int>(n);
    return {};
}

inline void readBenchOptions(int argc, char** argv, const std::vector<BenchOption>& options) {
    std::string problem;
    for (int i = 1; i < argc && problem.empty(); i += 2) {
        const std::string_view arg = argv[i];
        if (!arg.starts_with("--") || arg.size() == 2)
            problem = "'" + std::string(arg) + "' is no option --name";
        else if (i + 1 == argc)
            problem = std::string(arg) + " needs a value";
        for (const BenchOption& option : options)
            if (problem.empty() && arg.substr(2) == option.name) problem = takeBenchValue(option, argv[i + 1]);
    }
    if (problem.empty()) return;
    std::fprintf(stderr, "%s: %s\n", argv[0], problem.c_str());
    std::exit(2);
}

}  // namespace benchrig
