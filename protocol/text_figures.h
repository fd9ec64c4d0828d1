#pragma once
// The protocol's counts as the texts about the unit quote them (the tools' usages and man pages
// write @NAME@ where a count belongs): each name and its text, all from the one channel count.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "protocol/unit_protocol.h"

namespace protocol {

inline std::vector<std::pair<std::string, std::string>> textFigures() {
    const auto hexByte = [](int value) {
        char text[8];
        std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value));
        return std::string(text);
    };
    const int last = kChannels - 1;
    return {
        {"VT_LAST_CHANNEL", std::to_string(last)},                   // "7"
        {"VT_LAST_CHANNEL_BYTE", hexByte(last)},                     // "07", as the channel byte
        {"VT_LAST_CHANNEL_COMMAND", hexByte(channelCommand(last))},  // "37", its command byte
        {"VT_IMAGE_BYTES", std::to_string(kImageSize)},              // "128"
        {"VT_WRITE_BYTES", std::to_string(kWriteBytes)},             // "130"
        {"VT_DUMP_BYTES", std::to_string(dumpSize(kChannels))},      // "130"
    };
}

}  // namespace protocol
