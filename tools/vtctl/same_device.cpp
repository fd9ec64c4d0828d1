#include "tools/vtctl/same_device.h"

#include "text/shown.h"
#include "tools/vtctl/system.h"

namespace vtctl {

std::string samePortTwice(const std::vector<std::string>& ports, const std::string& configHome) {
    std::vector<std::string> keys;
    for (const std::string& port : ports) keys.push_back(deviceKey(port, configHome));
    for (std::size_t i = 0; i < ports.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (keys[i] == keys[j])
                return "--port " + text::shown(ports[j]) + " and --port " + text::shown(ports[i]) +
                       " name the same device";
    return {};
}

}  // namespace vtctl
