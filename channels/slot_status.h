#pragma once
// The status column of the Channels page: where a slot's words came from and whether the unit
// holds them, in a few words.
#include <string>

#include "planning/slot_record.h"

namespace channels {

// "not set", "set HH:MM", "refined HH:MM", "from FILE", "nearest word, from FILE", "stale",
// "written HH:MM (comN)", "changed since written".
std::string slotStatus(const planning::SlotRecord& record);

}  // namespace channels
