#pragma once

#include <QByteArray>

namespace zantrel {

struct State;

// The program's one serial port (placeholder until the port is built: it opens nothing).
class SerialLink {
public:
    explicit SerialLink(State& state);
    void COMPORTChange();
    void ClosePort();
    void SendByte(unsigned char byte);
    // Makes portText the port, keeping the old fast-rate tail, and stores it in COMPORT.DAT.
    void SavePort(const QByteArray& portText);
    int opensAttempted() const { return opens_; }

private:
    State& state_;
    int opens_ = 0;
};

} // namespace zantrel
