#include "cli/command_line.h"

#include <getopt.h>

#include <algorithm>
#include <charconv>

namespace cli {
namespace {

using Kind = Item::Kind;

// getopt_long's codes for long options lie above every short option's character.
constexpr int kLongCodes = 256;

// A long option's name as written ("--port" of "--port=com2"); any other argument whole.
std::string writtenName(const std::string& text) {
    return text.rfind("--", 0) == 0 ? text.substr(0, text.find('=')) : text;
}

// The option that an argument names in full, or none.
const OptionDef* namedBy(const std::string& text, const std::vector<OptionDef>& defs) {
    const std::string name = writtenName(text);
    for (const OptionDef& s : defs) {
        const bool isShort = s.shortName != 0 && name == std::string{'-', s.shortName};
        if (isShort || name == std::string("--") + s.name) return &s;
    }
    return nullptr;
}

// What getopt_long made of the argument text (code c); Operand items are the caller's.
Item itemOf(int c, const std::string& text, const std::vector<OptionDef>& defs) {
    Item item;
    item.text = text;
    item.name = writtenName(text);
    const OptionDef* def = namedBy(text, defs);
    if (!def) {
        item.kind = Kind::Unknown;  // also an abbreviation or a bundle that getopt_long would take
    } else if (c == ':') {
        item.kind = Kind::NeedsValue;
    } else if (c == '?') {
        item.kind = !def->takesValue && text.find('=') != std::string::npos ? Kind::TakesNoValue : Kind::Unknown;
    } else {
        item.kind = Kind::Option;
        item.id = def->id;
        if (def->takesValue && optarg) item.value = optarg;
    }
    return item;
}

// readOptions, the operands collected into operands; none taken when it is null.
std::string readItems(const std::vector<std::string>& args, const std::vector<OptionDef>& defs,
                      const std::function<std::string(const Item&)>& apply, std::vector<std::string>* operands) {
    for (const Item& item : readCommandLine(args, defs)) {
        const bool stray = !operands && (item.kind == Kind::Operand || item.kind == Kind::EndOfOptions);
        std::string error = stray ? "unknown option '" + item.text + "'" : optionMistake(item);
        if (error.empty() && item.kind == Kind::Option) error = apply(item);
        if (!error.empty()) return error;
        if (item.kind == Kind::Operand) operands->push_back(item.text);
    }
    return {};
}

}  // namespace

std::vector<Item> readCommandLine(const std::vector<std::string>& args, const std::vector<OptionDef>& defs) {
    std::vector<std::string> strings{"tool"};
    strings.insert(strings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(strings.size());

    // '-': operands come back in their place among the options; ':': a missing value is told apart.
    std::string shorts = "-:";
    std::vector<option> longs;
    for (std::size_t i = 0; i < defs.size(); ++i) {
        const OptionDef& s = defs[i];
        const int code = kLongCodes + static_cast<int>(i);
        longs.push_back({s.name, s.takesValue ? required_argument : no_argument, nullptr, code});
        if (s.shortName != 0) shorts += s.shortName;
    }
    longs.push_back({nullptr, 0, nullptr, 0});

    std::vector<Item> items;
    opterr = 0;
    optind = 0;  // getopt_long starts afresh
    auto arg = [&strings](int i) -> const std::string& { return strings[static_cast<std::size_t>(i)]; };
    for (;;) {
        const int at = std::max(optind, 1);
        const int c = ::getopt_long(argc, argv.data(), shorts.c_str(), longs.data(), nullptr);
        if (c == -1) {
            if (at < argc && arg(at) == "--") items.push_back({Kind::EndOfOptions, -1, "--", "--", {}});
            for (int i = optind; i < argc; ++i) items.push_back({Kind::Operand, -1, arg(i), {}, {}});
            return items;
        }
        const std::string& text = arg(at);
        if (c == 1) {
            items.push_back({Kind::Operand, -1, text, {}, {}});
            continue;
        }
        items.push_back(itemOf(c, text, defs));
        if (items.back().kind != Kind::Option) return items;
    }
}

std::string optionMistake(const Item& item) {
    switch (item.kind) {
        case Kind::Unknown: return "unknown option '" + item.name + "'";
        case Kind::NeedsValue: return item.name + " needs a value";
        case Kind::TakesNoValue: return item.name + " takes no value";
        case Kind::Option:
        case Kind::Operand:
        case Kind::EndOfOptions: break;
    }
    return {};
}

std::string readOptions(const std::vector<std::string>& args, const std::vector<OptionDef>& defs,
                        const std::function<std::string(const Item&)>& apply, std::vector<std::string>& operands) {
    return readItems(args, defs, apply, &operands);
}

std::string readOptions(const std::vector<std::string>& args, const std::vector<OptionDef>& defs,
                        const std::function<std::string(const Item&)>& apply) {
    return readItems(args, defs, apply, nullptr);
}

std::string filledIn(std::string text, const std::vector<std::pair<std::string, std::string>>& values) {
    for (const auto& [name, value] : values) {
        const std::string mark = "@" + name + "@";
        for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + value.size()))
            text.replace(at, mark.size(), value);
    }
    return text;
}

bool takeInt(const std::string& text, int& field, int lowest, int highest) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < lowest || value > highest) return false;
    field = value;
    return true;
}

}  // namespace cli
