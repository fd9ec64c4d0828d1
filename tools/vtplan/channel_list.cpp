#include "channel_list.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <optional>

#include "options.h"
#include "text/cp932.h"
#include "text/shown.h"
#include "text/vt_error.h"

namespace vtplan {
namespace {

// A file of garbage gives one problem a line; past this many the rest is not read.
constexpr size_t kMaxProblems = 20;

enum Column { kChannel, kLocalOutput, kMultiplier, kStd, kR, kFirstSetting };
constexpr size_t kColumns = kFirstSetting + static_cast<size_t>(Setting::FracBypass) + 1;

// Column names in Column order, then one per Setting in Setting order.
constexpr std::array<std::string_view, kColumns> kNames{"channel", "local_output", "multiplier", "std",        "r",
                                                        "up_gain", "down_gain",    "offset",     "offset_dir", "hik",
                                                        "seed",    "mode",         "frac_rstb",  "frac_bypass"};

std::string_view trimmed(std::string_view s) {
    const size_t begin = s.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return {};
    return s.substr(begin, s.find_last_not_of(" \t") - begin + 1);
}

// Fields echoed in a problem text are cut to this many characters.
constexpr size_t kShownChars = 80;
// No value is anywhere near this long; a longer field is refused before it is copied.
constexpr size_t kMaxFieldBytes = 1024;

std::string shown(std::string_view text) { return text::shown(text, kShownChars); }

// The fields of one line, one at a time: quotes taken off ("" for a quote), blanks and tabs
// around a field taken off. Nothing is kept of a field once the next is read, so a line of
// millions of commas costs no more than its bytes.
class FieldReader {
public:
    enum Result { kField, kEnd, kProblem };
    explicit FieldReader(std::string_view line) : rest_(line) {}

    // The next field, or the end of the line, or a problem (a quote left open or followed by text).
    Result next(std::string& field, std::string& problem) {
        if (ended_) return kEnd;
        field.clear();
        size_t i = rest_.find_first_not_of(" \t");
        if (i == std::string_view::npos || rest_[i] != '"') {
            const size_t comma = rest_.find(',');
            const std::string_view text = trimmed(rest_.substr(0, comma));
            if (text.size() > kMaxFieldBytes) return failed(problem, tooLong());
            field = text;
            return advance(comma);
        }
        for (++i;; ++i) {
            if (i >= rest_.size()) return failed(problem, "a quoted field is not closed on its line");
            if (field.size() > kMaxFieldBytes) return failed(problem, tooLong());
            if (rest_[i] == '"' && (i + 1 >= rest_.size() || rest_[i + 1] != '"')) break;
            field += rest_[i];
            if (rest_[i] == '"') ++i;
        }
        const size_t next = rest_.find_first_not_of(" \t", i + 1);
        if (next != std::string_view::npos && rest_[next] != ',') return failed(problem, "text after a quoted field");
        return advance(next);
    }

private:
    static std::string tooLong() { return "a field is longer than " + std::to_string(kMaxFieldBytes) + " bytes"; }
    Result advance(size_t comma) {
        if (comma == std::string_view::npos)
            ended_ = true;
        else
            rest_.remove_prefix(comma + 1);
        return kField;
    }
    Result failed(std::string& problem, std::string text) {
        problem = std::move(text);
        ended_ = true;
        return kProblem;
    }
    std::string_view rest_;
    bool ended_ = false;
};

class Reader {
public:
    Reader(const planning::ChargePumpSettings& cp, const planning::SdSettings& sd) : cp_(cp), sd_(sd) {}

    // false once the rest of the file is not worth reading.
    bool takeLine(int number, std::string_view line);
    ChannelList finish() &&;

private:
    bool problem(int line, std::string text);
    bool takeHeader(int line, std::string_view text);
    bool takeRow(int line, std::string_view text);
    std::string settingsOf(const std::vector<std::string>& fields, ListedChannel& row) const;

