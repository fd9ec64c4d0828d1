#pragma once
// The details line of the Channels page for one slot, in plain English: the whole description,
// the words and what they mean, the multiplier and the error, both spurs and the nearer (with other
// values of R when it is too near), and where the slot came from.
#include <cstdint>
#include <string>

#include "planning/channel_table.h"
#include "planning/slot_record.h"

namespace channels {

// Lines separated by "\n".
std::string slotDetails(const planning::ChannelTable& table, int channel, const planning::SlotRecord& record,
                        int64_t spurWarnHz, char decimalSeparator);

}  // namespace channels
