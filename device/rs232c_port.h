#pragma once
// LinkPort over the window's serial component rs232c1.
#include "device/link_port.h"

class Trs232c;

namespace device {

class Rs232cPort final : public LinkPort {
public:
    explicit Rs232cPort(Trs232c& port) : port_(port) {}
    void setbps(std::int32_t bps) override;
    void setportname(const QString& name) override;
    bool Open() override;
    QString openFailureReason() const override;
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
