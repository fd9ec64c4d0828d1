#pragma once
// LinkPort over the window's serial component rs232c1.
#include "device/link_port.h"

class Trs232c;

namespace device {

class DeviceLink;

// The time limit of one read or write on the window's serial component.
inline constexpr std::int32_t kTransferLimitMs = 300;

// Gives rs232c1 the window's time limits and ties its events to link's handlers, as the window
// does: for every other program that drives the unit through the component.
void attachLink(Trs232c& rs232c1, DeviceLink& link);

class Rs232cPort final : public LinkPort {
public:
    explicit Rs232cPort(Trs232c& port) : port_(port) {}
    void setbps(std::int32_t bps) override;
    void setportname(const std::string& name) override;
    bool Open() override;
    std::string openFailureReason() const override;
    bool Close() override;
    bool isOpen() const override;
    bool WriteByte(std::uint8_t b) override;
    bool ReadByte(std::uint8_t& b) override;
    bool Read(void* buffer, std::int32_t count) override;
    std::int32_t InQueueCount() override;
    bool SetDTR(bool on) override;
    bool SetRTS(bool on) override;

private:
    Trs232c& port_;  // not owned: the window's component
};

}  // namespace device
