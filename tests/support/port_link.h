#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace zantrel {

// A symbolic link standing for a serial device that keeps its name: pointed at one simulated
// logger's pseudo-terminal and, once that logger is gone, at the next one's.
class PortLink {
  public:
    PortLink(const QString& link, const QString& device) : link_(link) { point(device); }
    ~PortLink() { QFile::remove(link_); }
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    void point(const QString& device) {
        QFile::remove(link_);
        QFile::link(device, link_);
    }
    QByteArray port() const { return link_.toLocal8Bit(); }

  private:
    QString link_;
};

} // namespace zantrel
