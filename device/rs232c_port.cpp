#include "device/rs232c_port.h"

#include "device/device_link.h"
#include "serial/commapi.h"
#include "serial/rs232c.h"

namespace device {

void attachLink(Trs232c& rs232c1, DeviceLink& link) {
    rs232c1.setrxtimeout(kTransferLimitMs);
    rs232c1.settxtimeout(kTransferLimitMs);
    rs232c1.OnRXCHAR = [&link](Trs232c*) { link.onRxChar(); };
    rs232c1.OnOpen = [&link](Trs232c*) { link.onOpen(); };
    rs232c1.OnClose = [&link](Trs232c*) { link.onClose(); };
    rs232c1.OnPACKET = [&link](Trs232c*) { link.onPacket(); };
}

void Rs232cPort::setbps(std::int32_t bps) { port_.setbps(bps); }
void Rs232cPort::setportname(const std::string& name) { port_.setportname(name); }
bool Rs232cPort::Open() { return port_.Open(); }
std::string Rs232cPort::openFailureReason() const {
    return commapi::openFailureReason(port_.portname(), port_.lastError());
}
bool Rs232cPort::Close() { return port_.Close(); }
bool Rs232cPort::isOpen() const { return port_.isOpen(); }
bool Rs232cPort::WriteByte(std::uint8_t b) { return port_.WriteByte(b); }
bool Rs232cPort::ReadByte(std::uint8_t& b) { return port_.ReadByte(b); }
bool Rs232cPort::Read(void* buffer, std::int32_t count) { return port_.Read(buffer, count); }
std::int32_t Rs232cPort::InQueueCount() { return port_.InQueueCount(); }
bool Rs232cPort::SetDTR(bool on) { return port_.SetDTR(on); }
bool Rs232cPort::SetRTS(bool on) { return port_.SetRTS(on); }

}  // namespace device
