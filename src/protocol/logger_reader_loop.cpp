#include "protocol/logger_reader_loop.h"

#include "core/auto_clock.h"
#include "core/clock.h"
#include "core/host.h"
#include "core/state.h"
#include "link/serial_link.h"

namespace zantrel {

namespace {
constexpr int kReadTimeoutMs = 1000;
constexpr int kRetryWaitMs = 2000;
constexpr int kMaxRetries = 3;
constexpr const char* kLostDuringUpload =
    "SERIAL PORT LOST. UPLOAD CANCELLED. Reconnect the logger: trying the port again every 5 "
    "seconds.";
constexpr const char* kLost =
    "SERIAL PORT LOST. Reconnect the logger: trying the port again every 5 seconds.";
constexpr const char* kReopened = "SERIAL PORT REOPENED.";
constexpr char kHexDigits[] = "0123456789ABCDEF";
} // namespace

LoggerReaderLoop::LoggerReaderLoop(State& state, Clock& clock, SerialLink& link, Host& host,
                                   std::unique_ptr<ScheduleTicker> ticker,
                                   std::function<void()> repeatBlock)
    : state_(state), clock_(clock), link_(link), host_(host), ticker_(std::move(ticker)),
      repeatBlock_(std::move(repeatBlock)), header_(state, clock) {}

void LoggerReaderLoop::Execute(TRead& reader) {
    reader_ = &reader;
    if (!reader.handoff([this] { InitLineCount(); })) return;
    while (!reader.stopping() && step()) {
    }
}

// One pass of the loop: the checks between reads, one read and its hand-off. False when the
// reader is to end.
bool LoggerReaderLoop::step() {
    TRead& reader = *reader_;
    if (!checkSchedule()) return false;
    if (!state_.Startloadingdata.checked()) RetryCount = 0;
    if (RetryCount >= kMaxRetries && state_.Errorindata.checked() &&
        !reader.handoff([this] { CancelUpload(); }))
        return false;
    if (RetryCount < kMaxRetries && state_.Errorindata.checked() &&
        state_.Startloadingdata.checked()) {
        // The pause before a retry is the reader's: the window stays responsive, and
        // whatever is left of the corrupt packet is read and dropped meanwhile.
        if (!reader.waitFor(kRetryWaitMs)) return false;
        ++RetryCount;
        if (!reader.lost() && !reader.handoff([this] { RetryData(); })) return false;
    }
    if (clock_.steadySeconds() > state_.Watchdog.steady() + kWatchdogSeconds &&
        !reader.handoff([this] { ReportTimeout(); }))
        return false;
    if (reader.lost()) return whileLost();

    const int requested = readSize();
    RxRead = handsOverWhenQuiet() ? reader.readUntilQuiet(RxRaw, requested, kReadTimeoutMs)
                                  : reader.read(RxRaw, requested, kReadTimeoutMs);
    if (reader.stopping()) return false;
    frame();
    if (!RxText.isEmpty()) {
        if (state_.Startloadingheader.checked()) {
            const bool fullRead = RxRead >= requested;
            if (detectVersion() &&
                !reader.handoff([this, fullRead] { header_.receive(RxText, fullRead); }))
                return false;
        } else if (state_.Startloadingdata.checked() || state_.WaitOnFastAck.checked()) {
            if (!reader.handoff([this] { ReceiveData(); })) return false;
        } else if (!reader.handoff([this] { ReceiveIdle(); })) {
            return false;
        }
    } else if (header_.endPending()) {
        // The line went quiet after the 26th line feed: a temperature-only header.
        if (!reader.handoff([this] { header_.lineQuiet(); })) return false;
    }
    if (state_.Memo2.isEmpty() || (state_.LoggerVersion == 1 && header_.lineCount() > 38) ||
        state_.Errorindata.checked())
        header_.resetLineCount();
    return true;
}

// A download falls due, or the time shown for it is put right after the wall clock was set.
// Without a logger a due download waits for the next try of the port.
bool LoggerReaderLoop::checkSchedule() {
    TRead& reader = *reader_;
    if (state_.AutoOff.checked()) return true;
    if (clock_.steadySeconds() >= state_.AutoClockTime.load() && !state_.InitAutoload.checked())
        return reader.lost() ? reader.handoff([this] { postponeWhileLost(); })
                             : reader.handoff([this] { ticker_->tick(); });
    if (AutoClockShownStale(state_, clock_))
        return reader.handoff([this] { ShowAutoClock(state_, clock_); });
    return true;
}

// The device is gone: the upload in hand ends, and the same device is tried again every few
// seconds until it is back, when a reader of its own takes over.
bool LoggerReaderLoop::whileLost() {
    TRead& reader = *reader_;
    if (!lostReported_) {
        lostReported_ = true;
        if (!reader.handoff([this] { portLost(); })) return false;
    }
    return reader.pause(kReconnectSeconds * 1000) && reader.handoff([this] { tryReopen(); });
}

int LoggerReaderLoop::readSize() const {
    if (state_.Startloadingheader.checked()) return 50;
    if (state_.Startloadingdata.checked()) return state_.WaitingForAck.checked() ? 1 : 50;
    return 1;
}

// A data packet, an acknowledgement and a version-2 header are handed over as soon as the line
// goes quiet after them: their ends are told by what they hold. A version-1 header keeps the
// whole time-out, since a read that came back short after its 26th line feed is what tells a
// temperature model from an RH model, which sends 12 lines more.
bool LoggerReaderLoop::handsOverWhenQuiet() const {
    if (state_.Startloadingheader.checked()) return state_.LoggerVersion == 2;
    return state_.Startloadingdata.checked() || state_.WaitOnFastAck.checked();
}

void LoggerReaderLoop::frame() {
    RxText.clear();
    const bool unescape = state_.LoggerVersion == 2 &&
                          (state_.Startloadingdata.checked() || state_.WaitOnFastAck.checked());
    for (int i = 0; i < RxRead; ++i) {
        const char byte = RxRaw[i];
        if (!unescape) {
            RxText += byte;
        } else if (EscapePending) {
            RxText += byte;
            EscapePending = false;
        } else if (byte == '\\') {
            EscapePending = true;
        } else {
            RxText += byte;
        }
    }
}

bool LoggerReaderLoop::detectVersion() {
    if (state_.LoggerVersion != -1 || header_.lineCount() != 0) return true;
    TRead& reader = *reader_;
    for (int tries = 0; tries < 5 && RxText.size() < 2 && !reader.stopping() && !reader.lost();
         ++tries) {
        char byte;
        if (reader.read(&byte, 1, kReadTimeoutMs) == 1) RxText += byte;
    }
    return RxText.size() >= 2;
}

void LoggerReaderLoop::InitLineCount() {
    header_.resetLineCount();
}

void LoggerReaderLoop::CancelUpload() {
    state_.Edit1.setText("UPLOAD CANCELLED DUE TO CORRUPT DATA OR SERIAL PORT TIMEOUT.");
    state_.restoreIdleControls();
    EscapePending = false;
}

void LoggerReaderLoop::RetryData() {
    if (state_.UploadData.enabled()) return;
    state_.Edit1.setText("DATA ERROR - RETRY (" + QByteArray::number(RetryCount) +
                         ") IN PROCESS...");
    state_.UploadData.setEnabled(false);
    state_.AbortUpload.setEnabled(true);
    state_.RadioButton1.setEnabled(false);
    state_.RadioButton2.setEnabled(false);
    state_.Startloadingdata.clear();
    state_.Errorindata.clear();
    state_.Startloadingdata.tick();
    state_.Startloadingheader.clear();
    state_.Headerloaded.tick();
    state_.Memo5.clear();
    state_.Watchdog.stamp(clock_);
    state_.Readyfornextblock.tick();
    state_.WaitingForAck.tick();
    EscapePending = false;
    clock_.sleep(10);
    if (repeatBlock_) repeatBlock_();
}

void LoggerReaderLoop::ReportTimeout() {
    header_.resetLineCount();
    if (!state_.Errorindata.checked() && !state_.Startloadingdata.checked() &&
        !state_.Startloadingheader.checked() && !state_.WaitOnFastAck.checked())
        return;
    // An upload that already ended keeps the text it ended with.
    if (state_.UploadData.enabled() && !state_.AbortUpload.enabled()) return;
    state_.Edit1.setText("SERIAL COMMUNICATION TIMED OUT.");
    state_.restoreIdleControls();
    if (state_.FastBaud.checked()) {
        link_.SendByte('S');
        state_.FastBaud.clear();
    }
    EscapePending = false;
}

void LoggerReaderLoop::portLost() {
    const bool uploading = state_.AbortUpload.enabled();
    // The automatic download cut short runs again as soon as the logger is back.
    if (state_.InitAutoload.checked()) SetAutoClock(state_, clock_, 0);
    link_.closeLostPort();
    state_.clearPhaseFlags();
    state_.WaitOnFastAck.clear();
    state_.FastBaud.clear();
    state_.restoreIdleControls();
    EscapePending = false;
    const char* status = uploading ? kLostDuringUpload : kLost;
    state_.Edit1.setText(status);
    host_.setTrayTip(status);
}

void LoggerReaderLoop::postponeWhileLost() {
    postponed_ = true;
    SetAutoClock(state_, clock_, kReconnectSeconds);
}

void LoggerReaderLoop::tryReopen() {
    if (!link_.reconnect()) return;
    // A download that fell due meanwhile runs at once.
    if (postponed_) SetAutoClock(state_, clock_, 0);
    state_.Edit1.setText(kReopened);
    host_.setTrayTip(kReopened);
}

void LoggerReaderLoop::ReceiveData() {
    header_.resetLineCount();
    state_.Watchdog.stamp(clock_);
    const qsizetype already = state_.Memo5.length();
    const bool version1 = state_.LoggerVersion == 1;
    QByteArray hex;
    hex.reserve(RxText.size() * 2);
    for (qsizetype i = 0; i < RxText.size(); ++i) {
        const auto byte = static_cast<unsigned char>(RxText[i]);
        if (version1 && already + 2 * i >= 40) {
            hex += static_cast<char>(byte);
        } else {
            hex += kHexDigits[byte >> 4];
            hex += kHexDigits[byte & 15];
        }
    }
    state_.Memo5.append(hex);
    state_.Watchdog.stamp(clock_);
}

void LoggerReaderLoop::ReceiveIdle() {
    state_.Memo3.append(RxText);
}

} // namespace zantrel
