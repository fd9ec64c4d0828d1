#include "channels/header_file.h"

#include "channels/header_parse.h"
#include "text/vt_error.h"
#include "ui/files/atomic_file.h"
#include "ui/files/file_read.h"
#include "ui/files/io_error.h"

namespace channels {

void writeHeaderFile(const std::string& path, const planning::ChannelTable& table, const ExportClock& clock) {
    if (const int err = files::replaceFile(path, headerFileBytes(table, clock), files::Links::Replace))
        throw text::VtError(files::ioErrorMessageForErrno(err));
}

planning::ChannelTable readHeaderFile(const std::string& path) {
    std::string bytes;
    if (const int err = files::readFile(path, bytes)) throw text::VtError(files::ioErrorMessageForErrno(err));
    return parseHeader(bytes);
}

}  // namespace channels
