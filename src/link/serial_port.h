#pragma once

#include "core/clock.h"
#include "link/byte_source.h"

#include <QByteArray>

namespace zantrel {

// Whether the line can run at baud: one of the standard speeds from 1200 to 921600.
bool LineSpeedSupported(int baud);
// Those speeds for a message: "1200, 2400, ... 460800 or 921600".
QByteArray LineSpeedsText();

// One serial device opened exclusively, raw 8N1 at a given speed.
//
// Threads: open(), close() and writeByte() run on the main thread; read() runs on the reader
// thread, and writeByte() may run while a read waits. The owner stops the reader (and waits
// for it) before it calls close() or open() again, so no read uses a closed descriptor.
class SerialPort final : public ByteSource {
  public:
    SerialPort() = default;
    ~SerialPort() { close(); }
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the device (closing any port this object had open). On failure returns false,
    // leaves the object closed and stores the errno in *err: EBUSY when another descriptor
    // holds the port, EINVAL for a speed that is not supported.
    bool open(const QByteArray& device, int baud, int* err);
    // Discards unread input, releases exclusivity and closes. Output already written still
    // goes out, and the line stays raw: a pseudo-terminal keeps what its master writes until
    // the next open, and cooked settings would echo and rewrite those bytes meanwhile.
    // Does nothing when the port is not open.
    void close();
    // Discards unread input and sets a new speed, keeping the device open and its exclusive
    // hold, so no other program can take it meanwhile. False when the speed cannot be set
    // (the device may be gone); the port then stays open.
    bool reopen(int baud);

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // Reads and drops what the line still brings (the rest of a reply sent to a program that
    // is gone, say) until it has been quiet for 100 ms; for at most 10 s of the clock's time
    // and 64 KiB. Only while no reader runs.
    void drain(Clock& clock);

    // Writes one byte, waiting briefly while the output is full. False when it could not.
    bool writeByte(unsigned char byte);

    // The port's read, as ByteSource describes it.
    ReadResult read(char* buf, int maxBytes, int timeoutMs, int wakeFd, Clock& clock,
                    int quietMs = 0) override;

  private:
    int fd_ = -1;
};

} // namespace zantrel
