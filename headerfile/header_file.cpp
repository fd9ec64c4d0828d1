#include "headerfile/header_file.h"

#include "files/atomic_file.h"
#include "files/errno_text.h"
#include "files/file_read.h"
#include "headerfile/header_parse.h"
#include "text/vt_error.h"

namespace headerfile {

ReadError::ReadError(int err) : text::VtError(files::windowErrnoText(err)), errnoValue(err) {}

void writeHeaderFile(const std::string& path, const planning::ChannelTable& table, const ExportClock& clock) {
    if (const int err = files::replaceFile(path, headerFileBytes(table, clock), files::Links::Replace))
        throw text::VtError(files::windowErrnoText(err));
}

planning::ChannelTable readHeaderFile(const std::string& path) {
    std::string bytes;
    if (const int err = files::readFile(path, bytes)) throw ReadError(err);
    return parseHeader(bytes);
}

}  // namespace headerfile
