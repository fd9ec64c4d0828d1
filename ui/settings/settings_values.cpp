#include "ui/settings/settings_values.h"

#include <algorithm>

namespace settings {

int scrollBarPosition(int value) { return std::clamp(value, 0, kScrollBarMax); }

int radioIndex(int value, int items) { return std::clamp(value, -1, items - 1); }

int comboIndex(int value, int items) { return (value >= 0 && value < items) ? value : -1; }

}  // namespace settings
