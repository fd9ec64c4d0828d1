#include "channels/kept_table.h"

#include <cerrno>

#include "files/errno_text.h"
#include "files/paths.h"
#include "headerfile/header_file.h"
#include "text/vt_error.h"

namespace channels {
namespace {

const char* const kNoStateFolder =
    "The channel table is not kept: neither XDG_STATE_HOME nor HOME names a folder for it.";

// Why the folder is no place for the table: a file found in a folder that somebody else owns or
// may write to could be anybody's choice of table.
std::string notPrivate(const std::string& folder) {
    return folder + " is not a folder of yours that only you may write to.";
}

}  // namespace

std::string KeptTable::folder() {
    const std::string home = files::stateHome();
    return home.empty() ? home : files::joinPath(home, "vtconfig");
}

std::string KeptTable::path() { return files::joinPath(folder(), "last-channels.h"); }

std::string KeptTable::noPlace() {
    if (folder().empty()) return kNoStateFolder;
    const int err = files::checkPrivateFolder(folder());
    if (err == 0 || err == ENOENT) return {};
    const bool kept = files::stampOf(path()).error != ENOENT;
    return (kept ? "The kept channel table is not opened: " : "The channel table is not kept: ") + notPrivate(folder());
}

std::optional<files::FileStamp> KeptTable::lookForFile() {
    const files::FileStamp found = files::stampOf(path());
    if (found.error == ENOENT) return std::nullopt;
    return found;
}

std::string KeptTable::prepareFolder() const {
    if (folder().empty()) return kNoStateFolder;
    if (const int err = files::makePrivateDirectories(folder())) throw text::VtError(files::windowErrnoText(err));
    if (files::checkPrivateFolder(folder()) != 0) return "The channel table is not kept: " + notPrivate(folder());
    return {};
}

bool KeptTable::replaceableWithoutAsking() const {
    const files::FileStamp now = files::stampOf(path());
    return now.error == ENOENT || (opened_ && *opened_ == now);
}

void KeptTable::write(const planning::ChannelTable& table, const headerfile::ExportClock& clock) {
    headerfile::writeHeaderFile(path(), table, clock);
    opened_ = files::stampOf(path());
}

}  // namespace channels
