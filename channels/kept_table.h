#pragma once
// The channel table kept between runs, while the operator asks for it: the register header
// last-channels.h in a folder of the state home that is the operator's alone. Where it lives,
// whether that place may be used, and whether a close may replace the file without asking.
#include <optional>
#include <string>

#include "files/file_read.h"
#include "headerfile/header_text.h"
#include "planning/channel_table.h"

namespace channels {

class KeptTable {
public:
    // The folder and the file; "" when neither XDG_STATE_HOME nor HOME names a place.
    static std::string folder();
    static std::string path();

    // Why the table can be neither opened nor kept at all; "" when it can (a folder not yet
    // there is made, private, at the close).
    static std::string noPlace();

    // At the start: the kept file as it is now, to open; nullopt when there is none.
    static std::optional<files::FileStamp> lookForFile();
    // The start opened it whole, as it was when looked for.
    void opened(const files::FileStamp& stamp) { opened_ = stamp; }

    // At the close: the folder, made private when missing (text::VtError when it cannot be made).
    // Why the table is not kept there; "" when it may be.
    std::string prepareFolder() const;
    // A file that this start did not open, or that changed since (it failed to load, another
    // header was given, the box was ticked later, another run wrote it) may be the operator's
    // only copy: replaced only when the operator says so. true when there is none, or it is
    // still as this start opened it or this window last wrote it.
    bool replaceableWithoutAsking() const;
    // Writes the table, which is this window's own from then on.
    void write(const planning::ChannelTable& table, const headerfile::ExportClock& clock);

private:
    // The kept table as this start opened it or this window last wrote it; empty when neither
    // (absent, unreadable, not wanted, or a header of the command line taken instead).
    std::optional<files::FileStamp> opened_;
};

}  // namespace channels
