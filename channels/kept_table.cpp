#include "channels/kept_table.h"

#include <cerrno>

#include "files/errno_text.h"
#include "files/paths.h"
#include "headerfile/header_file.h"
#include "text/shown.h"
#include "text/vt_error.h"

namespace channels {
namespace {

const char* const kName = "last-channels.h";

const char* const kNoStateFolder =
    "The channel table is not kept: neither XDG_STATE_HOME nor HOME names a folder for it.";

// Why the folder is no place for the table: a file found in a folder that somebody else owns or
// may write to could be anybody's choice of table.
std::string notPrivate(const std::string& folder) {
    return text::shown(folder) + " is not a folder of yours that only you may write to.";
}

}  // namespace

std::string KeptTable::folder() {
    const std::string home = files::stateHome();
    return home.empty() ? home : files::joinPath(home, "vtconfig");
}

std::string KeptTable::path() { return files::joinPath(folder(), kName); }

std::string KeptTable::lookAtFolder() {
    if (folder().empty()) {
        folder_ = {};
        folder_.error = ENOENT;
        return kNoStateFolder;
    }
    folder_ = files::walkOwnFolders(folder());
    if (folder_.error == 0 || folder_.error == ENOENT) return {};
    const bool kept = files::stampIn(folder_, kName).error != ENOENT;
    return (kept ? "The kept channel table is not opened: " : "The channel table is not kept: ") + notPrivate(folder());
}

std::optional<planning::ChannelTable> KeptTable::read() {
    if (folder_.error != 0) return std::nullopt;
    const files::InputFile in(folder_, kName);
    if (in.error() == ENOENT) return std::nullopt;
    planning::ChannelTable table = headerfile::readHeaderFile(in);
    opened_ = in.stamp();
    return table;
}

std::string KeptTable::prepareFolder() {
    if (folder().empty()) return kNoStateFolder;
    if (const int err = files::makePrivateDirectories(folder())) throw text::VtError(files::windowErrnoText(err));
    folder_ = files::walkOwnFolders(folder());
    if (folder_.error != 0) return "The channel table is not kept: " + notPrivate(folder());
    return {};
}

bool KeptTable::replaceableWithoutAsking() const {
    const files::FileStamp now = files::stampIn(folder_, kName);
    return now.error == ENOENT || (opened_ && *opened_ == now);
}

void KeptTable::write(const planning::ChannelTable& table, const headerfile::ExportClock& clock) {
    headerfile::writeHeaderFile(folder_, kName, table, clock);
    opened_ = files::stampIn(folder_, kName);
}

}  // namespace channels
