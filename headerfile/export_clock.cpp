// The export's clock on Linux: the local time, and the LC_TIME locale's own patterns.
#include <langinfo.h>

#include "headerfile/header_text.h"

namespace headerfile {

ExportClock systemExportClock() {
    ExportClock c;
    c.now = [] {
        std::time_t t = std::time(nullptr);
        std::tm local{};
        ::localtime_r(&t, &local);
        return local;
    };
    c.dateFormat = ::nl_langinfo(D_FMT);
    c.timeFormat = ::nl_langinfo(T_FMT);
    return c;
}

}  // namespace headerfile
