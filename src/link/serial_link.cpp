#include "link/serial_link.h"

#include "core/clock.h"
#include "core/handoff_queue.h"
#include "core/settings_files.h"
#include "core/state.h"
#include "link/port_text.h"
#include "link/reader_thread.h"

namespace zantrel {

SerialLink::SerialLink(State& state, Clock& clock, HandoffQueue& handoffs)
    : state_(state), clock_(clock), handoffs_(handoffs) {}

SerialLink::~SerialLink() {
    ClosePort();
    joinRetiredReaders();
}

void SerialLink::COMPORTChange() {
    ClosePort();
    if (state_.COMPORT.text() != "NA") OpenPort();
    state_.COMM.setText("Serial Port (" + PortName(state_.COMPORT.text()) + ")");
}

void SerialLink::OpenPort() {
    joinRetiredReaders();
    ++opens_;
    const QByteArray portText = state_.COMPORT.text();
    int baud = 19200;
    if (state_.LoggerVersion == 2 && state_.Headerloaded.checked() &&
        !state_.Startloadingheader.checked() && !state_.Startloadingdata.checked() &&
        !state_.WaitOnFastAck.checked() && state_.FastBaud.checked()) {
        const QByteArray fast = FastBaudFromPort(portText);
        baud = fast.isEmpty() ? 57600 : fast.toInt();
    }
    const QByteArray device = DeviceForPort(portText);
    int err = 0;
    if (device == "NA" || !port_.open(device, baud, &err)) {
        if (showProblem) showProblem(OpenFailureMessage(device, err));
        state_.UploadData.setEnabled(false);
        return;
    }
    baud_ = baud;
    // A reopen during an upload (the session's own, or the speed switch) leaves "Upload
    // Data" as the session set it: pressing it again would start over mid-transfer.
    if (!state_.AbortUpload.enabled()) state_.UploadData.setEnabled(true);
    reader_ = std::make_unique<TRead>(port_, baud, clock_, handoffs_, makeReaderLoop());
    reader_->start();
}

void SerialLink::ClosePort() {
    if (!port_.isOpen()) return;
    if (reader_) {
        reader_->requestStop();
        if (handoffs_.runningOwner() == reader_.get())
            retired_.push_back(std::move(reader_));
        else
            reader_.reset(); // joins
    }
    clock_.sleep(250);
    port_.close();
    clock_.sleep(250);
}

void SerialLink::joinRetiredReaders() {
    // Only readers whose hand-off has returned can be joined here.
    std::erase_if(retired_, [this](const std::unique_ptr<TRead>& r) {
        return handoffs_.runningOwner() != r.get();
    });
}

void SerialLink::SendByte(unsigned char byte) {
    if (port_.isOpen()) port_.writeByte(byte);
}

void SerialLink::SavePort(const QByteArray& portText) {
    const QByteArray old = state_.COMPORT.text();
    // Choosing the port in use reopens it all the same.
    if (old == portText)
        COMPORTChange();
    else
        state_.COMPORT.setText(portText);
    if (old != "NA") state_.COMPORT.setText(PortWithTail(portText, old));
    SaveSlotToFile(state_.COMPORT, SettingsPath(state_.ThisAppDir.text(), kComportFile));
}

} // namespace zantrel
