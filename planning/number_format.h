#pragma once
// Numbers as the window shows them.
#include <cstdint>
#include <string>

namespace planning {

// General number format of VcoMHz: 15 significant digits ("123.4", "0.0001", "1E-5", "1.5E20").
std::string formatGeneral(double v, char decimalSeparator);
std::string formatInt(int64_t v);
std::string hex8(uint32_t word);  // "04000004"

}  // namespace planning
