#pragma once
// Trs232c: the serial port component. Holds the port's configuration as properties, opens and
// configures the port in one step (Open), moves blocks and single bytes with a time limit per
// operation, and reports line and receive events on the GUI thread through its event thread.
// Failures are reported only as false (Open's messages appear when debug is true; lastError
// says why an Open failed).
// Every operation runs on the GUI thread: the thread that made the component, whose events the
// host runs (serial/host.h). Free of Qt; texts are UTF-8.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "protocol/line_speeds.h"
#include "serial/commapi.h"
#include "serial/event_window.h"
#include "serial/notify_event.h"

class tcommthread;

enum rsflow : int {
    dfBinary = 0,
    dfParity,
    dfOutxCtsFlow,
    dfOutxDsrFlow,
    dfDtrControl_b0,
    dfDtrControl_b1,
    dfDsrSensitivity,
    dfTXContinueOnXoff,
    dfOutX,
    dfInX,
    dfErrorChar,
    dfNull,
    dfRtsControl_b0,
    dfRtsControl_b1,
    dfAbortOnError,
};

// A set of rsflow members kept in 16 bits; member i stands for bit i of flowflag.
class rsflowset {
public:
    constexpr rsflowset() = default;
    constexpr rsflowset(std::initializer_list<rsflow> members) {
        for (rsflow m : members) bits_ |= static_cast<std::uint16_t>(1u << m);
    }
    static constexpr rsflowset fromBits(std::uint16_t bits) {
        rsflowset s;
        s.bits_ = bits & 0x7FFF;
        return s;
    }
    constexpr bool contains(rsflow m) const { return (bits_ >> m) & 1u; }
    constexpr std::uint16_t bits() const { return bits_; }
    friend constexpr bool operator==(rsflowset, rsflowset) = default;

private:
    std::uint16_t bits_ = 0;
};

class Trs232c {
public:
    // The component, closed, talking to the platform's comm layer (defaultLayer()).
    Trs232c();
    // The same on another comm layer (not owned; must outlive the component).
    explicit Trs232c(commapi::CommLayer& layer);
    ~Trs232c();
    Trs232c(const Trs232c&) = delete;
    Trs232c& operator=(const Trs232c&) = delete;

    bool Open();
    bool Close();
    bool Read(void* buffer, std::int32_t count);
    bool Write(const void* data, std::int32_t count);
    bool ReadByte(std::uint8_t& b);
    bool WriteByte(std::uint8_t b);
    std::int32_t InQueueCount();
    bool SetRTS(bool on);
    bool SetDTR(bool on);

    // Published properties: getter named as the property, setter "set" + the property name.
    std::int32_t charbit() const { return charbit_; }
    void setcharbit(std::int32_t v) { charbit_ = v; }
    std::string stopbit() const { return stopbit_; }
    void setstopbit(const std::string& v) { stopbit_ = v; }
    std::int32_t bps() const { return bps_; }
    void setbps(std::int32_t v) { bps_ = v; }
    std::string portname() const { return portname_; }
    void setportname(const std::string& v) { portname_ = v; }
    std::int32_t rxbuffsize() const { return rxbuffsize_; }
    void setrxbuffsize(std::int32_t v) { rxbuffsize_ = v; }
    std::int32_t txbuffsize() const { return txbuffsize_; }
    void settxbuffsize(std::int32_t v) { txbuffsize_ = v; }
    std::int32_t readinterval() const { return readinterval_; }
    void setreadinterval(std::int32_t v) { readinterval_ = v; }
    std::int32_t txtimeout() const { return txtimeout_; }
    void settxtimeout(std::int32_t v) { txtimeout_ = v; }
    std::int32_t rxtimeout() const { return rxtimeout_; }
    void setrxtimeout(std::int32_t v) { rxtimeout_ = v; }
    std::string paritymode() const { return paritymode_; }
    void setparitymode(const std::string& v) { paritymode_ = v; }
    std::int32_t flowflag() const { return flowflag_; }
    void setflowflag(std::int32_t v) { flowflag_ = v; }
    std::int32_t packetsize() const { return packetsize_.load(std::memory_order_relaxed); }
    void setpacketsize(std::int32_t v) { packetsize_.store(v, std::memory_order_relaxed); }
    // Set view of bits 0 to 14 of flowflag; writing it replaces the whole flag word.
    rsflowset flow() const { return rsflowset::fromBits(static_cast<std::uint16_t>(flowflag_)); }
    void setflow(rsflowset v) { flowflag_ = v.bits(); }
    bool debug() const { return debug_; }
    void setdebug(bool v) { debug_ = v; }
    std::int32_t XonLim() const { return XonLim_; }
    void setXonLim(std::int32_t v) { XonLim_ = v; }
    std::int32_t XoffLim() const { return XoffLim_; }
    void setXoffLim(std::int32_t v) { XoffLim_ = v; }
    char XonChar() const { return XonChar_; }
    void setXonChar(char v) { XonChar_ = v; }
    char XoffChar() const { return XoffChar_; }
    void setXoffChar(char v) { XoffChar_ = v; }
    char ErrorChar() const { return ErrorChar_; }
    void setErrorChar(char v) { ErrorChar_ = v; }
    char EofChar() const { return EofChar_; }
    void setEofChar(char v) { EofChar_ = v; }
    char EvtChar() const { return EvtChar_; }
    void setEvtChar(char v) { EvtChar_ = v; }

