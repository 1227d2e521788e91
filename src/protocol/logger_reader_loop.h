#pragma once

#include "link/reader_thread.h"
#include "protocol/header_reception.h"
#include "protocol/schedule_ticker.h"

#include <QByteArray>
#include <functional>
#include <memory>

namespace zantrel {

class Clock;
class Host;
class SerialLink;
struct State;

// Silence after which the reader reports a time-out of the phase in hand.
inline constexpr double kWatchdogSeconds = 20;
// Pace at which a lost device is tried again.
inline constexpr int kReconnectSeconds = 5;

// What the reader thread does with the logger's bytes: frames what arrives by phase and hands
// each delivery to the main thread; between reads it watches the link for 20 seconds of
// silence, retries or cancels after data errors and ticks the download schedule. When the
// device goes away it ends the upload in hand and tries the device again at a steady pace.
class LoggerReaderLoop : public ReaderLoop {
  public:
    // ticker runs when the next automatic download falls due; repeatBlock requests the
    // current block again (the retry after a corrupt block).
    LoggerReaderLoop(State& state, Clock& clock, SerialLink& link, Host& host,
                     std::unique_ptr<ScheduleTicker> ticker, std::function<void()> repeatBlock);
    void Execute(TRead& reader) override;

  private:
    bool step();
    bool checkSchedule();
    bool whileLost();
    void frame();
    bool detectVersion();
    int readSize() const;
    bool handsOverWhenQuiet() const;

    // Hand-offs.
    void InitLineCount();
    void CancelUpload();
    void RetryData();
    void ReportTimeout();
    void ReceiveData();
    void ReceiveIdle();
    void portLost();
    void postponeWhileLost();
    void tryReopen();

    State& state_;
    Clock& clock_;
    SerialLink& link_;
    Host& host_;
    std::unique_ptr<ScheduleTicker> ticker_;
    std::function<void()> repeatBlock_;
    TRead* reader_ = nullptr;

    // Reader globals: touched by the loop and by its hand-offs, never at once.
    char RxRaw[50] = {};
    QByteArray RxText;
    int RxRead = 0;
    int RetryCount = 0;
    bool EscapePending = false;
    // The loss was reported; a due download waits for the device to be back.
    bool lostReported_ = false;
    bool postponed_ = false;
    // The header phase's deliveries and line count.
    HeaderReception header_;
};

} // namespace zantrel
