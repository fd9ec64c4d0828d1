#pragma once
// What the link needs of the serial component: the narrow layer between the protocol and
// Trs232c, so the protocol can also be driven by a test peer that misbehaves on purpose.
#include <cstdint>
#include <string>

namespace device {

class LinkPort {
public:
    virtual ~LinkPort() = default;
    virtual void setbps(std::int32_t bps) = 0;
    virtual void setportname(const std::string& name) = 0;
    virtual bool Open() = 0;
    // Why the last Open failed, one line for the status log ("" when the port cannot tell).
    virtual std::string openFailureReason() const = 0;
    virtual bool Close() = 0;
    virtual bool isOpen() const = 0;
    virtual bool WriteByte(std::uint8_t b) = 0;
    virtual bool ReadByte(std::uint8_t& b) = 0;
    virtual bool Read(void* buffer, std::int32_t count) = 0;
    virtual std::int32_t InQueueCount() = 0;
    virtual bool SetDTR(bool on) = 0;
    virtual bool SetRTS(bool on) = 0;
};

}  // namespace device
