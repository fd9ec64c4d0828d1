// The export's clock on Windows: the local time, and the C runtime's short date and time of the
// LC_TIME locale (the user's, once the program has set it), which it has no pattern text for.
#include "headerfile/header_text.h"

namespace headerfile {

ExportClock systemExportClock() {
    ExportClock c;
    c.now = [] {
        std::time_t t = std::time(nullptr);
        std::tm local{};
        ::localtime_s(&local, &t);
        return local;
    };
    c.dateFormat = "%x";
    c.timeFormat = "%X";
    return c;
}

}  // namespace headerfile
