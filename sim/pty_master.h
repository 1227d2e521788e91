#pragma once

#include <QString>

namespace zantrel::sim {

// The master side of a pseudo-terminal, opened non-blocking. The line is made raw (no echo, no
// line-end translation, 8 bits, 19200 baud) through the master before anyone opens the slave.
//
// The slave is held open too, from open() until the next open() or the end of the object, even
// after close(). A pseudo-terminal's number goes to the next one opened as soon as nobody holds
// it; held, a program still trying a vanished logger's device name is told the line is gone
// instead of opening whatever terminal got that number next.
class PtyMaster {
  public:
    PtyMaster() = default;
    ~PtyMaster();
    PtyMaster(const PtyMaster&) = delete;
    PtyMaster& operator=(const PtyMaster&) = delete;

    bool open(QString* error);
    // Hangs up the line: the program's side reads end of line from now on.
    void close();
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // The device a program opens to talk to the logger, e.g. /dev/pts/3.
    QString slavePath() const { return slavePath_; }
    // The speed the slave side's line is set to, in baud; 0 when unknown.
    int lineBaud() const;
    // True while bytes written to the master wait to be read on the slave side (or when that
    // cannot be told).
    bool slaveHasUnread() const;

  private:
    void releaseSlave();

    int fd_ = -1;
    int heldSlave_ = -1;
    QString slavePath_;
};

} // namespace zantrel::sim