    planning::ChargePumpSettings cp_;
    planning::SdSettings sd_;
    std::array<std::optional<size_t>, kColumns> at_{};  // the field of each column
    size_t fieldCount_ = 0;                             // the named fields; 0 until the header row is read
    size_t unnamedFields_ = 0;                          // empty names after them, which a row may leave out
    int headerLine_ = 0;
    std::array<int, planning::ChannelTable::kChannels> firstLine_{};
    ChannelList out_;
};

bool Reader::problem(int line, std::string text) {
    out_.problems.push_back({line, std::move(text)});
    if (out_.problems.size() < kMaxProblems) return true;
    out_.problems.push_back({line, "too many problems; the rest of the file is not read"});
    return false;
}

bool Reader::takeLine(int number, std::string_view line) {
    if (trimmed(line).empty()) return true;
    return fieldCount_ == 0 ? takeHeader(number, line) : takeRow(number, line);
}

// Empty names at the end (a trailing comma) are no columns; an empty one before a name is.
bool Reader::takeHeader(int line, std::string_view text) {
    FieldReader fields(text);
    std::string name, bad;
    size_t f = 0, empty = 0;
    for (FieldReader::Result r; (r = fields.next(name, bad)) != FieldReader::kEnd; ++f) {
        if (r == FieldReader::kProblem) {
            problem(line, bad);
            return false;
        }
        if (name.empty()) {
            ++empty;
            continue;
        }
        if (empty > 0) {
            problem(line, "unknown column \"\"");
            return false;
        }
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        const auto known = std::find(kNames.begin(), kNames.end(), name);
        if (known == kNames.end()) {
            problem(line, "unknown column \"" + shown(name) + "\"");
            return false;
        }
        auto& at = at_[static_cast<size_t>(known - kNames.begin())];
        if (at) {
            problem(line, "column " + name + " given twice");
            return false;
        }
        at = f;
    }
    for (size_t c = 0; c < kFirstSetting; ++c) {
        if (!at_[c]) {
            problem(line, "missing column " + std::string(kNames[c]));
            return false;
        }
    }
    fieldCount_ = f - empty;
    unnamedFields_ = empty;
    headerLine_ = line;
    return true;
}

std::string Reader::settingsOf(const std::vector<std::string>& fields, ListedChannel& row) const {
    for (size_t c = kFirstSetting; c < kColumns; ++c) {
        if (!at_[c]) continue;
        const std::string& value = fields[*at_[c]];
        const auto setting = static_cast<Setting>(c - kFirstSetting);
        if (!value.empty() && !applySetting(setting, value, row.inputs.cp, row.inputs.sd))
            return "bad value for " + std::string(kNames[c]) + ": " + shown(value);
    }
    return {};
}

bool Reader::takeRow(int line, std::string_view text) {
    FieldReader reader(text);
    std::vector<std::string> fields(fieldCount_);
    std::string field, bad, unnamed;
    size_t count = 0;
    for (FieldReader::Result r; (r = reader.next(field, bad)) != FieldReader::kEnd; ++count) {
        if (r == FieldReader::kProblem) return problem(line, bad);
        if (count < fieldCount_)
            fields[count] = std::move(field);
        else if (unnamed.empty())
            unnamed = field;
    }
    if (count < fieldCount_ || count > fieldCount_ + unnamedFields_)
        return problem(line, "expected " + std::to_string(fieldCount_) +
                                 (unnamedFields_ ? " to " + std::to_string(fieldCount_ + unnamedFields_) : "") +
                                 " fields, found " + std::to_string(count));
    if (!unnamed.empty()) return problem(line, "text in a column without a name: " + shown(unnamed));
    ListedChannel row{line, 0, {{}, cp_, sd_}};
    const std::string_view channel = fields[*at_[kChannel]];
    const auto [end, ec] = std::from_chars(channel.data(), channel.data() + channel.size(), row.channel);
    if (channel.empty() || ec != std::errc() || end != channel.data() + channel.size() || row.channel < 0 ||
        row.channel >= planning::ChannelTable::kChannels)
        return problem(line, "channel must be 0 to " + std::to_string(planning::ChannelTable::kChannels - 1) + ": " +
                                 shown(channel));
    int& first = firstLine_[static_cast<size_t>(row.channel)];
    if (first != 0)
        return problem(line, "channel " + std::to_string(row.channel) + " given twice (first on line " +
                                 std::to_string(first) + ")");
    first = line;
    if (std::string wrong = settingsOf(fields, row); !wrong.empty()) return problem(line, wrong);
    // Numbers in a list read the same on every machine: "." is the decimal separator.
    row.inputs.plan = {std::move(fields[*at_[kLocalOutput]]), std::move(fields[*at_[kMultiplier]]),
                       std::move(fields[*at_[kStd]]), std::move(fields[*at_[kR]]), '.'};
    out_.channels.push_back(std::move(row));
    return true;
}

ChannelList Reader::finish() && {
    if (fieldCount_ == 0 && out_.problems.empty()) out_.problems.push_back({1, "no header row naming the columns"});
    if (fieldCount_ > 0 && out_.problems.empty() && out_.channels.empty())
        out_.problems.push_back({headerLine_, "no channels"});
    return std::move(out_);
}

// The window's text for a plan that failed, which quotes what was typed: each of the four texts
// it may quote as shown(), and any other control byte escaped.
std::string shownPlanProblem(std::string message, const planning::PlanInputs& in) {
    for (const std::string* typed : {&in.localOutput, &in.multiplier, &in.std, &in.r}) {
        const std::string safe = shown(*typed);
        if (typed->empty() || safe == *typed) continue;
        for (size_t at = message.find(*typed); at != std::string::npos; at = message.find(*typed, at + safe.size()))
            message.replace(at, typed->size(), safe);
    }
    return text::shown(message);
}

}  // namespace

ChannelList readChannelList(std::string_view csv, const planning::ChargePumpSettings& cp,
                            const planning::SdSettings& sd) {
    if (csv.starts_with("\xEF\xBB\xBF")) csv.remove_prefix(3);  // a byte-order mark some editors write
    Reader reader(cp, sd);
    int number = 0;
    for (size_t begin = 0; begin < csv.size();) {
        const size_t end = std::min(csv.find('\n', begin), csv.size());
        std::string_view line = csv.substr(begin, end - begin);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (!reader.takeLine(++number, line)) break;
        begin = end + 1;
    }
    return std::move(reader).finish();
}

PlannedTable planChannelList(const ChannelList& list, planning::Search search) {
    PlannedTable out;
    out.problems = list.problems;
    for (const ListedChannel& row : list.channels) {
        try {
            planning::PlannedChannel plan = planning::planChannelBy(search, row.inputs);
            std::string description = text::utf8ToCp932(plan.description);
            if (const std::string why = planning::descriptionProblem(description); !why.empty()) {
                out.problems.push_back({row.line, why + "; local_output and std are quoted in it as written"});
                continue;
            }
            out.table.set(row.channel, plan.words, std::move(description));
            out.plans.emplace_back(row.channel, std::move(plan));
        } catch (const text::VtError& e) {
            out.problems.push_back({row.line, shownPlanProblem(text::withFullStop(e.text()), row.inputs.plan)});
        }
    }
    std::stable_sort(out.problems.begin(), out.problems.end(),
                     [](const ListProblem& a, const ListProblem& b) { return a.line < b.line; });
    std::sort(out.plans.begin(), out.plans.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return out;
}

}  // namespace vtplan