    // Events, in their published order. Assign on the GUI thread: rs232c1.OnRXCHAR = handler;
    // serial/port_events.h ties the first nine and OnPACKET to their comm events and messages.
    TNotifyEvent OnBREAK;
    TNotifyEvent OnCTS;
    TNotifyEvent OnDSR;
    TNotifyEvent OnERR;
    TNotifyEvent OnRING;
    TNotifyEvent OnRLSD;
    TNotifyEvent OnRXCHAR;
    TNotifyEvent OnRXFLAG;
    TNotifyEvent OnTXEMPTY;
    TNotifyEvent OnCreate;  // never called: nothing can assign it before the constructor has run
    TNotifyEvent OnOpen;
    TNotifyEvent OnClose;
    TNotifyEvent OnPACKET;

    // Read-only views for tests and diagnostics.
    bool isOpen() const { return isopen_; }
    commapi::DWORD eventMask() const { return eventmask_; }
    bool threadRunning() const { return eventthread_ != nullptr; }
    // Why the last Open that reached the comm layer failed, as an errno value (ENOENT: no such
    // device, ENOTTY: not a serial device, EBUSY or EWOULDBLOCK: in use); 0 after a success.
    int lastError() const { return lastError_; }

    // Event thread: turns the events of its last wait into messages to the hidden window.
    void PostEvents();
    // GUI thread: the hidden window's procedure; true when the message was one of ours.
    bool EventWindowProc(const TPortMessage& message);

private:
    // Private data members end in an underscore; those the original design names keep its
    // spelling before it (commhandle_, isopen_), properties are stored as name_ (bps_).
    friend class tcommthread;
    // A handle that Close has taken out of the component and closes once OnClose is over.
    struct PendingClose {
        std::unique_ptr<commapi::CommPort> handle;
        bool ok = true;
    };
    // Closes what p holds (at most once); the result of that close.
    static bool releaseHandle(PendingClose& p);
    void showDebug(const char* text) const;
    // Open's steps, from the properties and the handlers; false when the port refuses them.
    bool applyState();
    bool applyTimeouts();
    void watchEvents();
    void startEventThread();
    // PostEvents' rules for the receive bit (the event thread).
    bool packetDue();
    bool rxcharDue();
    void postMessage(int message);
    void deliverRxChar(std::uint32_t generation);
    void afterRxChar(std::uint32_t generation, std::uint64_t takenBefore);

    commapi::CommLayer& layer_;
    std::unique_ptr<commapi::CommPort> commhandle_;  // owner: GUI thread; the event thread uses it while open
    commapi::DCB commstate_;                         // GUI thread
    commapi::COMMTIMEOUTS commtimeouts_;             // GUI thread
    commapi::DWORD eventmask_ = 0;                   // GUI thread
    std::atomic<std::int32_t> rxqueued_{0};          // written by the event thread (and Open before it starts)
    std::unique_ptr<tcommthread> eventthread_;       // owner: GUI thread; created by Open, destroyed by Close

    // Properties: GUI thread, except packetsize (also read by the event thread).
    std::int32_t bps_ = protocol::kDefaultBaud;
    std::int32_t rxbuffsize_ = 1024;
    std::int32_t txbuffsize_ = 1024;
    std::string portname_ = "COM1";
    std::int32_t charbit_ = 8;
    std::string stopbit_ = "1";
    std::int32_t readinterval_ = 0;
    std::int32_t rxtimeout_ = 30000;
    std::int32_t txtimeout_ = 30000;
    std::string paritymode_ = "無し";
    std::int32_t flowflag_ = 1;
    std::int32_t XonLim_ = 0;
    std::int32_t XoffLim_ = 0;
    char XonChar_ = 17;
    char XoffChar_ = 19;
    char ErrorChar_ = 0;
    char EofChar_ = 0;
    char EvtChar_ = 0;
    bool debug_ = false;
    int lastError_ = 0;  // GUI thread

    bool isopen_ = false;     // GUI thread
    bool usethread_ = false;  // GUI thread
    std::atomic<std::int32_t> packetsize_{0};
    // Messages posted under an older generation are dropped on delivery: they belong to a
    // port that has been closed since. Written by the GUI thread, read by the event thread.
    std::atomic<std::uint32_t> generation_{0};
    // One OnRXCHAR message at a time is on its way or being handled (a flood would otherwise
    // fill the GUI thread's queue); arrivals meanwhile are remembered, and another message
    // follows once the handler returns. Written by both threads, compare-and-swap only.
    enum RxcharState : int { kRxIdle, kRxInFlight, kRxInFlightMore };
    std::atomic<int> rxcharState_{kRxIdle};
    std::uint64_t rxTaken_ = 0;                  // bytes taken by Read so far, GUI thread: did a handler take any?
    PendingClose* closing_ = nullptr;            // the close whose OnClose runs now; GUI thread
    bool destroying_ = false;                    // GUI thread: no Open from the destructor's OnClose
    std::unique_ptr<TEventWindow> eventwindow_;  // owner: GUI thread, lives as long as the component
    std::uint8_t onebyte_ = 0;
};
