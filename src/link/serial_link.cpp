#include "link/serial_link.h"

#include "app/state.h"

namespace zantrel {

SerialLink::SerialLink(State& state) : state_(state) {}

void SerialLink::COMPORTChange() {
    ClosePort();
    if (state_.COMPORT.text() != "NA") ++opens_;
    state_.COMM.setText("Serial Port (" + state_.COMPORT.text() + ")");
}

void SerialLink::ClosePort() {}

void SerialLink::SendByte(unsigned char) {}

void SerialLink::SavePort(const QByteArray& portText) { state_.COMPORT.setText(portText); }

} // namespace zantrel
