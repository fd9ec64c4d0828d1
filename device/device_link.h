#pragma once
// The window's side of the link to the unit: connect and disconnect, the commands with their
// reply handshake, and the capture of every received byte. The window calls one member from
// each of its handlers; everything runs on the thread that made the link (the window's GUI
// thread; vtctl gives each port a thread of its own), whose events the host runs (serial/host.h):
// a reply wait is a nested run of them. Free of Qt; texts are UTF-8.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/device_view.h"
#include "device/link_fields.h"
#include "device/link_port.h"
#include "planning/channel_table.h"
#include "serial/host.h"

namespace device {

// The status log's line for a command that stopped without its reply. What happened is the
// command's Outcome: the line is for the operator only.
inline const char* const kNoReplyLine = "No reply from the unit";
// The status log's line for a command or key refused because a Write is still sending its image.
inline const char* const kWriteBusyLine = "A Write is still sending its image: this command sent nothing";

// How a command ended, and how each of its reply waits ends (a wait never ends NotAllSent or Busy).
enum class Outcome {
    Reply,       // every byte went out and every reply came (a wait: a byte arrived, RxSeen became 1)
    NotAllSent,  // every reply came, but a byte could not be sent: the unit may not hold what it answered
    NoLine,      // the port was closed, or the unit cannot be reached any more
    Closing,     // the window is closing, or the application is ending
    TimedOut,    // no reply within the limit
    // A command started inside a wait of a Write: refused, nothing sent, kWriteBusyLine in the
    // status log. The unit would take its bytes into the image and hold a table nobody sent,
    // while the Write could still end as done.
    Busy,
};

// Every reply the command waited for came, whether or not each byte went out.
constexpr bool everyReplyCame(Outcome o) { return o == Outcome::Reply || o == Outcome::NotAllSent; }

class DeviceLink {
public:
    DeviceLink(LinkPort& port, DeviceView& view);
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // "Open" (closeFirst) and the start-up connect of FormCreate (not closeFirst).
    // The texts are those of the selected items of the baud and port lists ("" for none).
    void connect(const std::string& baudItemText, const std::string& portItemText, bool closeFirst);
    void disconnect();  // "Close"

    void onOpen();    // rs232c1Open
    void onClose();   // rs232c1Close
    void onRxChar();  // rs232c1RXCHAR
    void onPacket();  // rs232c1PACKET

    // The commands: each returns how it ended; a wait that ends without its reply also puts
    // kNoReplyLine into the status log, and the command sends nothing more.
    // "Initialize" (also the charge-pump "UpGain" label) with protocol::kInitialize; the
    // RemoteControl buttons "ch0" ... "ch7" with protocol::channelCommand(0 ... 7).
    Outcome simpleCommand(char letter);
    Outcome dump();                                      // "Dump"
    Outcome write(const planning::ChannelTable& table);  // "Write"; Reply: the unit holds the table
    void viewBuffer();                                   // "View Buffer"
    void sendKey(const std::string& typed);              // a key typed for the unit: the character's byte(s)
    void sendByte(std::uint8_t b);                       // the same for a byte given as it is
    void sendReturn();                                   // "send"

    // Call when the window is asked to close. True while a command waits: the window must then
    // ignore this close; the wait ends, and once the last command has unwound the link calls
    // DeviceView::resumeClose(). False: no command waits, close as usual.
    bool deferClose();
    // The line is gone (the device vanished): waiting commands stop, and so does every command
    // until the next open. The receive handler calls it itself when the open port reports no
    // queue (InQueueCount < 0).
    void lineLost();

    bool waiting() const { return depth_ > 0; }
    // Received bytes reach the status log within this time (at once when the log was quiet).
    static constexpr int kLogCoalesceMs = 10;
    static constexpr int kDrainSlice = 2048;
    static constexpr int kLogFlushChars = 3 * kDrainSlice;
    void setReplyLimit(std::chrono::milliseconds limit) { replyLimit_ = limit; }

    LinkFields fields;  // the working fields; owner: this link, GUI thread

private:
    class CommandScope;
    class Exchange;
    struct Wait;

    bool send(std::uint8_t b);
    Outcome awaitReply();
    Outcome replied(bool sent);  // waits; on anything but a reply logs the no-reply line
    bool refusedDuringWrite();   // says so in the status log
    void wakeWaits();
    void stopIdleLimits();
    void drain();
    void logBytes(const std::string& hex);
    void flushLog();

    LinkPort& port_;
    DeviceView& view_;
    host::Host& host_;  // the host in force when the link was made
    std::chrono::milliseconds replyLimit_{2000};
    // A wait's loop and limit timer for each depth of nesting, kept for the next wait there: a
    // Write waits 130 times, and making and destroying them each time would delay every byte.
    // The first depth_ are in progress, innermost last.
    std::vector<std::unique_ptr<Wait>> waits_;
    std::size_t depth_ = 0;
    int commands_ = 0;             // commands in progress (they nest inside waits)
    std::uint64_t lineEpoch_ = 0;  // grows when the port closes or the line is lost
    bool lineGone_ = false;        // the unit cannot be reached until the next open
    bool writing_ = false;         // a Write is sending its image
    bool closeDeferred_ = false;
    // Received bytes not yet in the status log: a burst is logged in one append at most every
    // few milliseconds, so a flood costs the log few appends however fast the bytes come.
    std::string pendingLog_;
    std::unique_ptr<host::Timer> logTimer_;
    std::optional<std::chrono::steady_clock::time_point> lastAppend_;
    // One receive event reads at most a slice of bytes; what is left is read from this zero
    // timer, so a flood never holds the event loop for long.
    std::unique_ptr<host::Timer> drainTimer_;
};

}  // namespace device
