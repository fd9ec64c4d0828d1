#pragma once
// The ten events that reach the component through its event thread, in one table: the comm
// event that causes each, its message number, its handler and how PostEvents decides to post
// it. Open's event mask, the posting order and EventWindowProc's dispatch all follow from it.
#include <cstddef>
#include <iterator>

#include "serial/commapi.h"
#include "serial/rs232c.h"

namespace portevents {

using commapi::DWORD;

enum class PostRule {
    Assigned,  // posted when its handler is assigned
    Packet,    // takes the count of the input queue (whatever is assigned), then the packet rule
    RxChar,    // one message on its way at a time
};

struct PortEvent {
    DWORD bit;
    int message;
    TNotifyEvent Trs232c::*handler;
    PostRule rule;
};

// In posting order. Messages are WM_APP + 501 ... WM_APP + 510, numbered in that order.
inline constexpr PortEvent kPortEvents[] = {
    {commapi::kEvBreak, 0x81F5, &Trs232c::OnBREAK, PostRule::Assigned},
    {commapi::kEvCts, 0x81F6, &Trs232c::OnCTS, PostRule::Assigned},
    {commapi::kEvDsr, 0x81F7, &Trs232c::OnDSR, PostRule::Assigned},
    {commapi::kEvErr, 0x81F8, &Trs232c::OnERR, PostRule::Assigned},
    {commapi::kEvRing, 0x81F9, &Trs232c::OnRING, PostRule::Assigned},
    {commapi::kEvRlsd, 0x81FA, &Trs232c::OnRLSD, PostRule::Assigned},
    {commapi::kEvRxChar, 0x81FB, &Trs232c::OnPACKET, PostRule::Packet},
    {commapi::kEvRxChar, 0x81FC, &Trs232c::OnRXCHAR, PostRule::RxChar},
    {commapi::kEvRxFlag, 0x81FD, &Trs232c::OnRXFLAG, PostRule::Assigned},
    {commapi::kEvTxEmpty, 0x81FE, &Trs232c::OnTXEMPTY, PostRule::Assigned},
};

inline constexpr int kFirstMessage = 0x8000 + 501;
inline constexpr std::size_t kEventCount = std::size(kPortEvents);

// The row of a message number, or null for a message that is not one of ours.
constexpr const PortEvent* findPortEvent(int message) {
    if (message < kFirstMessage || message >= kFirstMessage + static_cast<int>(kEventCount)) return nullptr;
    return &kPortEvents[message - kFirstMessage];
}

// findPortEvent relies on this: the messages run on from WM_APP + 501 in table order, so that
// is also the order in which one wake-up posts them.
constexpr bool messagesRunInTableOrder() {
    for (std::size_t i = 0; i < kEventCount; ++i) {
        if (kPortEvents[i].message != kFirstMessage + static_cast<int>(i)) return false;
    }
    return true;
}
static_assert(messagesRunInTableOrder());

// The count of the input queue that the packet rule takes comes before either receive
// message: the packet row is the first with the receive bit, the receive row right after it.
constexpr bool packetRowLeadsTheReceiveBit() {
    for (std::size_t i = 0; i < kEventCount; ++i) {
        if (kPortEvents[i].bit == commapi::kEvRxChar) {
            return kPortEvents[i].rule == PostRule::Packet && i + 1 < kEventCount &&
                   kPortEvents[i + 1].rule == PostRule::RxChar && kPortEvents[i + 1].bit == commapi::kEvRxChar;
        }
    }
    return false;
}
static_assert(packetRowLeadsTheReceiveBit());

// The receive message, which the component also posts again on its own (afterRxChar).
constexpr int rxcharMessage() {
    for (const PortEvent& e : kPortEvents) {
        if (e.rule == PostRule::RxChar) return e.message;
    }
    return 0;
}

}  // namespace portevents
