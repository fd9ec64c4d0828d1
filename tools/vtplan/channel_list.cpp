#include "channel_list.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <optional>

#include "options.h"
#include "text/cp932.h"
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

// The fields of one line; a problem text when a quote is left open or followed by more text.
std::string splitFields(std::string_view line, std::vector<std::string>& fields) {
    fields.assign(1, {});
    for (size_t i = 0; i < line.size(); ++i) {
        std::string& field = fields.back();
        if (line[i] == ',') {
            fields.emplace_back();
        } else if (line[i] == '"' && trimmed(field).empty()) {
            field.clear();
            for (++i;; ++i) {
                if (i >= line.size()) return "a quoted field is not closed on its line";
                if (line[i] == '"' && (i + 1 >= line.size() || line[i + 1] != '"')) break;
                field += line[i];
                if (line[i] == '"') ++i;
            }
            const size_t next = line.find_first_not_of(" \t", i + 1);
            if (next != std::string_view::npos && line[next] != ',') return "text after a quoted field";
            i = next == std::string_view::npos ? line.size() : next - 1;
        } else {
            field += line[i];
        }
    }
    return {};
}

class Reader {
public:
    Reader(const planning::ChargePumpSettings& cp, const planning::SdSettings& sd) : cp_(cp), sd_(sd) {}

    // false once the rest of the file is not worth reading.
    bool takeLine(int number, std::string_view line);
    ChannelList finish() &&;

private:
    bool problem(int line, std::string text);
    bool takeHeader(int line, const std::vector<std::string>& fields);
    bool takeRow(int line, const std::vector<std::string>& fields);
    std::string settingsOf(const std::vector<std::string>& fields, ListedChannel& row) const;

    planning::ChargePumpSettings cp_;
    planning::SdSettings sd_;
    std::array<std::optional<size_t>, kColumns> at_{};  // the field of each column
    size_t fieldCount_ = 0;                             // 0 until the header row is read
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
    std::vector<std::string> fields;
    if (std::string bad = splitFields(line, fields); !bad.empty()) return problem(number, bad) && fieldCount_ > 0;
    return fieldCount_ == 0 ? takeHeader(number, fields) : takeRow(number, fields);
}

bool Reader::takeHeader(int line, const std::vector<std::string>& fields) {
    for (size_t f = 0; f < fields.size(); ++f) {
        std::string name(trimmed(fields[f]));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        const auto known = std::find(kNames.begin(), kNames.end(), name);
        if (known == kNames.end()) {
            problem(line, "unknown column \"" + name + "\"");
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
    fieldCount_ = fields.size();
    return true;
}

std::string Reader::settingsOf(const std::vector<std::string>& fields, ListedChannel& row) const {
    for (size_t c = kFirstSetting; c < kColumns; ++c) {
        if (!at_[c]) continue;
        const std::string value(trimmed(fields[*at_[c]]));
        const auto setting = static_cast<Setting>(c - kFirstSetting);
        if (!value.empty() && !applySetting(setting, value, row.inputs.cp, row.inputs.sd))
            return "bad value for " + std::string(kNames[c]) + ": " + value;
    }
    return {};
}

bool Reader::takeRow(int line, const std::vector<std::string>& fields) {
    if (fields.size() != fieldCount_)
        return problem(line,
                       "expected " + std::to_string(fieldCount_) + " fields, found " + std::to_string(fields.size()));
    ListedChannel row{line, 0, {{}, cp_, sd_}};
    const std::string_view channel = trimmed(fields[*at_[kChannel]]);
    const auto [end, ec] = std::from_chars(channel.data(), channel.data() + channel.size(), row.channel);
    if (channel.empty() || ec != std::errc() || end != channel.data() + channel.size() || row.channel < 0 ||
        row.channel >= planning::ChannelTable::kChannels)
        return problem(line, "channel must be 0 to 7: " + std::string(channel));
    int& first = firstLine_[static_cast<size_t>(row.channel)];
    if (first != 0)
        return problem(line, "channel " + std::to_string(row.channel) + " given twice (first on line " +
                                 std::to_string(first) + ")");
    first = line;
    if (std::string bad = settingsOf(fields, row); !bad.empty()) return problem(line, bad);
    // Numbers in a list read the same on every machine: "." is the decimal separator.
    row.inputs.plan = {fields[*at_[kLocalOutput]], fields[*at_[kMultiplier]], fields[*at_[kStd]], fields[*at_[kR]],
                       '.'};
    out_.channels.push_back(std::move(row));
    return true;
}

ChannelList Reader::finish() && {
    if (fieldCount_ == 0 && out_.problems.empty()) out_.problems.push_back({1, "no header row naming the columns"});
    return std::move(out_);
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

PlannedTable planChannelList(const ChannelList& list) {
    PlannedTable out;
    out.problems = list.problems;
    for (const ListedChannel& row : list.channels) {
        try {
            planning::PlannedChannel plan = planning::planChannel(row.inputs);
            out.table.set(row.channel, plan.words, text::utf8ToCp932(plan.description));
            out.plans.emplace_back(row.channel, std::move(plan));
        } catch (const text::VtError& e) {
            out.problems.push_back({row.line, text::withFullStop(e.what())});
        }
    }
    std::stable_sort(out.problems.begin(), out.problems.end(),
                     [](const ListProblem& a, const ListProblem& b) { return a.line < b.line; });
    std::sort(out.plans.begin(), out.plans.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return out;
}

}  // namespace vtplan
