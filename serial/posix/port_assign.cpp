// Giving a comN a device: its alias becomes a link to the device's stable name. Only an alias
// is ever replaced; whatever else holds the name stays as it is.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "files/errno_text.h"
#include "serial/alias_link.h"
#include "serial/port_catalog.h"
#include "serial/portname.h"
#include "text/vt_error.h"

namespace commapi {

ComPortTarget assignComPort(const std::string& port, const SerialDevice& device, const CatalogRoots& roots) {
    if (!portAliasName(port)) throw text::VtError("'" + port + "' is not a port name comN");
    const auto alias = portAliasPath(port, roots.configHome);
    if (!alias) throw text::VtError(port + ": " + noConfigHomeText());
    if (const int err = makePortAliasFolder(roots.configHome))
        throw text::VtError(portAliasFolder(roots.configHome) +
                            ": cannot make the folder: " + files::englishErrnoText(err));
    mode_t found = 0;
    switch (placeAliasLink(*alias, device.aliasTarget(), true, found)) {
        case AliasPlaced::Done:
        case AliasPlaced::Exists: break;
        case AliasPlaced::NotALink: throw text::VtError(notAnAliasText(*alias, found));
        case AliasPlaced::Failed:
            throw text::VtError(*alias + ": cannot make the link: " + files::englishErrnoText(errno));
    }
    return describeComPort(port, roots);
}

}  // namespace commapi
