#pragma once
// The five synthesizer register words and the charge-pump current texts.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace planning {

// A register word is ((register << kDataBits) + data) << 1: the register's number above 24 bits
// of data. NFrac, the whole data of the 04h word, counts PD in steps of 2^-24.
inline constexpr unsigned kDataBits = 24;
inline constexpr int64_t kFractionSteps = int64_t{1} << kDataBits;
inline constexpr int64_t kRegisterDataMax = kFractionSteps - 1;

// The charge pump's currents are 7-bit fields of the 09h word (down, up, offset from bit 0): a
// current is 0 … kCurrentStepsMax steps, as its scroll bar runs.
inline constexpr int kCurrentBits = 7;
inline constexpr int kCurrentStepsMax = (1 << kCurrentBits) - 1;

// Current steps 0 … kCurrentStepsMax and radio-group item indexes (-1 = no item selected).
struct ChargePumpSettings {
    int up = kCurrentStepsMax, down = kCurrentStepsMax, offset = 0;
    int offsetDir = 0;  // 0 Up, 1 Down
    int hiK = 0;        // 0 On, 1 Off
};

struct SdSettings {
    int seed = 2, mode = 3, fracRstb = 1, fracBypass = 0;
};

struct RegisterWords {
    uint32_t RefReg = 0, IntgReg = 0, FracReg = 0, CPReg = 0, SDReg = 0;
};

// The chip's register numbers of the five words.
inline constexpr uint32_t kRefDivRegister = 0x02, kIntegerRegister = 0x03, kFractionalRegister = 0x04,
                          kSdRegister = 0x06, kChargePumpRegister = 0x09;

inline constexpr int32_t kRefDivLimit = 16384;

// The word of data for registerNumber; throws text::VtError "Register 03h data -12 is out of range 0 to 16777215"
// for data that would spill into the register-number bits.
uint32_t registerWord(uint32_t registerNumber, int64_t data);

// The data of word when it is laid out as registerWord(registerNumber, data) makes it; nullopt
// for any other word (a slot never set holds 0, which is no word of any register).
std::optional<uint32_t> registerData(uint32_t word, uint32_t registerNumber);

int64_t chargePumpData(const ChargePumpSettings& cp);
int64_t sdData(const SdSettings& sd);  // negative with a -1 index in frac_rstb

// CP, SD, Ref, Intg, Frac in that order; each word is stored in `words` as soon as it is formed,
// so a failure leaves the earlier ones updated.
void CalcPLLReg(const ChargePumpSettings& cp, const SdSettings& sd, std::string_view rText, std::string_view nIntText,
                std::string_view nFracText, RegisterWords& words);

// "2540uA": position times the step in microamps.
std::string currentLabel(int position, int microampsPerStep);
inline constexpr int kUpDownMicroampsPerStep = 20;
inline constexpr int kOffsetMicroampsPerStep = 5;

}  // namespace planning
