#pragma once

#include <QString>

namespace zantrel::sim {

// The master side of a pseudo-terminal, opened non-blocking. The line is made raw (no echo, no
// line-end translation, 8 bits, 19200 baud) through the master before anyone opens the slave.
class PtyMaster {
  public:
    PtyMaster() = default;
    ~PtyMaster() { close(); }
    PtyMaster(const PtyMaster&) = delete;
    PtyMaster& operator=(const PtyMaster&) = delete;

    bool open(QString* error);
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
    int fd_ = -1;
    QString slavePath_;
};

} // namespace zantrel::sim
