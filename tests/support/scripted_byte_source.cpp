#include "scripted_byte_source.h"

#include "test_clock.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace zantrel {

namespace {
bool Readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return fd >= 0 && ::poll(&p, 1, 0) > 0;
}
} // namespace

ScriptedByteSource::ScriptedByteSource() : scriptedFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

ScriptedByteSource::~ScriptedByteSource() {
    ::close(scriptedFd_);
}

void ScriptedByteSource::deliver(const QByteArray& bytes) {
    add({bytes, 0});
}

void ScriptedByteSource::silence(int ms) {
    add({{}, ms});
}

void ScriptedByteSource::add(Entry entry) {
    std::lock_guard lock(mutex_);
    script_.push_back(std::move(entry));
    const uint64_t one = 1;
    [[maybe_unused]] auto written = ::write(scriptedFd_, &one, sizeof one);
}

int ScriptedByteSource::reads() const {
    std::lock_guard lock(mutex_);
    return reads_;
}

bool ScriptedByteSource::waiting() const {
    std::lock_guard lock(mutex_);
    return waiting_;
}

ReadResult ScriptedByteSource::read(char* buf, int maxBytes, int timeoutMs, int wakeFd,
                                    Clock& clock, int quietMs) {
    auto& testClock = dynamic_cast<TestClock&>(clock);
    int remaining = timeoutMs;
    std::unique_lock lock(mutex_);
    ++reads_;
    for (;;) {
        if (Readable(wakeFd)) return {0, ReadResult::Woken, 0};
        if (script_.empty()) {
            uint64_t drained;
            [[maybe_unused]] auto got = ::read(scriptedFd_, &drained, sizeof drained);
            waiting_ = true;
            lock.unlock();
            pollfd fds[2] = {{scriptedFd_, POLLIN, 0}, {wakeFd, POLLIN, 0}};
            while (::poll(fds, 2, -1) < 0 && errno == EINTR) {
            }
            lock.lock();
            waiting_ = false;
            continue;
        }
        Entry& next = script_.front();
        if (next.silenceMs > 0) {
            const int passed = std::min(next.silenceMs, remaining);
            testClock.advanceMs(passed);
            remaining -= passed;
            next.silenceMs -= passed;
            if (next.silenceMs == 0) script_.pop_front();
            if (remaining == 0) return {0, ReadResult::TimedOut, 0};
            continue;
        }
        const int count = static_cast<int>(std::min<qsizetype>(maxBytes, next.bytes.size()));
        std::memcpy(buf, next.bytes.constData(), static_cast<size_t>(count));
        next.bytes.remove(0, count);
        if (next.bytes.isEmpty()) script_.pop_front();
        if (count == maxBytes) return {count, ReadResult::Ok, 0};
        if (quietMs > 0) return {count, ReadResult::Quiet, 0};
        testClock.advanceMs(remaining);
        return {count, ReadResult::TimedOut, 0};
    }
}

} // namespace zantrel
