#include "planning/channel_table.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>
#include <utility>

#include "planning/choices.h"

namespace planning {
namespace {

bool isControlButTab(char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; }

// Every line break of UTF-8 text, and every other control byte but tab, as one blank.
std::string oneLine(std::string_view text) {
    static constexpr std::array<std::string_view, 3> kWideBreaks{"\xC2\x85", "\xE2\x80\xA8", "\xE2\x80\xA9"};
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (isControlButTab(c)) {
            out += ' ';
            ++i;
            continue;
        }
        const auto wide = std::find_if(kWideBreaks.begin(), kWideBreaks.end(),
                                       [&](std::string_view b) { return text.substr(i).starts_with(b); });
        if (wide != kWideBreaks.end()) {
            out += ' ';
            i += wide->size();
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

}  // namespace

std::string ChannelDescription(const DescriptionInputs& in) {
    std::string text;
    text += in.localOutput;
    text += "MHz, std=";
    text += in.std;
    text += "MHz, PD=";
    text += in.pdHz;
    text += "Hz, UpGain=";
    text += std::to_string(in.cp.up);
    text += ", DnGain=";
    text += std::to_string(in.cp.down);
    text += ", Offset=";
    text += choiceWord(kOffsetDirChoices, in.cp.offsetDir);
    text += std::to_string(in.cp.offset);
    text += ", HiK mode=";
    text += choiceWord(kHiKChoices, in.cp.hiK);
    text += ", SD seed=";
    text += choiceWord(kSeedChoices, in.sd.seed);
    text += ", Mode=";
    text += choiceWord(kModeChoices, in.sd.mode);
    text += ", frac_rstb=";
    text += choiceWord(kFracRstbChoices, in.sd.fracRstb);
    text += ", frac_bypass=";
    text += choiceWord(kFracBypassChoices, in.sd.fracBypass);
    return oneLine(text);
}

std::string commentTextProblem(std::string_view text) {
    // After one of these C need not read the rest of the line as comment: a lone CR ends the line
    // for some compilers, a backslash before FF or VT joins the next one to it.
    if (const auto control = std::find_if(text.begin(), text.end(), isControlButTab); control != text.end()) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(*control));
        return std::string("holds the control byte ") + hex + ", where a tab is the only one allowed";
    }
    if (text.find("?\?/") != std::string_view::npos) return "holds `?\?/`, which C may read as a backslash";
    return {};
}

std::string descriptionProblem(std::string_view cp932) {
    if (cp932.size() > kMaxDescriptionBytes) {
        // Appended, not "…" + std::string&&: on that GCC 12 at -O3 warns (-Wrestrict).
        std::string why = "the description is ";
        why += std::to_string(cp932.size());
        why += " bytes long, more than the ";
        why += std::to_string(kMaxDescriptionBytes);
        why += " a header holds";
        return why;
    }
    if (std::string why = commentTextProblem(cp932); !why.empty()) return why.insert(0, "the description ");
    // A reader drops blanks at a line's end, so a backslash before them ends the line all the same.
    const size_t last = cp932.find_last_not_of(" \t");
    if (last != std::string_view::npos && cp932[last] == '\\')
        return "the description ends in byte 0x5C, which C takes as joining the next line to the comment";
    return {};
}

void ChannelTable::set(int channel, const RegisterWords& words, std::string description) {
    if (channel < 0 || channel >= kChannels) return;
    const auto slot = static_cast<size_t>(channel);
    SDReg[slot] = words.SDReg;
    RefReg[slot] = words.RefReg;
    CPReg[slot] = words.CPReg;
    IntgReg[slot] = words.IntgReg;
    FracReg[slot] = words.FracReg;
    ChannelDescription[slot] = std::move(description);
}

}  // namespace planning
