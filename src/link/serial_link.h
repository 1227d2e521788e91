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
    int opensAttempted() const { return opens_; }

private:
    State& state_;
    int opens_ = 0;
};

} // namespace zantrel
