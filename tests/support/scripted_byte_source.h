#pragma once

#include "link/byte_source.h"

#include <QByteArray>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace zantrel {

// A line that brings what a test scripts, in virtual time. Each delivery is what one read
// returns (a read asking for fewer bytes leaves the rest for the next); a silence lets that
// much of the clock pass with nothing arriving. Once the script is used up, a read waits,
// without time passing, for more script or the wake descriptor.
// The test thread scripts; the reader thread reads.
class ScriptedByteSource final : public ByteSource {
  public:
    ScriptedByteSource();
    ~ScriptedByteSource() override;
    ScriptedByteSource(const ScriptedByteSource&) = delete;
    ScriptedByteSource& operator=(const ScriptedByteSource&) = delete;

    void deliver(const QByteArray& bytes);
    void silence(int ms);
    // Reads begun, a woken one included: how often the reader touched the line.
    int reads() const;
    // A read waits on a used-up script: the reader did all it had to with what came before.
    bool waiting() const;

    ReadResult read(char* buf, int maxBytes, int timeoutMs, int wakeFd, Clock& clock,
                    int quietMs) override;

  private:
    struct Entry {
        QByteArray bytes;
        int silenceMs = 0;
    };
    void add(Entry entry);

    mutable std::mutex mutex_;
    std::deque<Entry> script_;
    int reads_ = 0;
    bool waiting_ = false;
    // Readable while the script holds something: what a waiting read watches.
    int scriptedFd_ = -1;
};

} // namespace zantrel
