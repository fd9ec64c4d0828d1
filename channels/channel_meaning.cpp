#include "channels/channel_meaning.h"

#include "planning/actual_output.h"
#include "planning/exact_int.h"
#include "planning/number_format.h"
#include "planning/number_text.h"
#include "planning/register_words.h"
#include "text/cp932.h"

namespace channels {

using planning::ChannelTable;
using planning::ExactInt;
using planning::exactPdHz;
using planning::formatInt;
using planning::hex8;
using planning::hzText;
using planning::kFractionalRegister;
using planning::kIntegerRegister;
using planning::kRefDivRegister;
using planning::outputHz;
using planning::registerData;
using planning::tryParseDecimal;
using planning::typedHz;

namespace {

constexpr std::string_view kAfterOutput = "MHz, std=", kAfterStd = "MHz, PD=";
constexpr unsigned kRatioDecimals = 9;
constexpr int64_t kRatioScale = 1'000'000'000;

std::string optionalInt(const std::optional<uint32_t>& v) { return v ? formatInt(*v) : std::string(); }

}  // namespace

std::optional<std::string> outputFromDescription(std::string_view d) {
    const size_t end = d.find(kAfterOutput);
    if (end == std::string_view::npos) return std::nullopt;
    return std::string(d.substr(0, end));
}

std::optional<std::string> stdFromDescription(std::string_view d) {
    const size_t at = d.find(kAfterOutput);
    if (at == std::string_view::npos) return std::nullopt;
    const std::string_view rest = d.substr(at + kAfterOutput.size());
    const size_t end = rest.find(kAfterStd);
    if (end == std::string_view::npos) return std::nullopt;
    return std::string(rest.substr(0, end));
}

std::optional<std::string> pdFromDescription(std::string_view d) {
    const auto std = stdFromDescription(d);
    if (!std) return std::nullopt;
    const size_t at = d.find(kAfterOutput) + kAfterOutput.size() + std->size() + kAfterStd.size();
    const size_t end = d.find("Hz", at);
    if (end == std::string_view::npos) return std::nullopt;
    return std::string(d.substr(at, end - at));
}

char quotedSeparator(std::string_view numberText, char decimalSeparator) {
    return tryParseDecimal(numberText, decimalSeparator) ? decimalSeparator : '.';
}

std::string ratioText(int64_t nInt, int64_t nFrac, char decimalSeparator) {
    const __int128 ratio = static_cast<__int128>(nInt) * planning::kFractionSteps + nFrac;
    return (ExactInt::fromInt128(ratio) * ExactInt(kRatioScale))
        .roundedShiftRight(planning::kDataBits)
        .toFixed(kRatioDecimals, decimalSeparator);
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
    const auto std = stdFromDescription(row.description);
    if (!r || !std) return row;
    const auto stdHz = typedHz(*std, quotedSeparator(*std, decimalSeparator));
    const auto pd = stdHz ? exactPdHz(*stdHz, *r) : std::nullopt;
    // The output with a multiplier of one is what the synthesizer itself puts out.
    if (pd) row.synthesizerHz = hzText(outputHz(*pd, {*r, *nInt, *nFrac}, 1), decimalSeparator);
    return row;
}

}  // namespace channels
