#include "channels/slot_status.h"

namespace channels {

std::string slotStatus(const planning::SlotRecord& r) {
    using Source = planning::SlotRecord::Source;
    if (r.source == Source::None) return "not set";
    if (r.stale) return "stale";
    if (r.changedSinceWritten) return "changed since written";
    if (!r.writtenTime.empty()) return "written " + r.writtenTime + " (" + r.writtenPort + ")";
    if (!r.refinedTime.empty()) return "refined " + r.refinedTime;
    if (r.source == Source::File) return (r.nearestWord ? "nearest word, from " : "from ") + r.fileName;
    return "set " + r.setTime;
}

}  // namespace channels
