#pragma once
// The channel table kept between runs, while the operator asks for it: the register header
// last-channels.h in a folder of the state home that is the operator's alone. Where it lives,
// whether that place may be used, and whether a close may replace the file without asking.
// The folder is walked once at the start and once at the close, checked on the descriptor that
// walk kept, and the table is read and replaced relative to it: whoever exchanges names above it
// meanwhile changes nothing the checks did not see.
#include <optional>
#include <string>

#include "files/file_read.h"
#include "files/links.h"
#include "headerfile/header_text.h"
#include "planning/channel_table.h"

namespace channels {

class KeptTable {
public:
    // The folder and the file; "" when neither XDG_STATE_HOME nor HOME names a place.
    static std::string folder();
    static std::string path();

    // At the start: walks to the folder and checks it. Why the table can be neither opened nor
    // kept at all; "" when it can (a folder not yet there is made, private, at the close).
    std::string lookAtFolder();
    // The table kept in the folder looked at, read whole, which this start has opened from then
    // on; nullopt when there is none. Throws headerfile::ReadError or HeaderFormatError.
    std::optional<planning::ChannelTable> read();

    // At the close: the folder, made private when missing (text::VtError when it cannot be made),
    // walked to and checked. Why the table is not kept there; "" when it may be.
    std::string prepareFolder();
    // A file that this start did not open, or that changed since (it failed to load, another
    // header was given, the box was ticked later, another run wrote it) may be the operator's
    // only copy: replaced only when the operator says so. true when there is none in the folder
    // last looked at, or it is still as this start opened it or this window last wrote it.
    bool replaceableWithoutAsking() const;
    // Writes the table into the folder prepared; it is this window's own from then on.
    void write(const planning::ChannelTable& table, const headerfile::ExportClock& clock);

private:
    // The folder as the last walk found it, checked (its error says why it is no place).
    files::Walked folder_;
    // The kept table as this start opened it or this window last wrote it; empty when neither
    // (absent, unreadable, not wanted, or a header of the command line taken instead).
    std::optional<files::FileStamp> opened_;
};

}  // namespace channels
