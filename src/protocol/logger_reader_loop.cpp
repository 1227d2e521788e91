#include "protocol/logger_reader_loop.h"

#include "core/clock.h"
#include "core/date_time.h"
#include "core/state.h"
#include "link/serial_link.h"
#include "protocol/header_completeness.h"

namespace zantrel {

namespace {
constexpr int kReadTimeoutMs = 1000;
constexpr int kRetryWaitMs = 2000;
constexpr double kWatchdogDays = kWatchdogSeconds / 86400.0;
constexpr int kMaxRetries = 3;
constexpr char kHexDigits[] = "0123456789ABCDEF";
} // namespace

LoggerReaderLoop::LoggerReaderLoop(State& state, Clock& clock, SerialLink& link,
                                   const FormatSettings& formats, std::function<void()> repeatBlock)
    : state_(state), clock_(clock), link_(link), formats_(formats),
      repeatBlock_(std::move(repeatBlock)) {}

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
    if (!state_.AutoOff.checked() && clock_.now() >= state_.AutoClockTime.load() &&
        !state_.InitAutoload.checked() && !reader.handoff([this] { AutoScheduleTick(); }))
        return false;
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
    if (clock_.now() > state_.Watchdog.value() + kWatchdogDays &&
        !reader.handoff([this] { ReportTimeout(); }))
        return false;
    if (reader.lost()) {
        reader.handoff([this] { PortLost(); });
        return false;
    }

    const int requested = readSize();
    RxRead = reader.read(RxRaw, requested, kReadTimeoutMs);
    if (reader.stopping()) return false;
    frame();
    if (!RxText.isEmpty()) {
        if (state_.Startloadingheader.checked()) {
            if (detectVersion() && !reader.handoff([this, requested] { ReceiveHeader(requested); }))
                return false;
        } else if (state_.Startloadingdata.checked() || state_.WaitOnFastAck.checked()) {
            if (!reader.handoff([this] { ReceiveData(); })) return false;
        } else if (!reader.handoff([this] { ReceiveIdle(); })) {
            return false;
        }
    } else if (headerEndPending_) {
        // The line went quiet after the 26th line feed: a temperature-only header.
        headerEndPending_ = false;
        if (state_.Startloadingheader.checked() && !state_.Headerloaded.checked() &&
            !reader.handoff([this] { FinishVersion1Header(false); }))
            return false;
    }
    if (state_.Memo2.isEmpty() || (state_.LoggerVersion == 1 && HeaderLineCount > 38) ||
        state_.Errorindata.checked())
        HeaderLineCount = 0;
    return true;
}

int LoggerReaderLoop::readSize() const {
    if (state_.Startloadingheader.checked()) return 50;
    if (state_.Startloadingdata.checked()) return state_.WaitingForAck.checked() ? 1 : 50;
    return 1;
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
    if (RxRead > 0) headerEndPending_ = false;
}

bool LoggerReaderLoop::detectVersion() {
    if (state_.LoggerVersion != -1 || HeaderLineCount != 0) return true;
    TRead& reader = *reader_;
    for (int tries = 0; tries < 5 && RxText.size() < 2 && !reader.stopping() && !reader.lost();
         ++tries) {
        char byte;
        if (reader.read(&byte, 1, kReadTimeoutMs) == 1) RxText += byte;
    }
    return RxText.size() >= 2;
}

void LoggerReaderLoop::InitLineCount() {
    HeaderLineCount = 0;
}

void LoggerReaderLoop::AutoScheduleTick() {
    struct Interval {
        const Control* item;
        double days;
    };
    const Interval intervals[] = {{&state_.Auto1hour, 1.0 / 24}, {&state_.Auto4hours, 4.0 / 24},
                                  {&state_.Auto8hrs, 8.0 / 24},  {&state_.Auto24hrs, 1},
                                  {&state_.Auto7day, 7},         {&state_.Auto30day, 30}};
    for (const Interval& interval : intervals) {
        if (!interval.item->checked()) continue;
        const double next = clock_.now() + interval.days;
        state_.AutoClockTime = next;
        state_.AutoClock.setText(FormatDateTimeDefault(next, formats_));
    }
    // An upload started by hand keeps its channel: its later blocks are requested for it.
    if (!state_.AbortUpload.enabled()) {
        const bool channel1 = state_.C1.checked();
        state_.RadioButton1.setChecked(channel1);
        state_.RadioButton2.setChecked(!channel1);
    }
    const QByteArray file = state_.Edit2.text();
    if (!file.isEmpty() && file != "0") state_.InitAutoload.tick();
}

