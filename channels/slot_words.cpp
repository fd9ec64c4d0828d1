#include "channels/slot_words.h"

#include "channels/channel_meaning.h"
#include "channels/slot_figures.h"
#include "planning/actual_output.h"
#include "planning/channel_plan.h"
#include "planning/nearest_word.h"
#include "text/cp932.h"
#include "text/vt_error.h"

namespace channels {

using planning::ChannelTable;
using planning::PlanInputs;
using planning::PlannedChannel;
using planning::SlotRecord;

namespace {

// The slot's 02h, 03h and 04h words and quoted PD are those planned.
bool holds(const ChannelTable& t, size_t i, const std::string& pdQuoted, const PlannedChannel& p, char sep) {
    return p.words.RefReg == t.RefReg[i] && p.words.IntgReg == t.IntgReg[i] && p.words.FracReg == t.FracReg[i] &&
           planning::planLabels(p.plan, sep).pdHz == pdQuoted;
}

std::optional<PlannedChannel> planned(planning::Search search, const PlanInputs& in) {
    try {
        return planning::planChannelBy(search, {in, {}, {}});
    } catch (const text::VtError&) {
        return std::nullopt;
    }
}

std::optional<int64_t> recordedMultiplier(const SlotRecord& r) {
    return r.search ? std::optional(r.search->plan.Multiplier) : std::nullopt;
}

}  // namespace

std::optional<PlanInputs> slotInputs(const ChannelTable& t, int channel, const SlotRecord& record, char sep) {
    const auto i = static_cast<size_t>(channel);
    const std::string description = text::cp932ToUtf8(t.ChannelDescription.at(i));
    const auto output = outputFromDescription(description), std = stdFromDescription(description);
    const auto words = planning::readWords(t.RefReg[i], t.IntgReg[i], t.FracReg[i]);
    if (!output || !std || !words) return std::nullopt;
    const char quoted = quotedSeparator(*output, sep);
    if (quotedSeparator(*std, sep) != quoted) return std::nullopt;
    if (record.search)
        return PlanInputs{*output, record.search->inputs.multiplier, *std, record.search->inputs.r, quoted};
    const SlotFigures f = slotFigures(t, channel, std::nullopt, 0, sep);
    if (!f.multiplier) return std::nullopt;
    return PlanInputs{*output, std::to_string(*f.multiplier), *std, std::to_string(words->r), quoted};
}

std::optional<MadeBy> madeBy(const ChannelTable& t, int channel, const SlotRecord& record, char sep) {
    const auto in = slotInputs(t, channel, record, sep);
    const auto pd = pdFromDescription(text::cp932ToUtf8(t.ChannelDescription.at(static_cast<size_t>(channel))));
    if (!in || !pd) return std::nullopt;
    MadeBy made;
    for (const auto search : {planning::Search::Window, planning::Search::Nearest}) {
        const auto p = planned(search, *in);
        const bool holdsIt = p && holds(t, static_cast<size_t>(channel), *pd, *p, in->decimalSeparator);
        (search == planning::Search::Window ? made.window : made.nearest) = holdsIt;
    }
    return made;
}

SlotRecord openedRecord(const ChannelTable& t, int channel, std::string fileName, char sep) {
    SlotRecord r;
    r.source = SlotRecord::Source::File;
    r.fileName = std::move(fileName);
    const auto made = madeBy(t, channel, r, sep);
    r.stale = made && !made->window && !made->nearest;
    r.nearestWord = made && made->nearest && !made->window;
    return r;
}

Refinement refineSlot(const ChannelTable& t, int channel, const SlotRecord& record, char sep) {
    const auto i = static_cast<size_t>(channel);
    const std::string name = "ch" + std::to_string(channel);
    Refinement out;
    const auto refused = [&](const std::string& why) {
        out.text = text::withFullStop(name + " is not refined: " + why);
        return out;
    };
    if (record.source == SlotRecord::Source::None) return refused("it is not set");
    if (record.stale) return refused("it is stale; search, then set");
    const auto in = slotInputs(t, channel, record, sep);
    if (!in) return refused("its description quotes no output and STD, or its words are no plan of them");
    PlannedChannel nearest;
    try {
        nearest = planning::planNearestChannel({*in, {}, {}});
    } catch (const text::VtError& e) {
        return refused(e.what());
    }
    const SlotFigures before = slotFigures(t, channel, recordedMultiplier(record), 0, sep);
    if (nearest.words.RefReg != t.RefReg[i] || !before.figures || !before.figures->errorHz)
        return refused("its 02h word holds another R than its description's search");
    const std::string after = planning::hzText(*nearest.figures->errorHz, sep);
    if (nearest.words.IntgReg == t.IntgReg[i] && nearest.words.FracReg == t.FracReg[i]) {
        out.outcome = Refinement::Outcome::AlreadyNearest;
        out.text = name + " holds the nearest word already (error " + after + " Hz); left as it is.";
        return out;
    }
    out.outcome = Refinement::Outcome::Refined;
    out.IntgReg = nearest.words.IntgReg;
    out.FracReg = nearest.words.FracReg;
    out.errorBeforeHz = before.figures->errorHz;
    out.text = name + " refined to the nearest word: error " + before.errorHz + " Hz -> " + after + " Hz.";
    return out;
}

}  // namespace channels
