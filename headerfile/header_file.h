#pragma once
// The register header on disk: written by the window's export ("header file", "Save…" and the
// table kept between runs) and read back by "Open…", vtctl and the next start.
#include <string>

#include "files/file_read.h"
#include "files/links.h"
#include "headerfile/header_text.h"
#include "planning/channel_table.h"
#include "text/vt_error.h"

namespace headerfile {

// A header file that could not be read: the window's text, and the errno behind it for a tool
// that says it in words of its own.
struct ReadError : text::VtError {
    explicit ReadError(int errnoValue);
    int errnoValue;
};

// Writes the table's header to path as one atomic replace; a link under the name is replaced,
// never written through. Throws text::VtError with the runtime's I/O text on failure (and why,
// for a refusal of the rules of links and shared folders), leaving what was there before
// untouched.
void writeHeaderFile(const std::string& path, const planning::ChannelTable& table, const ExportClock& clock);
// The same into name in a folder a walk found, whatever the folder's path holds by now.
void writeHeaderFile(const files::Walked& folder, const std::string& name, const planning::ChannelTable& table,
                     const ExportClock& clock);

// Reads a header the program (or anybody) made: a regular file of bounded size only, opened
// without blocking. Throws ReadError when it cannot be read, HeaderFormatError when it is not a
// header; a table is read whole or not at all.
planning::ChannelTable readHeaderFile(const std::string& path);
// The same from a file opened already.
planning::ChannelTable readHeaderFile(const files::InputFile& in);

}  // namespace headerfile