void LoggerReaderLoop::CancelUpload() {
    state_.Edit1.setText("UPLOAD CANCELLED DUE TO CORRUPT DATA OR SERIAL PORT TIMEOUT.");
    state_.UploadData.setEnabled(true);
    state_.AbortUpload.setEnabled(false);
    state_.RadioButton1.setEnabled(true);
    state_.RadioButton2.setEnabled(true);
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
    state_.Watchdog.set(clock_.now());
    state_.Readyfornextblock.tick();
    state_.WaitingForAck.tick();
    EscapePending = false;
    clock_.sleep(10);
    if (repeatBlock_) repeatBlock_();
}

void LoggerReaderLoop::ReportTimeout() {
    HeaderLineCount = 0;
    headerEndPending_ = false;
    if (!state_.Errorindata.checked() && !state_.Startloadingdata.checked() &&
        !state_.Startloadingheader.checked() && !state_.WaitOnFastAck.checked())
        return;
    // An upload that already ended keeps the text it ended with.
    if (state_.UploadData.enabled() && !state_.AbortUpload.enabled()) return;
    state_.Edit1.setText("SERIAL COMMUNICATION TIMED OUT.");
    state_.UploadData.setEnabled(true);
    state_.AbortUpload.setEnabled(false);
    state_.RadioButton1.setEnabled(true);
    state_.RadioButton2.setEnabled(true);
    if (state_.FastBaud.checked()) {
        link_.SendByte('S');
        state_.FastBaud.clear();
    }
    EscapePending = false;
}

void LoggerReaderLoop::PortLost() {
    const bool uploading = !(state_.UploadData.enabled() && !state_.AbortUpload.enabled());
    state_.FastBaud.clear();
    state_.UploadData.setEnabled(true);
    state_.AbortUpload.setEnabled(false);
    state_.RadioButton1.setEnabled(true);
    state_.RadioButton2.setEnabled(true);
    EscapePending = false;
    state_.Edit1.setText(uploading
                             ? "SERIAL PORT LOST. UPLOAD CANCELLED. Reconnect the logger "
                               "and press Upload Data."
                             : "SERIAL PORT LOST. Reconnect the logger and press Upload Data.");
    link_.ClosePort();
}

void LoggerReaderLoop::ReceiveHeader(int requested) {
    const int count = static_cast<int>(RxText.size());
    state_.Watchdog.set(clock_.now());
    if (state_.LoggerVersion == -1) {
        if (RxText.size() < 2) return;
        state_.LoggerVersion = RxText[1] == '0' ? 2 : 1;
    }
    HeaderLineCount += static_cast<int>(RxText.left(count).count('\n'));
    state_.Edit1.setText("RECEIVING HEADER (Line " + QByteArray::number(HeaderLineCount) +
                         ") ..PLEASE WAIT...");
    state_.Memo2.append(RxText);
    const bool endsLine = RxText.endsWith('\n');
    if (state_.LoggerVersion == 1 && endsLine) {
        if (HeaderLineCount == 26) {
            if (RxRead < requested)
                FinishVersion1Header(false);
            else
                headerEndPending_ = true;
        } else if (HeaderLineCount == 38) {
            FinishVersion1Header(true);
        }
    }
    state_.Watchdog.set(clock_.now());
    if (state_.LoggerVersion == 2 && Version2HeaderComplete(state_.Memo2.text(), state_.RHZL)) {
        state_.Headerloaded.tick();
        HeaderLineCount = 0;
        state_.Edit1.setText("HEADER LOADED (VERSION 2)...PLEASE WAIT...");
        state_.Memo2.append("\r\n");
    }
}

void LoggerReaderLoop::FinishVersion1Header(bool rh) {
    headerEndPending_ = false;
    state_.Headerloaded.tick();
    HeaderLineCount = 0;
    state_.RHZL.set(rh);
    state_.Edit1.setText(rh ? "HEADER LOADED (RH+TEMPERATURE MODEL)...PLEASE WAIT..."
                            : "HEADER LOADED (TEMPERATURE MODEL)...PLEASE WAIT...");
    state_.Memo2.append("\r\n");
}

void LoggerReaderLoop::ReceiveData() {
    HeaderLineCount = 0;
    state_.Watchdog.set(clock_.now());
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
    state_.Watchdog.set(clock_.now());
}

void LoggerReaderLoop::ReceiveIdle() {
    state_.Memo3.append(RxText);
}

} // namespace zantrel
