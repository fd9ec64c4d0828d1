#pragma once
// A tool's command line read through getopt_long, strictly: a long option only under its full
// name (no abbreviations), a short one only on its own (no bundling), so that what a tool
// accepts is what its usage says. A mistake in writing an option is worded the same in every
// program (optionMistake); what each item means, and what is wrong with a value, is the tool's.
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace cli {

struct OptionDef {
    const char* name;  // the long name, without "--"
    char shortName;    // 0 for none; a short option takes no value
    bool takesValue;   // "--name VALUE" or "--name=VALUE"
    int id;            // what the tool calls it
};

struct Item {
    enum class Kind {
        Option,        // id, name as written ("--port", "-h"), value when it takes one
        Operand,       // text: an argument that is no option (after "--", every argument)
        EndOfOptions,  // text: "--"
        Unknown,       // text: the argument; name: a long option's part before '=', else text
        NeedsValue,    // name: the option, last on the line without its value
        TakesNoValue,  // name, text: "--name=VALUE" for an option without a value
    };
    Kind kind = Kind::Operand;
    int id = -1;
    std::string text;
    std::string name;
    std::string value;
};

// The arguments (argv without the program name) as items, in order. Reading stops after an
// Unknown, NeedsValue or TakesNoValue item, which is then the last. Uses getopt_long's global
// state: one caller at a time.
std::vector<Item> readCommandLine(const std::vector<std::string>& args, const std::vector<OptionDef>& defs);

// What a program makes of its command line: its options, or why the line cannot be used.
template <class Options>
struct ParseResult {
    Options options;
    std::string error;  // empty when the command line was good
};

// An Unknown, NeedsValue or TakesNoValue item as every program words it: "unknown option
// '--colour'", "--port needs a value", "--help takes no value"; "" for any other item.
std::string optionMistake(const Item& item);

// Reads args as readCommandLine does: each option goes to apply, which sets what it says and
// returns what is wrong with its value ("" for nothing); the operands are collected in order; "--"
// only ends the options. Stops at the first mistake and returns its text, worded by
// optionMistake or by apply; "" for a good line.
std::string readOptions(const std::vector<std::string>& args, const std::vector<OptionDef>& defs,
                        const std::function<std::string(const Item&)>& apply, std::vector<std::string>& operands);
// The same for a program that takes no operands: an argument that is no option, "--" too, is
// taken for a mistyped one ("unknown option 'x'").
std::string readOptions(const std::vector<std::string>& args, const std::vector<OptionDef>& defs,
                        const std::function<std::string(const Item&)>& apply);

// text with each "@NAME@" of values replaced by its value: a usage that quotes counts of the code
// names them as the man pages do, and gets them from where they are kept.
std::string filledIn(std::string text, const std::vector<std::pair<std::string, std::string>>& values);

// A whole decimal integer within [lowest, highest] into field; field is left alone otherwise.
bool takeInt(const std::string& text, int& field, int lowest, int highest);

}  // namespace cli
