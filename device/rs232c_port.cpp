#include "device/rs232c_port.h"

#include "serial/commapi.h"
#include "serial/rs232c.h"

namespace device {

void Rs232cPort::setbps(std::int32_t bps) { port_.setbps(bps); }
void Rs232cPort::setportname(const QString& name) { port_.setportname(name); }
bool Rs232cPort::Open() { return port_.Open(); }
QString Rs232cPort::openFailureReason() const {
    return QString::fromStdString(commapi::openFailureReason(port_.portname().toStdString(), port_.lastError()));
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
