#pragma once
// What the link shows in the window. The window implements it over its controls; tests record.
// Texts are UTF-8; the window converts them at its own edge.
#include <string>

#include "serial/host.h"

namespace device {

class DeviceView {
public:
    virtual ~DeviceView() = default;
    // The status log. Appends must stay cheap however long the log has grown.
    virtual void appendStatusText(const std::string& text) = 0;  // runs on in the current line
    virtual void appendStatusLine(const std::string& line) = 0;  // a line of its own
    virtual void clearStatus() = 0;
    virtual void showReceiveCount(const std::string& count) = 0;  // receive events since start
    virtual void showBuffer(const std::string& text) = 0;         // the buffer's rows, each ending in CR LF
    virtual void enableOpen(bool on) = 0;                         // the "Open" button
    virtual void enableClose(bool on) = 0;                        // the "Close" button
    // A close of the window was put off while a command waited; the wait has unwound now,
    // so the window may close (post it, do not close from inside this call).
    virtual void resumeClose() = 0;
    // The link's message boxes ("Error", "データ読込みエラー", ...) and its beep. The host's by
    // default (the window's: the operator's notifier, which belongs to the GUI thread): a link
    // on another thread gives a view of its own that keeps them.
    virtual void showMessage(const std::string& text) { host::current().showMessage(text); }
    virtual void beep(unsigned type) { host::current().beep(type); }
};

}  // namespace device
