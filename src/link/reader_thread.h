#pragma once

#include <QByteArray>
#include <atomic>
#include <functional>
#include <thread>

namespace zantrel {

class SerialLink;
class Clock;
struct State;

// Silence after which the reader reports a time-out of the phase in hand.
inline constexpr double kWatchdogSeconds = 20;

// The reader thread: reads the port in a loop, frames what arrives by phase and hands each
// delivery to the main thread; between reads it watches the link for 20 seconds of silence,
// retries or cancels after data errors and fires the download schedule. Every effect it
// has runs as a hand-off on the main thread while it waits.
class TRead {
public:
    explicit TRead(SerialLink& link);
    // Stops the thread and joins it.
    ~TRead();
    TRead(const TRead&) = delete;
    TRead& operator=(const TRead&) = delete;

    void start();
    // Noticed at once: a blocked read or hand-off wait returns, a pending hand-off is
    // cancelled, and the thread ends without touching the port again.
    void requestStop();

private:
    void Execute();
    bool handoff(const std::function<void()>& fn);
    bool stopping() const { return stop_.load(); }
    bool waitFor(int ms);
    int readPort(int maxBytes);
    void frame();
    bool detectVersion();
    int readSize() const;

    // Hand-offs.
    void InitLineCount();
    void AutoScheduleTick();
    void CancelUpload();
    void RetryData();
    void ReportTimeout();
    void ReceiveHeader(int requested);
    void FinishVersion1Header(bool rh);
    void ReceiveData();
    void ReceiveIdle();
    void PortLost();

    SerialLink& link_;
    State& state_;
    Clock& clock_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    int wakeFd_ = -1;

    // Reader globals: touched by the loop and by its hand-offs, never at once.
    char RxRaw[50] = {};
    QByteArray RxText;
    int RxRead = 0;
    int HeaderLineCount = 0;
    int RetryCount = 0;
    bool EscapePending = false;
    bool lost_ = false;
    // A version-1 header reached its 26th line feed at the end of a full read: the line
    // must go quiet before it counts as complete (an RH model sends 38 lines).
    bool headerEndPending_ = false;
};

} // namespace zantrel
