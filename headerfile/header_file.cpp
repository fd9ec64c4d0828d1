#include "headerfile/header_file.h"

#include "files/atomic_file.h"
#include "files/errno_text.h"
#include "files/file_read.h"
#include "files/paths.h"
#include "headerfile/header_parse.h"
#include "text/vt_error.h"

namespace headerfile {

ReadError::ReadError(int err) : text::VtError(files::windowErrnoText(err)), errnoValue(err) {}

void writeHeaderFile(const std::string& path, const planning::ChannelTable& table, const ExportClock& clock) {
    if (const int err = files::replaceFile(path, headerFileBytes(table, clock), files::Links::Replace))
        throw text::VtError(files::windowFileProblem(path, err, files::Links::Replace));
}

void writeHeaderFile(const files::Walked& folder, const std::string& name, const planning::ChannelTable& table,
                     const ExportClock& clock) {
    const std::string bytes = headerFileBytes(table, clock);
    const files::Walked found = files::walkFrom(folder, name, files::Links::Replace);
    if (const int err = files::replaceFound(found, [&](int fd) { return files::writeAll(fd, bytes); }))
        throw text::VtError(files::windowFileProblem(files::joinPath(folder.path, name), err, files::Links::Replace));
}

planning::ChannelTable readHeaderFile(const std::string& path) { return readHeaderFile(files::InputFile(path)); }

planning::ChannelTable readHeaderFile(const files::InputFile& in) {
    std::string bytes;
    if (const int err = files::readOpened(in, bytes)) throw ReadError(err);
    return parseHeader(bytes);
}

}  // namespace headerfile
