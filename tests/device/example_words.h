#pragma once
// The words "set" stores after the default search: the channel every device test writes.
#include "planning/register_words.h"

namespace vttest {

inline constexpr planning::RegisterWords kExampleWords{
    .RefReg = 0x04000004, .IntgReg = 0x06000018, .FracReg = 0x08AE147A, .CPReg = 0x13407FFE, .SDReg = 0x0C0016FC};

}  // namespace vttest
