#include "tools/vtctl/progress.h"

#include <cstdio>

#include "protocol/unit_protocol.h"
#include "tools/vtctl/report.h"

namespace vtctl {

std::string progressText(const std::vector<PortProgress>& ports, std::int64_t elapsedMs) {
    // Appended, not "/" + std::string&&: on that GCC 12 at -O3 warns of an impossible overlap.
    std::string total = "/";
    total += std::to_string(protocol::kWriteBytes);
    std::string out;
    if (ports.size() == 1) {
        out = std::to_string(ports[0].sent) + total + " bytes, ";
    } else {
        for (const PortProgress& p : ports) out += p.port + " " + std::to_string(p.sent) + total + "  ";
    }
    return out + secondsText(elapsedMs) + " s";
}

void Progress::show(const std::vector<PortProgress>& ports) {
    if (!on_) return;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_);
    // Back to the start of the line, the text, and the rest of the old line cleared.
    std::fprintf(stderr, "\r%s\033[K", progressText(ports, ms.count()).c_str());
    std::fflush(stderr);
}

void Progress::finish(const std::vector<PortProgress>& ports) {
    if (!on_) return;
    show(ports);
    std::fputc('\n', stderr);
}

}  // namespace vtctl
