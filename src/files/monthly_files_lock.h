#pragma once

#include <QByteArray>
#include <memory>

namespace zantrel {

// Keeps every other process away from the monthly files named after one path (all months,
// both channels) while it is held: two programs appending to one month's files would mix
// their header blocks and scrambling. The lock is a hidden file beside the path
// (".site.lock" for "site.csv") that names the process holding it. Within one process every
// holder of the same path shares the one lock, which is let go with the last of them, or by
// the system when the process ends however it ends.
class MonthlyFilesLock {
  public:
    // The lock for base's monthly files; null, with why saying who holds it or what failed,
    // when it cannot be had.
    static std::shared_ptr<MonthlyFilesLock> acquire(const QByteArray& base, QByteArray& why);

    ~MonthlyFilesLock();
    MonthlyFilesLock(const MonthlyFilesLock&) = delete;
    MonthlyFilesLock& operator=(const MonthlyFilesLock&) = delete;

    const QByteArray& base() const { return base_; }

  private:
    MonthlyFilesLock(const QByteArray& base, int fd) : base_(base), fd_(fd) {}

    QByteArray base_;
    int fd_;
};

} // namespace zantrel
