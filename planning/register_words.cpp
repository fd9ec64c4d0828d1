#include "planning/register_words.h"

#include <cstdio>

#include "planning/number_text.h"
#include "text/vt_error.h"

namespace planning {
namespace {

constexpr int64_t kSdConstantBits = 0x370;

}  // namespace

uint32_t registerWord(uint32_t registerNumber, int64_t data) {
    // Data outside 24 bits would be added into the register number and program another register.
    if (data < 0 || data > kRegisterDataMax) {
        char number[8];
        std::snprintf(number, sizeof number, "%02Xh", static_cast<unsigned>(registerNumber));
        throw text::VtError("Register " + std::string(number) + " data " + std::to_string(data) +
                            " is out of range 0 to " + std::to_string(kRegisterDataMax));
    }
    return ((registerNumber << kDataBits) + static_cast<uint32_t>(data)) << 1;
}

std::optional<uint32_t> registerData(uint32_t word, uint32_t registerNumber) {
    const uint32_t data = (word >> 1) & static_cast<uint32_t>(kRegisterDataMax);
    if (word != ((registerNumber << kDataBits) + data) << 1) return std::nullopt;
    return data;
}

int64_t chargePumpData(const ChargePumpSettings& cp) {
    const int64_t offsetUp = cp.offsetDir == 0 ? 1 : 0;
    const int64_t offsetDown = cp.offsetDir == 1 ? 1 : 0;
    const int64_t hiK = cp.hiK == 0 ? 1 : 0;
    constexpr int64_t kStepsField = int64_t{1} << kCurrentBits;  // one current field
    return int64_t{cp.down} + int64_t{cp.up} * kStepsField + int64_t{cp.offset} * kStepsField * kStepsField +
           (offsetUp << 21) + (offsetDown << 22) + (hiK << 23);
}

int64_t sdData(const SdSettings& sd) {
    return int64_t{sd.seed} + int64_t{sd.mode} * 4 + int64_t{sd.fracBypass} * 128 + int64_t{sd.fracRstb} * 2048 +
           kSdConstantBits;
}

void CalcPLLReg(const ChargePumpSettings& cp, const SdSettings& sd, std::string_view rText, std::string_view nIntText,
                std::string_view nFracText, RegisterWords& words) {
    words.CPReg = registerWord(kChargePumpRegister, chargePumpData(cp));
    words.SDReg = registerWord(kSdRegister, sdData(sd));
    int64_t refDiv = parseWhole(rText);
    if (refDiv > kRefDivLimit) refDiv = kRefDivLimit;
    words.RefReg = registerWord(kRefDivRegister, refDiv);
    words.IntgReg = registerWord(kIntegerRegister, parseWhole(nIntText));
    words.FracReg = registerWord(kFractionalRegister, parseWhole(nFracText));
}

std::string currentLabel(int position, int microampsPerStep) {
    return std::to_string(int64_t{position} * microampsPerStep) + "uA";
}

}  // namespace planning
