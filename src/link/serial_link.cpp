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
    const QByteArray portText = state_.COMPORT.text();
    if (portText != "NA" && !FastBaudSupported(portText)) {
        // The logger would be told to switch to a speed the line cannot follow.
        ClosePort();
        if (showProblem) showProblem(UnsupportedSpeedMessage(portText));
        state_.UploadData.setEnabled(false);
    } else if (port_.isOpen() && DeviceForPort(portText) == device_) {
        reopenPort();
    } else {
        ClosePort();
        if (portText != "NA") OpenPort();
    }
    state_.COMM.setText("Serial Port (" + PortName(portText) + ")");
}

int SerialLink::phaseBaud() const {
    if (state_.LoggerVersion == 2 && state_.Headerloaded.checked() &&
        !state_.Startloadingheader.checked() && !state_.Startloadingdata.checked() &&
        !state_.WaitOnFastAck.checked() && state_.FastBaud.checked()) {
        const QByteArray fast = FastBaudFromPort(state_.COMPORT.text());
        return fast.isEmpty() ? 57600 : fast.toInt();
    }
    return 19200;
}

void SerialLink::OpenPort() {
    joinRetiredReaders();
    ++opens_;
    const int baud = phaseBaud();
    const QByteArray device = DeviceForPort(state_.COMPORT.text());
    int err = 0;
    if (device == "NA" || !port_.open(device, baud, &err)) {
        openFailure_ = OpenFailureReason(device, err);
        if (showProblem) showProblem(OpenFailureMessage(device, err));
        state_.UploadData.setEnabled(false);
        return;
    }
    device_ = device;
    startReader(baud);
}

// The same device at the speed the phase asks for, after the pauses of a close and an open.
// The device stays open, so it stays this program's own: closing it for the pauses would let
// another program take the logger. What arrives meanwhile is dropped, as a closed port would,
// and so is whatever the line still brings until it goes quiet.
void SerialLink::reopenPort() {
    stopReader();
    clock_.sleep(250);
    clock_.sleep(250);
    joinRetiredReaders();
    const int baud = phaseBaud();
    if (!port_.reopen(baud)) {
        // A device that went away meanwhile: opened afresh, or reported as any open is.
        port_.close();
        OpenPort();
        return;
    }
    port_.drain(clock_);
    startReader(baud);
}

void SerialLink::startReader(int baud) {
    baud_ = baud;
    openFailure_.clear();
    // A reopen during an upload (the session's own, or the speed switch) leaves "Upload
    // Data" as the session set it: pressing it again would start over mid-transfer.
    if (!state_.AbortUpload.enabled()) state_.UploadData.setEnabled(true);
    reader_ = std::make_unique<TRead>(port_, baud, clock_, handoffs_, makeReaderLoop());
    reader_->start();
}

void SerialLink::ClosePort() {
    stopReader(); // also one that tries a lost device again
    if (!port_.isOpen()) return;
    clock_.sleep(250);
    port_.close();
    clock_.sleep(250);
}

void SerialLink::closeLostPort() {
    port_.close();
}

bool SerialLink::reconnect() {
    ++opens_;
    const int baud = phaseBaud();
    int err = 0;
    if (!port_.open(device_, baud, &err)) return false;
    stopReader();
    startReader(baud);
    return true;
}

void SerialLink::stopReader() {
    if (!reader_) return;
    reader_->requestStop();
    if (handoffs_.runningOwner() == reader_.get())
        retired_.push_back(std::move(reader_));
    else
        reader_.reset(); // joins
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
    // A speed the line cannot run is not kept: choosing a port is the way past its message.
    if (old != "NA" && FastBaudSupported(old)) state_.COMPORT.setText(PortWithTail(portText, old));
    const QByteArray problem = SaveSetting(state_.COMPORT, state_.ThisAppDir.text(), kComportFile);
    if (!problem.isEmpty() && showProblem) showProblem(problem);
}

} // namespace zantrel
