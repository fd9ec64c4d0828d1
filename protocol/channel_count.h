#pragma once
// How many memory channels the unit keeps. The channel table, the write image, the dump and the
// simulated unit's memory all follow from this one count.
namespace protocol {

inline constexpr int kChannels = 8;
static_assert(kChannels >= 1 && kChannels <= 10, "a channel is chosen by one digit");

}  // namespace protocol
