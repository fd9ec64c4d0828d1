// libFuzzer: vtplan's channel list read from arbitrary bytes. All or nothing: a list gives its
// problems (on lines of the file, in order, each a line a terminal shows as it is) or channels
// that plan whole, whose header the header reader reads back. A list read is written again
// (every field quoted, quotes doubled) and reads as the same list.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "channel_list.h"
#include "headerfile/header_parse.h"
#include "headerfile/header_text.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// Valid UTF-8 without control characters (C0, DEL, C1) or bidirectional controls.
bool shownAsItIs(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        std::uint32_t cp = length == 1 ? c : c & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            if ((b & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x061C || cp == 0x200E || cp == 0x200F ||
            (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069))
            return false;
        i += length;
    }
    return true;
}

void checkProblems(const std::vector<vtplan::ListProblem>& problems, std::string_view csv) {
    std::size_t lines = 1;
    for (char c : csv) lines += c == '\n';
    int previous = 1;
    check(problems.size() <= 21);
    for (const vtplan::ListProblem& p : problems) {
        check(p.line >= previous && static_cast<std::size_t>(p.line) <= lines && !p.text.empty());
        check(shownAsItIs(p.text));
        previous = p.line;
    }
}

std::string quoted(std::string_view value) {
    std::string out = "\"";
    for (char c : value) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + '"';
}

// The list with every column, each text quoted: a header row and a row per channel. Two lists
// are the same when they are written the same.
std::string written(const vtplan::ChannelList& list) {
    std::string out =
        "channel,local_output,multiplier,std,r,up_gain,down_gain,offset,offset_dir,hik,seed,mode,frac_rstb,"
        "frac_bypass\n";
    for (const vtplan::ListedChannel& c : list.channels) {
        const planning::PlanInputs& p = c.inputs.plan;
        const planning::ChargePumpSettings& cp = c.inputs.cp;
        const planning::SdSettings& sd = c.inputs.sd;
        out += std::to_string(c.channel);
        for (const std::string* text : {&p.localOutput, &p.multiplier, &p.std, &p.r}) out += ',' + quoted(*text);
        for (int n : {cp.up, cp.down, cp.offset}) out += ',' + std::to_string(n);
        out += cp.offsetDir == 0 ? ",up" : ",down";
        out += cp.hiK == 0 ? ",on" : ",off";
        for (int n : {sd.seed, sd.mode, sd.fracRstb, sd.fracBypass}) out += ',' + std::to_string(n);
        out += '\n';
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view csv(reinterpret_cast<const char*>(data), size);
    const vtplan::ChannelList list = vtplan::readChannelList(csv, {}, {});
    checkProblems(list.problems, csv);
    if (!list.problems.empty()) return 0;
    check(!list.channels.empty());
    std::vector<bool> seen(planning::ChannelTable::kChannels);
    for (const vtplan::ListedChannel& c : list.channels) {
        check(c.channel >= 0 && c.channel < planning::ChannelTable::kChannels && !seen[static_cast<size_t>(c.channel)]);
        seen[static_cast<size_t>(c.channel)] = true;
    }

    const std::string again = written(list);
    const vtplan::ChannelList back = vtplan::readChannelList(again, {}, {});
    check(back.problems.empty() && written(back) == again);

    const vtplan::PlannedTable planned = vtplan::planChannelList(list);
    checkProblems(planned.problems, csv);
    if (!planned.problems.empty()) return 0;
    check(planned.plans.size() == list.channels.size());
    const headerfile::ExportClock clock{[] { return std::tm{}; }, "%Y/%m/%d", "%H:%M:%S"};
    const std::string header = headerfile::headerFileBytes(planned.table, clock);  // throws if it would not read back
    check(headerfile::headerChannelLines(headerfile::parseHeader(header)) ==
          headerfile::headerChannelLines(planned.table));
    return 0;
}
