#include "planning/slot_record.h"

#include "planning/number_format.h"

namespace planning {

bool describesSearch(const SearchRecord& s, std::string_view descriptionUtf8) {
    return ChannelDescription({s.inputs.localOutput, s.inputs.std, formatInt(s.plan.PdHz), s.cp, s.sd}) ==
           descriptionUtf8;
}

SlotRecord afterSet(const SlotRecord& before, const std::optional<SearchRecord>& search,
                    std::string_view descriptionUtf8, std::string time) {
    SlotRecord r;
    r.source = SlotRecord::Source::Set;
    r.setTime = std::move(time);
    r.search = search;
    r.stale = !search || !describesSearch(*search, descriptionUtf8);
    r.nearestWord = search && search->search == Search::Nearest;
    r.writtenTime = before.writtenTime;
    r.writtenPort = before.writtenPort;
    r.changedSinceWritten = !before.writtenTime.empty();
    return r;
}

SlotRecord afterRefine(const SlotRecord& before, const ExactFraction& errorBeforeHz, std::string time) {
    SlotRecord r = before;
    r.stale = false;
    r.nearestWord = true;
    r.refinedTime = std::move(time);
    r.errorBeforeRefineHz = errorBeforeHz;
    r.savedSinceSet = false;
    r.changedSinceWritten = !before.writtenTime.empty();
    return r;
}

std::vector<int> unkeptSlots(const SlotRecords& records) {
    std::vector<int> unkept;
    for (size_t c = 0; c < records.size(); ++c) {
        const SlotRecord& r = records[c];
        const bool written = !r.writtenTime.empty() && !r.changedSinceWritten;
        const bool ofThisRun = r.source == SlotRecord::Source::Set || !r.refinedTime.empty();
        if (ofThisRun && !r.savedSinceSet && !written) unkept.push_back(static_cast<int>(c));
    }
    return unkept;
}

void markSaved(SlotRecords& records) {
    for (SlotRecord& r : records) r.savedSinceSet = true;
}

void markWritten(SlotRecords& records, const ChannelTable& sent, const ChannelTable& now, const std::string& time,
                 const std::string& port) {
    for (size_t c = 0; c < records.size(); ++c) {
        SlotRecord& r = records[c];
        const bool same = sent.RefReg[c] == now.RefReg[c] && sent.IntgReg[c] == now.IntgReg[c] &&
                          sent.FracReg[c] == now.FracReg[c] && sent.CPReg[c] == now.CPReg[c];
        if (r.source == SlotRecord::Source::None || !same) continue;
        r.writtenTime = time;
        r.writtenPort = port;
        r.changedSinceWritten = false;
    }
}

}  // namespace planning
