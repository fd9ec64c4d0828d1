#include "planning/channel_meaning.h"

#include <charconv>

#include "planning/actual_output.h"
#include "planning/exact_int.h"
#include "planning/number_format.h"
#include "text/cp932.h"

namespace planning {
namespace {

constexpr unsigned kFractionBits = 24;
constexpr unsigned kRatioDecimals = 9;
constexpr int64_t kRatioScale = 1'000'000'000;

std::string optionalInt(const std::optional<uint32_t>& v) { return v ? formatInt(*v) : std::string(); }

}  // namespace

std::optional<uint32_t> registerData(uint32_t word, uint32_t registerNumber) {
    const uint32_t data = (word >> 1) & static_cast<uint32_t>(kRegisterDataMax);
    if (word != ((registerNumber << 24) + data) << 1) return std::nullopt;
    return data;
}

std::optional<int64_t> pdFromDescription(std::string_view d) {
    const size_t at = d.rfind("PD=");
    if (at == std::string_view::npos) return std::nullopt;
    const std::string_view rest = d.substr(at + 3);
    const size_t end = rest.find("Hz");
    if (end == std::string_view::npos || end == 0) return std::nullopt;
    int64_t pd = 0;
    const char* last = rest.data() + end;
    const auto [ptr, ec] = std::from_chars(rest.data(), last, pd);
    if (ec != std::errc() || ptr != last) return std::nullopt;
    return pd;
}

std::string ratioText(int64_t nInt, int64_t nFrac, char decimalSeparator) {
    const __int128 ratio = static_cast<__int128>(nInt) * (int64_t{1} << kFractionBits) + nFrac;
    return (ExactInt::fromInt128(ratio) * ExactInt(kRatioScale))
        .roundedShiftRight(kFractionBits)
        .toFixed(kRatioDecimals, decimalSeparator);
}

std::string synthesizerHzText(int64_t pdHz, int64_t nInt, int64_t nFrac, char decimalSeparator) {
    // The output with a multiplier of one is what the synthesizer itself puts out.
    FrequencyPlan p;
    p.Multiplier = 1;
    p.PdHz = pdHz;
    p.N_INT = nInt;
    p.NFrac = nFrac;
    return actualHzText(p, decimalSeparator);
}

ChannelRow channelRow(const ChannelTable& table, int channel, char decimalSeparator) {
    const auto i = static_cast<size_t>(channel);
    ChannelRow row;
    row.description = text::cp932ToUtf8(table.ChannelDescription.at(i));
    row.RefReg = hex8(table.RefReg[i]);
    row.IntgReg = hex8(table.IntgReg[i]);
    row.FracReg = hex8(table.FracReg[i]);
    row.CPReg = hex8(table.CPReg[i]);
    const auto r = registerData(table.RefReg[i], kRefDivRegister);
    const auto nInt = registerData(table.IntgReg[i], kIntegerRegister);
    const auto nFrac = registerData(table.FracReg[i], kFractionalRegister);
    row.R = optionalInt(r);
    row.N_INT = optionalInt(nInt);
    row.NFrac = optionalInt(nFrac);
    if (!nInt || !nFrac) return row;
    row.N = ratioText(*nInt, *nFrac, decimalSeparator);
    if (const auto pd = pdFromDescription(row.description))
        row.synthesizerHz = synthesizerHzText(*pd, *nInt, *nFrac, decimalSeparator);
    return row;
}

}  // namespace planning
