#pragma once

#include "link/serial_port.h"

#include <QByteArray>
#include <functional>
#include <memory>
#include <vector>

namespace zantrel {

class Clock;
class HandoffQueue;
class ReaderLoop;
class TRead;
struct State;

// The program's one serial port: opening it from the port text at the speed the phase
// asks for, the reader thread that runs while it is open, single-byte writes, and the port
// setting (COMPORT.DAT).
class SerialLink {
  public:
    SerialLink(State& state, Clock& clock, HandoffQueue& handoffs);
    ~SerialLink();
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // Change handler of COMPORT; also called directly to reopen at another speed.
    void COMPORTChange();
    void OpenPort();
    // Stops the reader and closes whatever port is open. Safe from inside the reader's own
    // hand-off: the reader then ends as soon as that hand-off returns.
    void ClosePort();
    // From the reader's hand-off when its device went away: closes the port, the reader
    // staying to try the device again.
    void closeLostPort();
    // From that reader's hand-off: opens the same device again, quietly; on success a new
    // reader takes over and the calling one ends. False while the device is still away.
    bool reconnect();
    void SendByte(unsigned char byte);
    // Makes portText the port, keeping the old fast-rate tail, and stores it in COMPORT.DAT.
    void SavePort(const QByteArray& portText);

    bool isOpen() const { return port_.isOpen(); }
    int baudRate() const { return baud_; }
    int opensAttempted() const { return opens_; }
    // Why the last open failed; empty once a port is open.
    const QByteArray& openFailure() const { return openFailure_; }

    // Shows a "Problem" message box.
    std::function<void(const QByteArray&)> showProblem;
    // Makes what each new reader thread runs over the open port.
    std::function<std::unique_ptr<ReaderLoop>()> makeReaderLoop;

  private:
    void reopenPort();
    // The speed the phase asks for: the fast rate once the logger agreed to it, else 19200.
    int phaseBaud() const;
    void startReader(int baud);
    void stopReader();
    void joinRetiredReaders();

    State& state_;
    Clock& clock_;
    HandoffQueue& handoffs_;
    SerialPort port_;
    QByteArray device_; // of the open port
    std::unique_ptr<TRead> reader_;
    // Readers stopped from inside their own hand-off; they end on their own and are
    // joined at the next open or close.
    std::vector<std::unique_ptr<TRead>> retired_;
    int baud_ = 0;
    int opens_ = 0;
    QByteArray openFailure_;
};

} // namespace zantrel
